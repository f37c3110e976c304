// The Rayleigh-wave stiffness of transversely isotropic layers by slices and doubling.
#include "kernels/rayleigh_transverse.h"

#include <array>
#include <cmath>
#include <numbers>

namespace vemlari::detail {

namespace {

using Mat4 = std::array<std::array<double, 4>, 4>;

// A slice's propagator converges to a rounding error within this many Taylor terms.
constexpr double slice_norm = 0.5;
constexpr int taylor_terms = 30;
// Doublings at most: a layer of scaled thickness up to 2^1100 (beyond any the model admits).
constexpr int max_doublings = 1100;

double det(const Real2& m) { return m.a * m.d - m.b * m.c; }
Real2 mul(const Real2& x, const Real2& y) {
    return {x.a * y.a + x.b * y.c, x.a * y.b + x.b * y.d, x.c * y.a + x.d * y.c, x.c * y.b + x.d * y.d};
}
Real2 scaled(const Real2& m, double f) { return {m.a * f, m.b * f, m.c * f, m.d * f}; }
Real2 adj(const Real2& m) { return {m.d, -m.b, -m.c, m.a}; }
Real2 transpose(const Real2& m) { return {m.a, m.c, m.b, m.d}; }
Real2 full(const Sym2& s) { return {s.xx, s.xz, s.xz, s.zz}; }
Sym2 sym(const Real2& m) { return {m.a, 0.5 * (m.b + m.c), m.d}; }
Sym2 sub(const Sym2& x, const Real2& y) { return sym({x.xx - y.a, x.xz - y.b, x.xz - y.c, x.zz - y.d}); }

// The layer's constants in its own unit L, with v = rho c^2 / L.
struct Own {
    double a, c, f, v;
};

Own own(double c2, int l, const CountWork& w) {
    const auto j = static_cast<std::size_t>(l);
    const TransverseModuli& m = w.moduli[j];
    return {m.a / m.l, m.c / m.l, m.f / m.l, w.rho[j] * c2 / m.l};
}

// d/ds of (U, W, Tx / L, Tz / L).
Mat4 system_matrix(const Own& k) {
    Mat4 m{};
    m[0][1] = 1.0;
    m[0][2] = 1.0;
    m[1][0] = -k.f / k.c;
    m[1][3] = 1.0 / k.c;
    m[2][0] = (k.a * k.c - k.f * k.f) / k.c - k.v;
    m[2][3] = k.f / k.c;
    m[3][1] = -k.v;
    m[3][2] = -1.0;
    return m;
}

double norm(const Mat4& m) {
    double r = 0.0;
    for (const auto& row : m)
        r = std::fmax(r, std::fabs(row[0]) + std::fabs(row[1]) + std::fabs(row[2]) + std::fabs(row[3]));
    return r;
}

// No eigenfrequency of the clamped slice lies below c: the strain energy of a clamped
// displacement (U, W) over a slice of thickness h is at least
// (m pi^2 / h^2 - 1) |W|^2 + (pi^2 / (2 h^2) + m) |U|^2 (in the unit L, m the least
// eigenvalue of [[A, F], [F, C]], by |U' - W|^2 >= |U'|^2 / 2 - |W|^2 and the clamped
// Poincare inequality), its kinetic energy v (|U|^2 + |W|^2).
bool unclamped(const Own& k, double h) {
    const double half_sum = 0.5 * (k.a + k.c);
    const double least = (k.a * k.c - k.f * k.f) / (half_sum + std::hypot(0.5 * (k.a - k.c), k.f));
    const double pi2 = std::numbers::pi * std::numbers::pi;
    return k.v * h * h < std::fmin(least * pi2 - h * h, 0.5 * pi2);
}

// exp(h M) by its Taylor series (h |M| <= slice_norm).
Mat4 propagator(const Mat4& m, double h) {
    Mat4 p{}, term{};
    for (int i = 0; i < 4; ++i) p[i][i] = term[i][i] = 1.0;
    for (int n = 1; n <= taylor_terms; ++n) {
        Mat4 next{};
        const double f = h / n;
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j) {
                double sum = 0.0;
                for (int q = 0; q < 4; ++q) sum += term[i][q] * m[q][j];
                next[i][j] = sum * f;
            }
        term = next;
        double largest = 0.0;
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j) {
                p[i][j] += term[i][j];
                largest = std::fmax(largest, std::fabs(term[i][j]));
            }
        if (largest < 1e-18) break;
    }
    return p;
}

Real2 block(const Mat4& p, int r, int c) { return {p[r][c], p[r][c + 1], p[r + 1][c], p[r + 1][c + 1]}; }

int capped(long long n) { return n < clamped_cap ? static_cast<int>(n) : clamped_cap; }

}  // namespace

void transverse_element(double c2, double wn, int l, const Nstrc& s, const CountWork& w, bool clamped,
                        RayleighElement& e) {
    const auto j = static_cast<std::size_t>(l);
    const double h = wn * s.thk[j];
    e.empty = h == 0.0;
    e.j0 = 0;
    if (e.empty) return;
    const Own k = own(c2, l, w);
    const Mat4 m = system_matrix(k);
    const double size = norm(m);
    double slice = h;
    int doublings = 0;
    while ((slice * size > slice_norm || !unclamped(k, slice)) && doublings < max_doublings) {
        slice *= 0.5;
        ++doublings;
    }
    const Mat4 p = propagator(m, slice);
    // Back to tractions over mu_N: T = L X.
    const double unit = w.moduli[j].l;
    const Real2 p11 = block(p, 0, 0), p12 = scaled(block(p, 0, 2), 1.0 / unit), p21 = scaled(block(p, 2, 0), unit),
                p22 = block(p, 2, 2);
    e.thin = doublings == 0;
    if (e.thin) {
        e.p11 = p11;
        e.p12 = p12;
        e.p21 = p21;
        e.p22 = p22;
        return;
    }
    // The slice's stiffness: t_top = P12^-1 (u_bottom - P11 u_top), the forces -t_top on the
    // top face and t_bottom on the bottom face.
    const Real2 inv12 = scaled(adj(p12), 1.0 / det(p12));
    Sym2 ktt = sym(mul(inv12, p11)), kbb = sym(mul(p22, inv12));
    Real2 ktb = scaled(inv12, -1.0);
    long long j0 = 0;
    for (int d = 0; d < doublings; ++d) {
        const Sym2 middle{kbb.xx + ktt.xx, kbb.xz + ktt.xz, kbb.zz + ktt.zz};
        const double dm = middle.xx * middle.zz - middle.xz * middle.xz;
        if (clamped) j0 = 2 * j0 + negatives(dm, middle.xx + middle.zz);
        if (j0 > clamped_cap) j0 = clamped_cap;
        const Real2 inv = scaled(adj(full(middle)), 1.0 / dm);
        const Real2 kbt = transpose(ktb);
        const Sym2 tt = sub(ktt, mul(mul(ktb, inv), kbt));
        const Sym2 bb = sub(kbb, mul(mul(kbt, inv), ktb));
        ktb = scaled(mul(mul(ktb, inv), ktb), -1.0);
        ktt = tt;
        kbb = bb;
    }
    e.ktt = ktt;
    e.kbb = kbb;
    e.ktb = ktb;
    e.j0 = capped(j0);
}

// The half-space's stiffness for constants and w = rho c^2 in one unit.
Sym2 transverse_half_space_stiffness(const TransverseModuli& m, double w) {
    const double lc = m.l * m.c, kappa = m.f + m.l;
    const double b = m.l * (w - m.l) + m.c * (w - m.a) + kappa * kappa;
    const double product = std::sqrt(std::fmax(0.0, (w - m.a) * (w - m.l) / lc));  // q1 q2
    const double sum = std::sqrt(std::fmax(0.0, -b / lc + 2.0 * product));         // q1 + q2
    const double below = m.l - w;
    const double d = m.c * product + below;
    // At vsv itself the limit of the fractions.
    if (d == 0.0) return {m.l * sum, m.l, 0.0};
    return {m.c * m.l * sum * product / d, (m.c * m.l * product - m.f * below) / d, m.c * sum * below / d};
}

Sym2 transverse_half_space(double c2, const Nstrc& s, const CountWork& w) {
    const auto n = static_cast<std::size_t>(s.nl);
    return transverse_half_space_stiffness(w.moduli[n], w.rho[n] * c2);
}

double transverse_rayleigh_velocity(const TransverseModuli& m, double density) {
    // The stiffness is positive definite at rest and its determinant -L^2 < 0 at the top.
    const auto determinant = [&](double c) {
        const Sym2 z = transverse_half_space_stiffness(m, density * c * c);
        return z.xx * z.zz - z.xz * z.xz;
    };
    double lo = 0.0, hi = std::sqrt(std::fmin(m.l, m.a) / density);
    for (;;) {
        const double mid = lo + 0.5 * (hi - lo);
        if (!(mid > lo && mid < hi)) break;
        (determinant(mid) > 0.0 ? lo : hi) = mid;
    }
    return lo + 0.5 * (hi - lo);
}

}  // namespace vemlari::detail
