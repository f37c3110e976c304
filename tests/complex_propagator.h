#pragma once
// An independent secular function for anelastic layers: complex velocities, motion-stress
// propagators by matrix exponentials, and for P-SV the 2 x 2 minors of the two solutions
// that decay in the half-space (they stay accurate through evanescent layers where the two
// solutions themselves become parallel). Every step is analytic in the phase velocity, so
// Newton's method finds its complex roots.
#include <array>
#include <cmath>
#include <complex>
#include <vector>

namespace vemlari::testing {

using zd = std::complex<double>;

struct AnelasticLayer {
    double thickness, rho;
    zd vp, vs;
};

template <std::size_t N>
using ZMat = std::array<std::array<zd, N>, N>;

template <std::size_t N>
ZMat<N> zmul(const ZMat<N>& a, const ZMat<N>& b) {
    ZMat<N> p{};
    for (std::size_t r = 0; r < N; ++r)
        for (std::size_t q = 0; q < N; ++q)
            for (std::size_t c = 0; c < N; ++c) p[r][c] += a[r][q] * b[q][c];
    return p;
}

// exp(a) by scaling, Taylor series and squaring.
template <std::size_t N>
ZMat<N> zexpm(ZMat<N> a) {
    double norm = 0;
    for (auto& row : a)
        for (zd v : row) norm = std::fmax(norm, std::abs(v));
    int sq = 0;
    for (; norm * N > 0.25; norm *= 0.5) ++sq;
    for (auto& row : a)
        for (zd& v : row) v *= std::ldexp(1.0, -sq);
    ZMat<N> sum{}, term{};
    for (std::size_t i = 0; i < N; ++i) sum[i][i] = term[i][i] = 1;
    for (int n = 1; n <= 18; ++n) {
        term = zmul(term, a);
        for (auto& row : term)
            for (zd& v : row) v /= double(n);
        for (std::size_t r = 0; r < N; ++r)
            for (std::size_t c = 0; c < N; ++c) sum[r][c] += term[r][c];
    }
    for (int i = 0; i < sq; ++i) sum = zmul(sum, sum);
    return sum;
}

// Carries y up through the layers above the half-space: y(top) = exp(-A h) y(bottom).
template <std::size_t N, class System>
std::array<zd, N> carry_up(const std::vector<AnelasticLayer>& m, System system, std::array<zd, N> y) {
    for (std::size_t j = m.size() - 1; j-- > 0;) {
        ZMat<N> a = system(m[j]);
        for (auto& row : a)
            for (zd& v : row) v *= -m[j].thickness;
        const ZMat<N> p = zexpm(a);
        std::array<zd, N> next{};
        for (std::size_t r = 0; r < N; ++r)
            for (std::size_t q = 0; q < N; ++q) next[r] += p[r][q] * y[q];
        y = next;
    }
    return y;
}

// Stresses are carried over S, a constant of the model and frequency, so that the matrices
// are evenly scaled.
inline double stress_scale(const std::vector<AnelasticLayer>& m, double om) {
    return m.back().rho * std::real(m.back().vs) * om;
}

// Love: (v, tau / S) with d/dz v = tau / mu, d/dz tau = (k^2 mu - rho om^2) v; the surface stress.
inline zd love_surface(const std::vector<AnelasticLayer>& m, double om, zd c) {
    const zd k = om / c;
    const double S = stress_scale(m, om);
    auto system = [&](const AnelasticLayer& l) {
        const zd mu = l.rho * l.vs * l.vs;
        return ZMat<2>{{{0.0, S / mu}, {(k * k * mu - l.rho * om * om) / S, 0.0}}};
    };
    const AnelasticLayer& h = m.back();
    const zd mu = h.rho * h.vs * h.vs;
    const zd nu = std::sqrt(k * k - om * om / (h.vs * h.vs));
    return carry_up<2>(m, system, {1.0, -mu * nu / S})[1];
}

// P-SV: y = (ux, -i uz, txz / S, -i tzz / S), fields ~ exp(i k x), z down; the surface traction
// determinant from the minors M_ab = y1_a y2_b - y1_b y2_a, which obey d/dz M = A2 M.
inline zd rayleigh_surface(const std::vector<AnelasticLayer>& m, double om, zd c) {
    const zd k = om / c;
    const double S = stress_scale(m, om);
    auto psv = [&](const AnelasticLayer& l) {
        const zd mu = l.rho * l.vs * l.vs, l2m = l.rho * l.vp * l.vp, lam = l2m - 2.0 * mu;
        ZMat<4> a{};
        a[0][1] = k;
        a[0][2] = S / mu;
        a[1][0] = -lam * k / l2m;
        a[1][3] = S / l2m;
        a[2][0] = (k * k * 4.0 * mu * (lam + mu) / l2m - l.rho * om * om) / S;
        a[2][3] = k * lam / l2m;
        a[3][1] = -l.rho * om * om / S;
        a[3][2] = -k;
        return a;
    };
    static constexpr int pairs[6][2] = {{0, 1}, {0, 2}, {0, 3}, {1, 2}, {1, 3}, {2, 3}};
    auto index = [](int a, int b, int& sign) {
        sign = a < b ? 1 : -1;
        if (a > b) std::swap(a, b);
        for (int p = 0; p < 6; ++p)
            if (pairs[p][0] == a && pairs[p][1] == b) return p;
        return -1;
    };
    // d/dz M_ab = sum_q A_aq M_qb + A_bq M_aq.
    auto compound = [&](const AnelasticLayer& l) {
        const ZMat<4> a = psv(l);
        ZMat<6> a2{};
        for (int p = 0; p < 6; ++p) {
            const int i = pairs[p][0], j = pairs[p][1];
            for (int q = 0; q < 4; ++q) {
                int sign;
                if (q != j) {
                    const int r = index(q, j, sign);
                    a2[p][r] += double(sign) * a[i][q];
                }
                if (q != i) {
                    const int r = index(i, q, sign);
                    a2[p][r] += double(sign) * a[j][q];
                }
            }
        }
        return a2;
    };
    const AnelasticLayer& h = m.back();
    const zd mu = h.rho * h.vs * h.vs, l2m = h.rho * h.vp * h.vp, lam = l2m - 2.0 * mu;
    const zd na = std::sqrt(k * k - om * om / (h.vp * h.vp)), nb = std::sqrt(k * k - om * om / (h.vs * h.vs));
    const std::array<zd, 4> p{k, na, -2.0 * mu * k * na / S, (lam * k * k - l2m * na * na) / S};
    const std::array<zd, 4> s{nb, k, -mu * (nb * nb + k * k) / S, (lam * k * nb - l2m * nb * k) / S};
    std::array<zd, 6> minors;
    for (int q = 0; q < 6; ++q) minors[q] = p[pairs[q][0]] * s[pairs[q][1]] - p[pairs[q][1]] * s[pairs[q][0]];
    return carry_up<6>(m, compound, minors)[5] / (k * k);
}

// The root of f near c0 by Newton's method, the derivative by central differences.
template <class F>
zd newton_root(F f, zd c) {
    for (int n = 0; n < 40; ++n) {
        const zd d = 1e-6 * c;
        const zd step = f(c) * 2.0 * d / (f(c + d) - f(c - d));
        c -= step;
        if (std::abs(step) < 1e-14 * std::abs(c)) break;
    }
    return c;
}

}  // namespace vemlari::testing
