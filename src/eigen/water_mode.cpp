#include "eigen/water_mode.h"

#include <algorithm>
#include <boost/math/tools/toms748_solve.hpp>
#include <cfloat>
#include <cmath>
#include <cstdint>

namespace vemlari::detail {

namespace {

// Short against the distance to the nearest pole of the stiffness (a resonance of the stack
// above or below the interface read), long against rounding: the form's rounding errors of
// 1e-16 of its scale make some 1e-11 of the derivative.
constexpr double relative_step = 2e-5;

// A derivative by central differences of sixth order, step h.
template <class F>
double derivative(F f, double x, double h) {
    return (45.0 * (f(x + h) - f(x - h)) - 9.0 * (f(x + 2.0 * h) - f(x - 2.0 * h)) +
            (f(x + 3.0 * h) - f(x - 3.0 * h))) /
           (60.0 * h);
}

Sym2 add(const Sym2& a, const Sym2& b) { return {a.xx + b.xx, a.xz + b.xz, a.zz + b.zz}; }

struct Vec {
    double x = 0.0, z = 0.0;
};
Vec times(const Real2& m, const Vec& v) { return {m.a * v.x + m.b * v.z, m.c * v.x + m.d * v.z}; }
Vec times(const Sym2& m, const Vec& v) { return {m.xx * v.x + m.xz * v.z, m.xz * v.x + m.zz * v.z}; }
Real2 mul(const Real2& x, const Real2& y) {
    return {x.a * y.a + x.b * y.c, x.a * y.b + x.b * y.d, x.c * y.a + x.d * y.c, x.c * y.b + x.d * y.d};
}
Real2 plus(const Real2& a, const Real2& b) { return {a.a + b.a, a.b + b.b, a.c + b.c, a.d + b.d}; }
Real2 product(const Real2& a, const Sym2& s) {
    return {a.a * s.xx + a.b * s.xz, a.a * s.xz + a.b * s.zz, a.c * s.xx + a.d * s.xz, a.c * s.xz + a.d * s.zz};
}
Real2 full(const Sym2& s) { return {s.xx, s.xz, s.xz, s.zz}; }
Vec solve(const Real2& m, const Vec& v) {
    const double d = m.a * m.d - m.b * m.c;
    return {(m.d * v.x - m.b * v.z) / d, (m.a * v.z - m.c * v.x) / d};
}
Real2 transposed(const Real2& m) { return {m.a, m.c, m.b, m.d}; }

double shear_modulus(const Nstrc& s) {
    const auto n = static_cast<std::size_t>(s.nl);
    return s.rho[n] * s.vs[n] * s.vs[n];
}

// 1 / cosh of a decaying wave's phase in a fluid layer where the count's element divided
// C, S and E by it, else 1.
double fluid_shrink(const Nstrc& s, int l, double c2, double wn) {
    const auto j = static_cast<std::size_t>(l);
    const double lambda = 1.0 - c2 / (s.vp[j] * s.vp[j]), h = wn * s.thk[j];
    if (!(lambda > 0.0 && lambda * h * h >= 1.0)) return 1.0;
    const double e = std::exp(-std::sqrt(lambda) * h);
    return 2.0 * e / (1.0 + e * e);
}

}  // namespace

WaterMode::WaterMode(const Nstrc& s) : s_(s), work_(s), fluid_(work_.fluid) {}

WaterMode::Read WaterMode::read_at(double om, double c, int at) {
    // Where the mode lives its root function changes sign gently; an interface it reaches
    // only through a decaying stretch sees the same zero as a step whose slope grows with the
    // decay, and a field built from there is lost in rounding (the Scholte wave read at the
    // water's surface under deep water). The interface of the gentlest sign change within
    // 1e-7 c of the mode serves.
    const int last = s_.nl;  // the half-space's top too
    const double d = 1e-7 * c;
    std::vector<double>& lo = ux_;
    std::vector<double>& hi = uz_;
    for (int side = 0; side < 2; ++side) {
        std::vector<double>& f = side == 0 ? lo : hi;
        rayleigh_profile(om, om / (c + (side == 0 ? -d : d)), s_, work_);
        f.assign(static_cast<std::size_t>(last) + 1, 0.0);
        for (int i = 1; i <= last; ++i) {
            const auto j = static_cast<std::size_t>(i);
            f[j] = rayleigh_root_value(add(work_.below[j], work_.above[j]));
        }
    }
    int best = at >= 1 && at <= last ? at : 1;
    double slope = HUGE_VAL;
    for (int i = 1; i <= last; ++i) {
        const auto j = static_cast<std::size_t>(i);
        if (lo[j] * hi[j] <= 0.0 && std::fabs(hi[j] - lo[j]) < slope) {
            slope = std::fabs(hi[j] - lo[j]);
            best = i;
        }
    }
    rayleigh_profile(om, om / c, s_, work_);
    return null_vector(best);
}

// The null vector of Z_below + Z_above at interface i, as the last profile left them.
WaterMode::Read WaterMode::null_vector(int i) const {
    Read r;
    r.i = i;
    const auto j = static_cast<std::size_t>(i);
    const Sym2 z = add(work_.below[j], work_.above[j]);
    double x = 0.0, y = 1.0;
    if (std::fabs(z.xx) + std::fabs(z.xz) >= std::fabs(z.xz) + std::fabs(z.zz)) {
        x = -z.xz;
        y = z.xx;
    } else {
        x = z.zz;
        y = -z.xz;
    }
    const double n = std::hypot(x, y);
    r.x[0] = x / n;
    r.x[1] = y / n;
    return r;
}

// U = -Q_wn / Q_om at interface r.i, both derivatives on relative step h.
double WaterMode::group(double om, double wn, const Read& r, double h, double& q_om) {
    q_om = derivative([&](double x) { return form(s_, work_, x, wn, r); }, om, h * om);
    return -derivative([&](double x) { return form(s_, work_, om, x, r); }, wn, h * wn) / q_om;
}

// The group velocity from the interface and step where the differences agree best. At any
// interface the stiffness has poles (resonances of the stack above or below it); those near
// the mode spoil long steps, rounding spoils short ones (some 1e-10 at a relative step of
// 1e-5), so the steps halve from 1e-4 and the first of the closest pair of successive values
// serves, at the interface read unless they disagree there by more than rounding. q_om is
// the interface read's (its null vector is the displacement the caller scales).
double WaterMode::best_group(double om, double c, const Read& r, double& q_om) {
    constexpr double first_step = 1e-4, rounding = 1e-11;
    constexpr int levels = 4;
    const double wn = om / c;
    double best_spread = HUGE_VAL, u = 0.0;
    for (int i = 0; i <= s_.nl; ++i) {
        if (i == r.i) continue;
        Read at = r;
        if (i > 0) {
            rayleigh_profile(om, wn, s_, work_);
            at = null_vector(i);
        }
        double q_prev = 0.0, q = 0.0, read_spread = HUGE_VAL;
        double prev = group(om, wn, at, first_step, q_prev);
        for (int n = 1; n < levels; ++n) {
            const double next = group(om, wn, at, first_step / (1 << n), q);
            const double spread = std::fabs(next - prev) / std::fabs(next);
            if (i == 0 && spread < read_spread) {
                read_spread = spread;
                q_om = q_prev;
            }
            if (spread < best_spread) {
                best_spread = spread;
                u = prev;
            }
            if (best_spread <= rounding) break;
            prev = next;
            q_prev = q;
        }
        if (best_spread <= rounding) break;
    }
    return u;
}

// det Z / tr Z at interface r.i of model s (its own scale mu_N carried to that of the model
// read). Near the mode it is l1 l2 / (l1 + l2) of the eigenvalues of Z, l1 the one that
// vanishes there; its first derivatives at the mode are those of l1, which are those of
// x^T Z x with x the unit null vector, without carrying x's rounding error into them.
double WaterMode::form(const Nstrc& s, CountWork& w, double om, double wn, const Read& r) {
    rayleigh_profile(om, wn, s, w);
    const auto j = static_cast<std::size_t>(r.i);
    const Sym2 z = add(w.below[j], w.above[j]);
    return shear_modulus(s) / shear_modulus(s_) * (z.xx * z.zz - z.xz * z.xz) / (z.xx + z.zz);
}

// The displacement (u_x, u_z / i) at every interface 1 .. nl of s (the solid's at the sea
// floor, 0 for u_x in the water), for x at interface r.i, by the elimination of the count.
void WaterMode::displacements(const Nstrc& s, CountWork& w, double om, double wn, const Read& r,
                              std::vector<double>& ux, std::vector<double>& uz) {
    rayleigh_profile(om, wn, s, w);
    const double c = om / wn, c2 = c * c;
    const auto n = static_cast<std::size_t>(s.nl) + 1;
    ux.assign(n, 0.0);
    uz.assign(n, 0.0);
    auto put = [&](int j, const Vec& d) {
        ux[static_cast<std::size_t>(j)] = j <= w.fluid ? 0.0 : d.x;
        uz[static_cast<std::size_t>(j)] = d.z;
    };
    const Vec start{r.i <= w.fluid ? 0.0 : r.x[0], r.x[1]};
    put(r.i, start);
    // Up: layer j from its bottom, with the stack above of stiffness above[j].
    Vec d = start;
    for (int j = r.i - 1; j >= 1; --j) {
        const RayleighElement& e = w.elements[static_cast<std::size_t>(j)];
        const Sym2& a = w.above[static_cast<std::size_t>(j)];
        if (e.empty) {
        } else if (e.fluid) {
            d = {0.0, e.fw * d.z / (e.fw * e.fc - a.zz * e.fe) * fluid_shrink(s, j, c2, wn)};
        } else if (e.thin) {
            d = solve(plus(e.p11, product(e.p12, a)), d);
        } else {
            const Vec t = times(e.ktb, d);
            d = solve(full(add(e.ktt, a)), {-t.x, -t.z});
        }
        put(j, d);
    }
    // Down: layer j from its top, with the stack below of stiffness below[j + 1].
    d = start;
    for (int j = r.i; j <= s.nl - 1; ++j) {
        const RayleighElement& e = w.elements[static_cast<std::size_t>(j)];
        const Sym2& b = w.below[static_cast<std::size_t>(j + 1)];
        if (e.empty) {
        } else if (e.fluid) {
            const bool floor = j + 1 > w.fluid;
            const double z = floor ? (b.xx * b.zz - b.xz * b.xz) / b.xx : b.zz;
            d = {0.0, e.fw * d.z / (e.fw * e.fc - z * e.fe) * fluid_shrink(s, j, c2, wn)};
        } else if (e.thin) {
            // d_b = p11 d + p12 t, p21 d + p22 t = -b d_b: (M + b) d_b = (M p11 - p21) d with
            // M = p22 p12^-1 (the stack below carries a decaying field down).
            const double dp = e.p12.a * e.p12.d - e.p12.b * e.p12.c;
            const Real2 adj{e.p12.d, -e.p12.b, -e.p12.c, e.p12.a};
            const Real2 m0 = mul(e.p22, adj);
            const Real2 m{m0.a / dp, m0.b / dp, m0.c / dp, m0.d / dp};
            const Real2 mp = mul(m, e.p11);
            d = solve(plus(m, full(b)),
                      times(Real2{mp.a - e.p21.a, mp.b - e.p21.b, mp.c - e.p21.c, mp.d - e.p21.d}, d));
        } else {
            const Vec t = times(transposed(e.ktb), d);
            d = solve(full(add(e.kbb, b)), {-t.x, -t.z});
        }
        // The solid's u_x at the sea floor, free of shear traction.
        if (j + 1 == w.fluid + 1 && e.fluid) d.x = -b.xz / b.xx * d.z;
        put(j + 1, d);
    }
}

WaterModeProperties WaterMode::properties(double om, double c, int at) {
    const double wn = om / c;
    const Read r = read_at(om, c, at);
    displacements(s_, work_, om, wn, r, ux_, uz_);
    WaterModeProperties p;
    const auto floor = static_cast<std::size_t>(fluid_ + 1);
    p.seafloor_hv = std::fabs(ux_[floor] / uz_[floor]);
    const double scale = 1.0 / uz_[1];
    double q_om = 0.0;
    p.u = best_group(om, c, r, q_om);
    p.e1 = -shear_modulus(s_) * wn * q_om / (4.0 * om) * scale * scale;
    return p;
}

void WaterMode::kernels(double om, double c, int at, PhaseKernels& out) {
    const Read r = read_at(om, c, at);
    const double wn = om / c;
    out.resize(s_.nl);
    const double q_c = derivative([&](double x) { return form(s_, work_, om, om / x, r); }, c, relative_step * c);
    double q_om = 0.0;
    out.u = best_group(om, c, r, q_om);
    Nstrc s = s_;
    for (int l = 1; l <= s_.nl; ++l) {
        const auto j = static_cast<std::size_t>(l);
        const auto k = j - 1;
        auto slope = [&](std::vector<double>& field, double value, double step) {
            const double q = derivative(
                [&](double x) {
                    field[j] = x;
                    CountWork w(s);
                    return form(s, w, om, wn, r);
                },
                value, step);
            field[j] = value;
            return -q / q_c;
        };
        if (l > fluid_) out.dvs[k] = slope(s.vs, s_.vs[j], relative_step * s_.vs[j]);
        out.dvp[k] = slope(s.vp, s_.vp[j], relative_step * s_.vp[j]);
        out.drho[k] = slope(s.rho, s_.rho[j], relative_step * s_.rho[j]);
        if (l == s_.nl) continue;
        const double h = s_.thk[j];
        if (h > 0.0) {
            out.dh[k] = slope(s.thk, h, relative_step * h);
        } else {
            // One-sided, second order, on a step of a wavelength's 1e-4 / (2 pi).
            const double step = relative_step / wn;
            auto at_thk = [&](double x) {
                s.thk[j] = x;
                CountWork w(s);
                return form(s, w, om, wn, r);
            };
            const double q = (-3.0 * at_thk(0.0) + 4.0 * at_thk(step) - at_thk(2.0 * step)) / (2.0 * step);
            s.thk[j] = h;
            out.dh[k] = -q / q_c;
        }
    }
}

bool WaterMode::polish(double om, double c0, double reach, int at, double& c) {
    const Read r = read_at(om, c0, at);
    const auto f = [&](double v) { return rayleigh_root_function(om, om / v, r.i, s_, work_); };
    const double f0 = f(c0);
    if (f0 == 0.0) {
        c = c0;
        return true;
    }
    for (double half = 1e-12 * c0; half <= reach; half *= 4.0) {
        for (double side : {-1.0, 1.0}) {
            const double b = c0 + side * half, fb = f(b);
            if (!(f0 * fb <= 0.0)) continue;
            std::uintmax_t iterations = 100;
            const double lo = std::fmin(c0, b), hi = std::fmax(c0, b);
            const auto tol = [](double x, double y) { return std::fabs(y - x) <= 4.0 * DBL_EPSILON * std::fmin(x, y); };
            try {
                const auto root = boost::math::tools::toms748_solve(f, lo, hi, tol, iterations);
                c = root.first + 0.5 * (root.second - root.first);
                return true;
            } catch (const std::exception&) {
                return false;
            }
        }
    }
    return false;
}

void WaterMode::eigenfunctions(double om, double c, int at, std::span<const double> depths, Eigenfunctions& out) {
    const double wn = om / c;
    const Read r0 = read_at(om, c, at);
    // The model split at every depth asked for, and where each depth and the interface read
    // fall in it.
    Nstrc s;
    std::vector<int> index(depths.size(), 1);
    int read = 1;
    double top = 0.0;
    std::size_t next = 0;
    for (int l = 1; l <= s_.nl; ++l) {
        const auto j = static_cast<std::size_t>(l);
        const bool half_space = l == s_.nl;
        const double bottom = half_space ? HUGE_VAL : top + s_.thk[j];
        if (l == r0.i) read = s.nl + 1;
        // A depth on the layer's top is that interface (and belongs to the layer above).
        double piece = top;
        for (; next < depths.size() && depths[next] < bottom; ++next) {
            if (depths[next] > piece) {
                s.add(s_.rho[j], s_.vp[j], s_.vs[j], depths[next] - piece);
                if (s_.ti[j]) s.make_transverse(s_.vph[j], s_.vsh[j], s_.eta[j]);
                piece = depths[next];
            }
            index[next] = s.nl + 1;
        }
        s.add(s_.rho[j], s_.vp[j], s_.vs[j], half_space ? 0.0 : bottom - piece);
        if (s_.ti[j]) s.make_transverse(s_.vph[j], s_.vsh[j], s_.eta[j]);
        top = bottom;
    }
    CountWork w(s);
    Read r = r0;
    r.i = read;
    displacements(s, w, om, wn, r, ux_, uz_);
    const double scale = 1.0 / uz_[1], traction = shear_modulus(s) * wn * scale;
    out.wave = Wave::rayleigh;
    out.depth.assign(depths.begin(), depths.end());
    for (int i : index) {
        const auto j = static_cast<std::size_t>(i);
        const Vec d{ux_[j], uz_[j]};
        const Vec t = i < s.nl ? times(w.above[j], d) : times(w.below[j], Vec{-d.x, -d.z});
        // In the water u_x = Tz / w (w = rho c^2 / mu_N of the layer above the interface).
        const int layer = std::max(i - 1, 1);
        const double hx = layer <= w.fluid ? t.z / (w.rho[static_cast<std::size_t>(layer)] * c * c) : d.x;
        out.horizontal.push_back(hx * scale);
        out.vertical.push_back(d.z * scale);
        out.shear.push_back(t.x * traction);
        out.normal.push_back(t.z * traction);
    }
}

}  // namespace vemlari::detail
