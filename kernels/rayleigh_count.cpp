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

namespace vemlari {

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
    const double mu = cw.mu[j], xs = c2 * cw.inv_vs2[j], xp = c2 * cw.inv_vp2[j];
    const double w = mu * xs;
    return {mu, w, 2.0 * mu - w, 1.0 - xp, 1.0 - xs};
}

// f at 0, f' at 0, f at h, f' at h, for the two solutions of f'' = lambda f used as a basis:
// exp(-nu s) and exp(nu (s - h)) where the wave decays by e or more across the layer,
// otherwise cosh (cos) and sinh / nu (sin / eta), whose values stay bounded.
struct Basis {
    double f0[2], d0[2], fh[2], dh[2];
};

Basis basis(double lambda, double h) {
    Basis b{};
    if (lambda > 0.0 && std::sqrt(lambda) * h >= 1.0) {
        const double nu = std::sqrt(lambda), e = std::exp(-nu * h);
        b = {{1.0, e}, {-nu, nu * e}, {e, 1.0}, {-nu * e, nu}};
    } else {
        const WaveSeries w = wave_series(lambda, h);
        b = {{1.0, 0.0}, {0.0, 1.0}, {w.c, w.s}, {w.e, w.c}};
    }
    return b;
}

// Solves m x = r for the 4 x 4 system in place (partial pivoting); r has 4 columns.
void solve4(double m[4][4], double r[4][4]) {
    for (int col = 0; col < 4; ++col) {
        int p = col;
        for (int i = col + 1; i < 4; ++i)
            if (std::fabs(m[i][col]) > std::fabs(m[p][col])) p = i;
        for (int j = 0; j < 4; ++j) {
            std::swap(m[col][j], m[p][j]);
            std::swap(r[col][j], r[p][j]);
        }
        for (int i = col + 1; i < 4; ++i) {
            const double f = m[i][col] / m[col][col];
            for (int j = col; j < 4; ++j) m[i][j] -= f * m[col][j];
            for (int j = 0; j < 4; ++j) r[i][j] -= f * r[col][j];
        }
    }
    for (int col = 3; col >= 0; --col) {
        for (int j = 0; j < 4; ++j) {
            double v = r[col][j];
            for (int i = col + 1; i < 4; ++i) v -= m[col][i] * r[i][j];
            r[col][j] = v / m[col][col];
        }
    }
}

// The stiffness blocks of a layer of scaled thickness h from its partial waves:
// K = M_F M_U^-1, found as M_U^T K = M_F^T (K is symmetric).
void thick_blocks(const LayerConstants& k, double h, RayleighElement& e) {
    const Basis bp = basis(k.lp, h), bs = basis(k.ls, h);
    double mu_t[4][4], mf_t[4][4];  // row: basis function; column: face quantity
    for (int n = 0; n < 2; ++n) {
        // P solution n: (U, W) at the top and bottom, and the face forces.
        mu_t[n][0] = bp.f0[n];
        mu_t[n][1] = -bp.d0[n];
        mu_t[n][2] = bp.fh[n];
        mu_t[n][3] = -bp.dh[n];
        mf_t[n][0] = -2.0 * k.mu * bp.d0[n];
        mf_t[n][1] = k.gam * bp.f0[n];
        mf_t[n][2] = 2.0 * k.mu * bp.dh[n];
        mf_t[n][3] = -k.gam * bp.fh[n];
        // S solution n.
        mu_t[2 + n][0] = -bs.d0[n];
        mu_t[2 + n][1] = bs.f0[n];
        mu_t[2 + n][2] = -bs.dh[n];
        mu_t[2 + n][3] = bs.fh[n];
        mf_t[2 + n][0] = k.gam * bs.f0[n];
        mf_t[2 + n][1] = -2.0 * k.mu * bs.d0[n];
        mf_t[2 + n][2] = -k.gam * bs.fh[n];
        mf_t[2 + n][3] = 2.0 * k.mu * bs.dh[n];
    }
    solve4(mu_t, mf_t);  // mf_t now holds K^T = K
    e.ktt = {mf_t[0][0], 0.5 * (mf_t[0][1] + mf_t[1][0]), mf_t[1][1]};
    e.kbb = {mf_t[2][2], 0.5 * (mf_t[2][3] + mf_t[3][2]), mf_t[3][3]};
    // K_tb[r][c] = K[r][2 + c]; K^T[2 + c][r] is the same entry.
    e.ktb = {0.5 * (mf_t[2][0] + mf_t[0][2]), 0.5 * (mf_t[3][0] + mf_t[0][3]), 0.5 * (mf_t[2][1] + mf_t[1][2]),
             0.5 * (mf_t[3][1] + mf_t[1][3])};
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
    int count = 0, weight = 1;
    RayleighElement half;
    for (double part = h; eta * part > std::numbers::pi; part *= 0.5, weight *= 2) {
        thick_blocks(k, 0.5 * part, half);
        const Sym2 middle = add(half.kbb, half.ktt);
        count += weight * negatives(det(middle), trace(middle));
    }
    return count;
}

void element(double c2, double wn, int l, const Nstrc& s, CountWork& cw) {
    RayleighElement& e = cw.elements[static_cast<std::size_t>(l)];
    const double h = wn * s.thk[static_cast<std::size_t>(l)];
    e.empty = h == 0.0;
    if (e.empty) return;
    const LayerConstants k = constants(c2, l, cw);
    e.thin = std::fmax(std::fabs(k.lp), std::fabs(k.ls)) * h * h < 1.0;
    if (e.thin) {
        const double r = (cw.inv_vp2[static_cast<std::size_t>(l)] / cw.inv_vs2[static_cast<std::size_t>(l)] - 1.0) / k.mu;
        thin_propagator(k, r, h, e);
    } else {
        thick_blocks(k, h, e);
    }
    e.j0 = clamped_count(k, h);
}

Sym2 half_space(double c2, const Nstrc& s, const CountWork& cw) {
    const auto n = static_cast<std::size_t>(s.nl);
    const double xs = c2 * cw.inv_vs2[n], xp = c2 * cw.inv_vp2[n];
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

}  // namespace

int rayleigh_count(double om, double wn, const Nstrc& s, CountWork& w) {
    const double c = om / wn, c2 = c * c;
    Sym2 z = half_space(c2, s, w);
    int count = 0;
    for (int l = s.nl - 1; l >= 1; --l) {
        element(c2, wn, l, s, w);
        const RayleighElement& e = w.elements[static_cast<std::size_t>(l)];
        if (!e.empty) z = up(e, z, count);
    }
    return count + negatives(det(z), trace(z));
}

int rayleigh_profile(double om, double wn, const Nstrc& s, CountWork& w) {
    const double c = om / wn, c2 = c * c;
    Sym2 z = half_space(c2, s, w);
    int count = 0;
    for (int l = s.nl - 1; l >= 1; --l) {
        element(c2, wn, l, s, w);
        const RayleighElement& e = w.elements[static_cast<std::size_t>(l)];
        if (!e.empty) z = up(e, z, count);
        w.below[static_cast<std::size_t>(l)] = z;
        w.count_below[static_cast<std::size_t>(l)] = count;
    }
    const int n = count + negatives(det(z), trace(z));
    z = {};
    count = 0;
    if (s.nl >= 2) {
        w.above[1] = z;
        w.count_above[1] = 0;
    }
    for (int l = 1; l + 1 <= s.nl - 1; ++l) {
        const RayleighElement& e = w.elements[static_cast<std::size_t>(l)];
        if (!e.empty) z = down(e, z, count);
        w.above[static_cast<std::size_t>(l + 1)] = z;
        w.count_above[static_cast<std::size_t>(l + 1)] = count;
    }
    return n;
}

double rayleigh_root_function(double om, double wn, int i, const Nstrc& s, CountWork& w) {
    const double c = om / wn, c2 = c * c;
    Sym2 zb = half_space(c2, s, w), zt{};
    int count = 0;
    for (int l = s.nl - 1; l >= i; --l) {
        element(c2, wn, l, s, w);
        const RayleighElement& e = w.elements[static_cast<std::size_t>(l)];
        if (!e.empty) zb = up(e, zb, count);
    }
    for (int l = 1; l < i; ++l) {
        element(c2, wn, l, s, w);
        const RayleighElement& e = w.elements[static_cast<std::size_t>(l)];
        if (!e.empty) zt = down(e, zt, count);
    }
    return rayleigh_root_value(add(zb, zt));
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
      inv_vs2(static_cast<std::size_t>(s.nl) + 1),
      inv_vp2(static_cast<std::size_t>(s.nl) + 1) {
    const auto n = static_cast<std::size_t>(s.nl);
    const double mu_n = s.rho[n] * s.vs[n] * s.vs[n];
    for (std::size_t l = 1; l <= n; ++l) {
        mu[l] = s.rho[l] * s.vs[l] * s.vs[l] / mu_n;
        inv_vs2[l] = 1.0 / (s.vs[l] * s.vs[l]);
        inv_vp2[l] = 1.0 / (s.vp[l] * s.vp[l]);
    }
}

}  // namespace vemlari
