// Rayleigh-wave mode count and root function from the P-SV dynamic stiffness of the layers.
//
// In the real variables U = u_x, W = u_z / i, Tx = tau_xz, Tz = tau_zz / i (displacements
// over wn, tractions over mu_N wn^2, depth s = wn z) a solution built on f'' = lambda_p f
// (P) or g'' = lambda_s g (S) has
//     P: (U, W, Tx, Tz) = (f, -f', 2 mu f', -gam f),   S: (-g', g, -gam g, 2 mu g'),
// with mu = mu / mu_N, gam = 2 mu - rho c^2 / mu_N, lambda_p = 1 - c^2 / vp^2, lambda_s =
// 1 - c^2 / vs^2. The forces on a layer's faces are (-Tx, -Tz) at the top and (Tx, Tz) at
// the bottom, so the stiffness of the stack is symmetric and positive definite in the
// static limit.
#include <cmath>
#include <numbers>

#include "kernels/layer_series.h"
#include "kernels/mode_count.h"
#include "kernels/rayleigh_transverse.h"

namespace vemlari::detail {

namespace {

double det(const Real2& m) { return m.a * m.d - m.b * m.c; }
Real2 mul(const Real2& x, const Real2& y) {
    return {x.a * y.a + x.b * y.c, x.a * y.b + x.b * y.d, x.c * y.a + x.d * y.c, x.c * y.b + x.d * y.d};
}
Real2 add(const Real2& x, const Real2& y) { return {x.a + y.a, x.b + y.b, x.c + y.c, x.d + y.d}; }
Real2 adj(const Real2& m) { return {m.d, -m.b, -m.c, m.a}; }
Real2 transpose(const Real2& m) { return {m.a, m.c, m.b, m.d}; }
Real2 full(const Sym2& s) { return {s.xx, s.xz, s.xz, s.zz}; }
Sym2 sym(const Real2& m) { return {m.a, 0.5 * (m.b + m.c), m.d}; }
Sym2 add(const Sym2& x, const Sym2& y) { return {x.xx + y.xx, x.xz + y.xz, x.zz + y.zz}; }
double det(const Sym2& s) { return s.xx * s.zz - s.xz * s.xz; }
double trace(const Sym2& s) { return s.xx + s.zz; }

struct LayerConstants {
    double mu, w, gam, lp, ls;
};

LayerConstants constants(double c2, int l, const CountWork& cw) {
    const auto j = static_cast<std::size_t>(l);
    const double mu = cw.mu[j], xs = c2 / cw.vs2[j], xp = c2 / cw.vp2[j];
    const double w = mu * xs;
    return {mu, w, 2.0 * mu - w, 1.0 - xp, 1.0 - xs};
}

// The faces of a layer of scaled thickness h, at t = -h/2 (top) and t = h/2 (bottom) about
// its middle, of the even solution e and the odd solution o of f'' = lambda f:
// e(+-) = ae, e'(+-) = +-be, o(+-) = +-ao, o'(+-) = bo. Decaying waves are taken as cosh and
// sinh over cosh(nu h / 2), whose face values are tanh and stay bounded at any thickness.
struct Faces {
    double ae, be, ao, bo;
};

Faces faces(double lambda, double h) {
    const double t = 0.5 * h;
    if (lambda > 0.0) {
        const double nu = std::sqrt(lambda), th = std::tanh(nu * t);
        return {1.0, nu * th, th / nu, 1.0};
    }
    if (lambda < 0.0) {
        const double eta = std::sqrt(-lambda), c = std::cos(eta * t), s = std::sin(eta * t);
        return {c, -eta * s, s / eta, c};
    }
    return {1.0, 0.0, t, 1.0};
}

// The stiffness blocks of a layer from its partial waves. The layer is symmetric about its
// middle: the motions with u_x even and u_z odd (P even, S odd: stiffness K_A) and those with
// u_x odd and u_z even (P odd, S even: K_B) do not couple, so two 2 x 2 systems give the
// 4 x 4 stiffness: K_bb = (K_A + K_B) / 2, K_bt = (K_A - K_B) R / 2, K_tt = R K_bb R with
// R = diag(1, -1).
void thick_blocks(const LayerConstants& k, double h, RayleighElement& e) {
    const Faces p = faces(k.lp, h), s = faces(k.ls, h);
    const double a2 = 2.0 * k.mu, g = k.gam;
    // Bottom-face displacements (U, W) and tractions (Tx, Tz) of the two solutions of each set.
    const Real2 ua{p.ae, -s.bo, -p.be, s.ao}, ta{a2 * p.be, -g * s.ao, -g * p.ae, a2 * s.bo};
    const Real2 ub{p.ao, -s.be, -p.bo, s.ae}, tb{a2 * p.bo, -g * s.ae, -g * p.ao, a2 * s.be};
    const double da = det(ua), db = det(ub);
    const Real2 ka = mul(ta, adj(ua)), kb = mul(tb, adj(ub));
    const Sym2 sa = sym({ka.a / da, ka.b / da, ka.c / da, ka.d / da});
    const Sym2 sb = sym({kb.a / db, kb.b / db, kb.c / db, kb.d / db});
    e.kbb = {0.5 * (sa.xx + sb.xx), 0.5 * (sa.xz + sb.xz), 0.5 * (sa.zz + sb.zz)};
    e.ktt = {e.kbb.xx, -e.kbb.xz, e.kbb.zz};
    // K_tb = R (K_A - K_B) / 2 = K_bt^T
    const Sym2 d{0.5 * (sa.xx - sb.xx), 0.5 * (sa.xz - sb.xz), 0.5 * (sa.zz - sb.zz)};
    e.ktb = {d.xx, d.xz, -d.xz, -d.zz};
}

// The propagator of a thin layer, written with the S solutions and the divided differences
// of the P and S solutions, so that no entry comes from a difference of nearly equal terms.
// r = (lambda_s - lambda_p) / (rho c^2 / mu_N) = (vs^2 / vp^2 - 1) / mu does not depend on c.
void thin_propagator(const LayerConstants& k, double r, double h, RayleighElement& e) {
    const WaveSeries s = wave_series(k.ls, h);
    const DividedSeries d = divided_series(k.ls, k.lp, h);
    const double a = k.mu, g = k.gam, w = k.w;
    e.p11 = {s.c - 2.0 * a * r * d.dc, s.s - g * r * d.ds, s.s + 2.0 * a * r * d.de, s.c + g * r * d.dc};
    e.p12 = {s.s / a - r * d.ds, -r * d.dc, r * d.dc, s.s / a + r * d.de};
    e.p21 = {-w * s.s - 4.0 * a * a * r * d.de, -2.0 * a * g * r * d.dc, 2.0 * a * g * r * d.dc,
             -w * s.s + g * g * r * d.ds};
    e.p22 = {s.c - 2.0 * a * r * d.dc, -s.s - 2.0 * a * r * d.de, -s.s + g * r * d.ds, s.c + g * r * d.dc};
}

// Eigenfrequencies below c of the layer with both faces clamped. None while the S wave
// fits at most half a wavelength across it (eta_s h <= pi); otherwise, halving the layer,
// J0(h) = 2 J0(h / 2) + negative pivots of the clamped halves' middle node.
int clamped_count(const LayerConstants& k, double h) {
    if (k.ls >= 0.0) return 0;
    const double eta = std::sqrt(-k.ls);
    if (eta * h > std::numbers::pi * clamped_cap) return clamped_cap;
    int count = 0, weight = 1;
    RayleighElement half;
    for (double part = h; eta * part > std::numbers::pi; part *= 0.5, weight *= 2) {
        thick_blocks(k, 0.5 * part, half);
        const Sym2 middle = add(half.kbb, half.ktt);
        count += weight * negatives(det(middle), trace(middle));
    }
    return count;
}

// The clamped count of a fluid layer: the eigenfrequencies n = 0, 1, ... below c, at
// eta h = n pi (n = 0 at c = vp). It steps where E changes sign, at the pole of the stiffness,
// and follows that sign: E < 0 exactly when the count is odd (E = 0: the count above the pole).
int fluid_clamped(double lambda, double h, double e) {
    if (lambda > 0.0) return 0;
    if (lambda == 0.0) return 1;
    const double t = std::sqrt(-lambda) * h;
    if (t > std::numbers::pi * clamped_cap) return clamped_cap;
    const double turns = std::floor(t / std::numbers::pi);
    int n = static_cast<int>(turns) + 1;
    if (e != 0.0 && (e < 0.0) != (n % 2 == 1)) n += t - turns * std::numbers::pi < 0.5 * std::numbers::pi ? -1 : 1;
    return n;
}

void fluid_element(double c2, double h, int l, CountWork& cw, bool clamped, RayleighElement& e) {
    const auto j = static_cast<std::size_t>(l);
    const double lambda = 1.0 - c2 / cw.vp2[j];
    e.fw = cw.rho[j] * c2;
    if (lambda > 0.0 && lambda * h * h >= 1.0) {
        const double nu = std::sqrt(lambda), th = std::tanh(nu * h);
        e.fc = 1.0;
        e.fs = th / nu;
        e.fe = nu * th;
    } else {
        const WaveSeries w = wave_series(lambda, h);
        e.fc = w.c;
        e.fs = w.s;
        e.fe = w.e;
    }
    e.j0 = clamped ? fluid_clamped(lambda, h, e.fe) : 0;
}

// Layer l's element at c^2, wn; with `clamped`, its clamped-layer count too (the root function
// needs none).
void element(double c2, double wn, int l, const Nstrc& s, CountWork& cw, bool clamped) {
    RayleighElement& e = cw.elements[static_cast<std::size_t>(l)];
    if (cw.ti[static_cast<std::size_t>(l)]) {
        transverse_element(c2, wn, l, s, cw, clamped, e);
        return;
    }
    const double h = wn * s.thk[static_cast<std::size_t>(l)];
    e.empty = h == 0.0;
    e.fluid = l <= cw.fluid;
    if (e.empty) return;
    if (e.fluid) {
        fluid_element(c2, h, l, cw, clamped, e);
        return;
    }
    const LayerConstants k = constants(c2, l, cw);
    e.thin = std::fmax(std::fabs(k.lp), std::fabs(k.ls)) * h * h < 1.0;
    if (e.thin) {
        const double r = (cw.vs2[static_cast<std::size_t>(l)] / cw.vp2[static_cast<std::size_t>(l)] - 1.0) / k.mu;
        thin_propagator(k, r, h, e);
    } else {
        thick_blocks(k, h, e);
    }
    e.j0 = clamped ? clamped_count(k, h) : 0;
}

Sym2 half_space(double c2, const Nstrc& s, const CountWork& cw) {
    const auto n = static_cast<std::size_t>(s.nl);
    if (cw.ti[n]) return transverse_half_space(c2, s, cw);
    const double xs = c2 / cw.vs2[n], xp = c2 / cw.vp2[n];
    const double p = std::sqrt(std::fmax(0.0, 1.0 - xp)), q = std::sqrt(std::fmax(0.0, 1.0 - xs));
    const double w = xs, g = 2.0 - xs;
    // 1 - p q without cancellation as c -> 0
    const double one_pq = (xp + xs - xp * xs) / (1.0 + p * q);
    return {p * w / one_pq, (g - 2.0 * p * q) / one_pq, q * w / one_pq};
}

// Through layer e from its bottom, with the stack below of stiffness z: the pivot's
// negatives and the stiffness at the layer's top.
Sym2 up(const RayleighElement& e, const Sym2& z, int& count) {
    if (e.thin) {
        const Real2 zf = full(z);
        const Real2 a = add(e.p22, mul(zf, e.p12)), b = add(e.p21, mul(zf, e.p11));
        const double dp = det(e.p12);
        const Real2 k22 = mul(e.p22, adj(e.p12));
        count += negatives(det(a) / dp, (k22.a + k22.d) / dp + trace(z)) + e.j0;
        const Real2 zn = mul(adj(a), b);
        const double da = det(a);
        return sym({zn.a / da, zn.b / da, zn.c / da, zn.d / da});
    }
    const Sym2 d = add(e.kbb, z);
    const double dd = det(d);
    count += negatives(dd, trace(d)) + e.j0;
    const Real2 m = mul(mul(e.ktb, adj(full(d))), transpose(e.ktb));
    return sym({e.ktt.xx - m.a / dd, e.ktt.xz - m.b / dd, e.ktt.xz - m.c / dd, e.ktt.zz - m.d / dd});
}

// Through layer e from its top, with the stack above of stiffness z.
Sym2 down(const RayleighElement& e, const Sym2& z, int& count) {
    if (e.thin) {
        const Real2 zf = full(z);
        const Real2 b = add(e.p11, mul(e.p12, zf)), a = add(e.p21, mul(e.p22, zf));
        const double dp = det(e.p12);
        const Real2 k11 = mul(adj(e.p12), e.p11);
        count += negatives(det(b) / dp, (k11.a + k11.d) / dp + trace(z)) + e.j0;
        const Real2 zn = mul(a, adj(b));
        const double db = det(b);
        return sym({zn.a / db, zn.b / db, zn.c / db, zn.d / db});
    }
    const Sym2 d = add(e.ktt, z);
    const double dd = det(d);
    count += negatives(dd, trace(d)) + e.j0;
    const Real2 m = mul(mul(transpose(e.ktb), adj(full(d))), e.ktb);
    return sym({e.kbb.xx - m.a / dd, e.kbb.xz - m.b / dd, e.kbb.xz - m.c / dd, e.kbb.zz - m.d / dd});
}

// Through a fluid layer from either face, with the stack beyond of stiffness z, counting the
// pivot a + z = (z E - w C) / E (none where E = 0, the pole: the clamped count is then the
// one above it).
double through_fluid(const RayleighElement& e, double z, int& count) {
    count += e.j0;
    if (std::isinf(z)) {
        // A zero pivot beyond: the layer's own a remains.
        if (z < 0.0) ++count;
        return -e.fw * e.fc / e.fe;
    }
    const double pivot = z * e.fe - e.fw * e.fc;
    if (e.fe != 0.0 && pivot != 0.0 && (pivot < 0.0) != (e.fe < 0.0)) ++count;
    return e.fw * (z * e.fc - e.fw * e.fs) / -pivot;
}

// From the half-space up to interface `last`, building each layer's element (with its
// clamped count for a count), keeping the stack below and its count at every interface.
Sym2 pass_up(double c2, double wn, int last, const Nstrc& s, CountWork& w, bool clamped, int& count) {
    Sym2 z = half_space(c2, s, w);
    count = 0;
    w.below[static_cast<std::size_t>(s.nl)] = z;
    w.count_below[static_cast<std::size_t>(s.nl)] = 0;
    for (int l = s.nl - 1; l >= last; --l) {
        element(c2, wn, l, s, w, clamped);
        const RayleighElement& e = w.elements[static_cast<std::size_t>(l)];
        if (e.fluid) {
            // The sea floor: the solid's u_x, free of shear traction, condensed first.
            if (l == w.fluid) {
                if (z.xx < 0.0) ++count;
                z = {1.0, 0.0, det(z) / z.xx};
            }
            // Without gravity, the top of a fluid layer moves without restoring force at zero
            // frequency: a mode at om = 0 for every wavenumber, below every trial, not counted.
            if (!e.empty) {
                z.zz = through_fluid(e, z.zz, count);
                --count;
            }
        } else if (!e.empty) {
            z = up(e, z, count);
        }
        w.below[static_cast<std::size_t>(l)] = z;
        w.count_below[static_cast<std::size_t>(l)] = count;
    }
    return z;
}

// From the free surface down to interface `last`, on elements already built (`built`) or
// built here without their clamped count, keeping the stack above at every interface.
Sym2 pass_down(double c2, double wn, int last, const Nstrc& s, CountWork& w, bool built, int& count) {
    Sym2 z{};
    count = 0;
    if (s.nl >= 2) {
        w.above[1] = z;
        w.count_above[1] = 0;
    }
    for (int l = 1; l < last; ++l) {
        if (!built) element(c2, wn, l, s, w, false);
        const RayleighElement& e = w.elements[static_cast<std::size_t>(l)];
        if (e.fluid) {
            if (!e.empty) z.zz = through_fluid(e, z.zz, count);
        } else if (!e.empty) {
            z = down(e, z, count);
        }
        w.above[static_cast<std::size_t>(l + 1)] = z;
        w.count_above[static_cast<std::size_t>(l + 1)] = count;
    }
    return z;
}

}  // namespace

int rayleigh_count(double om, double wn, const Nstrc& s, CountWork& w) {
    int count = 0;
    const Sym2 z = pass_up(trial_c2(om, wn, w.rayleigh_top2), wn, 1, s, w, true, count);
    return count + negatives(det(z), trace(z));
}

int rayleigh_profile(double om, double wn, const Nstrc& s, CountWork& w) {
    const double c2 = trial_c2(om, wn, w.rayleigh_top2);
    int count = 0, above = 0;
    const Sym2 z = pass_up(c2, wn, 1, s, w, true, count);
    pass_down(c2, wn, s.nl, s, w, true, above);
    return count + negatives(det(z), trace(z));
}

double rayleigh_root_function(double om, double wn, int i, const Nstrc& s, CountWork& w) {
    const double c2 = trial_c2(om, wn, w.rayleigh_top2);
    int below = 0, above = 0;
    const Sym2 zb = pass_up(c2, wn, i, s, w, false, below);
    return rayleigh_root_value(add(zb, pass_down(c2, wn, i, s, w, false, above)));
}

CountWork::CountWork(const Nstrc& s)
    : love_below(static_cast<std::size_t>(s.nl) + 1),
      love_above(static_cast<std::size_t>(s.nl) + 1),
      below(static_cast<std::size_t>(s.nl) + 1),
      above(static_cast<std::size_t>(s.nl) + 1),
      count_below(static_cast<std::size_t>(s.nl) + 1),
      count_above(static_cast<std::size_t>(s.nl) + 1),
      elements(static_cast<std::size_t>(s.nl) + 1),
      mu(static_cast<std::size_t>(s.nl) + 1),
      vs2(static_cast<std::size_t>(s.nl) + 1),
      vp2(static_cast<std::size_t>(s.nl) + 1),
      rho(static_cast<std::size_t>(s.nl) + 1),
      sh2(static_cast<std::size_t>(s.nl) + 1),
      sh_ratio(static_cast<std::size_t>(s.nl) + 1),
      ti(static_cast<std::size_t>(s.nl) + 1),
      moduli(static_cast<std::size_t>(s.nl) + 1) {
    const auto n = static_cast<std::size_t>(s.nl);
    const double mu_n = s.rho[n] * s.vs[n] * s.vs[n];
    for (std::size_t l = 1; l <= n; ++l) {
        mu[l] = s.rho[l] * s.vs[l] * s.vs[l] / mu_n;
        vs2[l] = s.vs[l] * s.vs[l];
        vp2[l] = s.vp[l] * s.vp[l];
        rho[l] = s.rho[l] / mu_n;
        if (s.vs[l] == 0.0 && static_cast<int>(l) == fluid + 1) ++fluid;
        ti[l] = s.ti[l];
        sh2[l] = ti[l] ? s.vsh[l] * s.vsh[l] : vs2[l];
        sh_ratio[l] = ti[l] ? s.vsh[l] / s.vs[l] : 1.0;
        if (ti[l]) {
            const double a = rho[l] * s.vph[l] * s.vph[l], ll = rho[l] * vs2[l];
            moduli[l] = {a, rho[l] * vp2[l], s.eta[l] * (a - 2.0 * ll), ll, rho[l] * sh2[l]};
        }
    }
    love_top2 = sh2[n];
    rayleigh_top2 = ti[n] ? std::fmin(vs2[n], s.vph[n] * s.vph[n]) : vs2[n];
}

}  // namespace vemlari::detail
