#pragma once
// Models, root finders and a test-only complex bridge for the kernel tests.
#include <cmath>
#include <complex>
#include <functional>
#include <initializer_list>
#include <vector>

#include "kernels/secular.h"

namespace vemlari::testing {

using namespace vemlari::detail;

using zc = std::complex<double>;
inline zc z(cplx a) { return {a.re, a.im}; }
inline cplx c(zc a) { return {a.real(), a.imag()}; }
constexpr double pi = 3.14159265358979323846;

struct LayerRow {
    double rho, vp, vs, thk;
};

inline Nstrc model(std::initializer_list<LayerRow> layers) {
    Nstrc s;
    for (const LayerRow& l : layers) s.add(l.rho, l.vp, l.vs, l.thk);
    return s;
}

// One layer over a half-space, the classical Love-wave case.
inline Nstrc love_pair() { return model({{2000, 1732.0508, 1000, 1000}, {2500, 3464.1016, 2000, 0}}); }

// A low-velocity second layer; the half-space is the fastest.
inline Nstrc lvl_model() {
    return model({{2200, 3000, 1500, 500}, {2000, 2400, 1000, 500}, {2400, 3500, 2000, 1000}, {2600, 5200, 3000, 0}});
}

inline double love_abs(const Nstrc& s, double om, double cv) {
    LoveWork w;
    return cabs(love_secular(om, om / cv, s, w));
}

inline double rayleigh_abs(const Nstrc& s, double om, double cv) {
    RayleighWork w;
    const double mu = s.rho[1] * s.vs[1] * s.vs[1];
    return cabs(rayleigh_secular(om, om / cv, mu * mu, s, w));
}

// Minimum of f in [a, b] by golden section, to a relative width of about 1e-14.
inline double golden_min(const std::function<double(double)>& f, double a, double b) {
    const double g = 0.5 * (std::sqrt(5.0) - 1.0);
    double x1 = b - g * (b - a), x2 = a + g * (b - a);
    double f1 = f(x1), f2 = f(x2);
    while (b - a > 1e-14 * std::fabs(b)) {
        if (f1 < f2) {
            b = x2;
            x2 = x1;
            f2 = f1;
            x1 = b - g * (b - a);
            f1 = f(x1);
        } else {
            a = x1;
            x1 = x2;
            f1 = f2;
            x2 = a + g * (b - a);
            f2 = f(x2);
        }
    }
    return 0.5 * (a + b);
}

// Zero of a real f with f(a), f(b) of opposite signs.
inline double bisect(const std::function<double(double)>& f, double a, double b) {
    double fa = f(a);
    for (int n = 0; n < 200 && b - a > 1e-14 * std::fabs(b); ++n) {
        const double m = 0.5 * (a + b);
        const double fm = f(m);
        if ((fm < 0) == (fa < 0)) {
            a = m;
            fa = fm;
        } else {
            b = m;
        }
    }
    return 0.5 * (a + b);
}

// Zeros of a modulus |F| on [lo, hi]: every grid minimum, refined, whose value drops far
// below that of its grid neighbours.
inline std::vector<double> modulus_zeros(const std::function<double(double)>& f, double lo, double hi, double step) {
    std::vector<double> cs, fs;
    for (double x = lo; x <= hi; x += step) {
        cs.push_back(x);
        fs.push_back(f(x));
    }
    std::vector<double> roots;
    for (std::size_t n = 1; n + 1 < cs.size(); ++n) {
        if (!(fs[n] <= fs[n - 1] && fs[n] <= fs[n + 1])) continue;
        const double r = golden_min(f, cs[n - 1], cs[n + 1]);
        if (f(r) < 1e-6 * std::fmin(fs[n - 1], fs[n + 1])) roots.push_back(r);
    }
    return roots;
}

// Sign changes of a real function on [lo, hi], refined by bisection.
inline std::vector<double> sign_zeros(const std::function<double(double)>& f, double lo, double hi, double step) {
    std::vector<double> roots;
    double xa = lo, fa = f(lo);
    for (double x = lo + step; x <= hi; x += step) {
        const double fx = f(x);
        if ((fx < 0) != (fa < 0)) roots.push_back(bisect(f, xa, x));
        xa = x;
        fa = fx;
    }
    return roots;
}

}  // namespace vemlari::testing
