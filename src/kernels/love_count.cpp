// Love-wave mode count and root function from the SH dynamic stiffness of the layers.
#include <cmath>
#include <numbers>

#include "kernels/mode_count.h"

namespace vemlari::detail {

namespace {

// A layer's SH stiffness [[a, b], [b, a]] (scaled by mu_N wn), kept as a and d = a^2 - b^2,
// which is known in closed form: the condensed stiffness (a Z + d) / (a + Z) then has no
// cancellation even in a layer far thinner than a wavelength.
struct ShLayer {
    double a = 0.0, d = 0.0;
    int j0 = 0;
};

ShLayer sh_layer(double c2, double wn, int l, const Nstrc& s, const CountWork& w) {
    const double mu = w.mu[static_cast<std::size_t>(l)], g = w.sh_ratio[static_cast<std::size_t>(l)];
    const double x = c2 / w.sh2[static_cast<std::size_t>(l)];
    const double h = wn * s.thk[static_cast<std::size_t>(l)];
    ShLayer r;
    if (x > 1.0) {
        // Propagating: mu eta cot(eta h), and eigenfrequencies of the clamped layer at
        // eta h = n pi.
        const double eta = g * std::sqrt(x - 1.0), t = eta * h, sin_t = std::sin(t);
        r.a = mu * eta * std::cos(t) / sin_t;
        r.d = -(mu * eta) * (mu * eta);
        // The pole of a (sin t = 0) and the step of J0 must fall at the same trial velocity,
        // or the count blips there: J0 follows the sign of sin t, which is (-1)^J0.
        const double turns = std::floor(t / std::numbers::pi);
        int n = turns < clamped_cap ? static_cast<int>(turns) : clamped_cap;
        if (n < clamped_cap && sin_t != 0.0 && (sin_t > 0.0) != (n % 2 == 0))
            n += t - n * std::numbers::pi < 0.5 * std::numbers::pi ? -1 : 1;
        r.j0 = n;
    } else if (x < 1.0) {
        // Evanescent: mu nu coth(nu h), from exp(-2 nu h) alone.
        const double nu = g * std::sqrt(1.0 - x), t = nu * h;
        const double e = std::exp(-2.0 * t);
        r.a = mu * nu * (1.0 + e) / -std::expm1(-2.0 * t);
        r.d = (mu * nu) * (mu * nu);
    } else {
        r.a = mu / h;
        r.d = 0.0;
    }
    return r;
}

double condensed(const ShLayer& l, double z) {
    // A pivot of exactly zero left an infinite stiffness, whose limit through the layer is a.
    if (!std::isfinite(z)) return l.a;
    return (l.a * z + l.d) / (l.a + z);
}

double half_space(double c2, const Nstrc& s, const CountWork& w) {
    const auto n = static_cast<std::size_t>(s.nl);
    return w.mu[n] * w.sh_ratio[n] * std::sqrt(std::fmax(0.0, 1.0 - c2 / w.sh2[n]));
}

// A layer of zero thickness, or a fluid one, which carries no SH motion.
bool empty(int l, const Nstrc& s) {
    return s.thk[static_cast<std::size_t>(l)] == 0.0 || s.vs[static_cast<std::size_t>(l)] == 0.0;
}

// Through layer l (zero thickness: unchanged), counting its clamped eigenfrequencies and
// the sign of the pivot that condenses it.
double through(double c2, double wn, int l, const Nstrc& s, const CountWork& w, double z, int& count) {
    if (empty(l, s)) return z;
    const ShLayer e = sh_layer(c2, wn, l, s, w);
    if (e.a + z < 0.0) ++count;
    count += e.j0;
    return condensed(e, z);
}

// From the half-space up to interface `last` (the top of layer `last`), keeping the stack
// below and its count at every interface passed. Returns the stiffness at `last`.
double pass_up(double c2, double wn, int last, const Nstrc& s, CountWork& w, int& count) {
    double z = half_space(c2, s, w);
    count = 0;
    for (int l = s.nl - 1; l >= last; --l) {
        z = through(c2, wn, l, s, w, z, count);
        w.love_below[static_cast<std::size_t>(l)] = z;
        w.count_below[static_cast<std::size_t>(l)] = count;
    }
    return z;
}

// From the free surface down to interface `last`, keeping the stack above at every interface.
double pass_down(double c2, double wn, int last, const Nstrc& s, CountWork& w, int& count) {
    double z = 0.0;
    count = 0;
    w.love_above[1] = 0.0;
    w.count_above[1] = 0;
    for (int l = 1; l < last; ++l) {
        z = through(c2, wn, l, s, w, z, count);
        w.love_above[static_cast<std::size_t>(l + 1)] = z;
        w.count_above[static_cast<std::size_t>(l + 1)] = count;
    }
    return z;
}

}  // namespace

int love_count(double om, double wn, const Nstrc& s, CountWork& w) {
    int count = 0;
    const double z = pass_up(trial_c2(om, wn, w.love_top2), wn, 1, s, w, count);
    return count + (z < 0.0 ? 1 : 0);
}

int love_profile(double om, double wn, const Nstrc& s, CountWork& w) {
    const double c2 = trial_c2(om, wn, w.love_top2);
    int count = 0, above = 0;
    const double z = pass_up(c2, wn, 1, s, w, count);
    pass_down(c2, wn, s.nl - 1, s, w, above);
    return count + (z < 0.0 ? 1 : 0);
}

double love_root_function(double om, double wn, int i, const Nstrc& s, CountWork& w) {
    const double c2 = trial_c2(om, wn, w.love_top2);
    int below = 0, above = 0;
    return love_root_value(pass_up(c2, wn, i, s, w, below) + pass_down(c2, wn, i, s, w, above));
}

}  // namespace vemlari::detail
