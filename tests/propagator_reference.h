#pragma once
// Independent reference for the secular functions: motion-stress propagators in real
// arithmetic, with no reflection coefficients.
#include <array>
#include <cmath>

#include "program/run_state.h"

namespace vemlari::testing {

// ---- Independent reference: motion-stress propagators in real arithmetic ----------------

template <std::size_t N>
using Mat = std::array<std::array<double, N>, N>;

template <std::size_t N>
inline Mat<N> mul(const Mat<N>& a, const Mat<N>& b) {
    Mat<N> p{};
    for (std::size_t r = 0; r < N; ++r)
        for (std::size_t q = 0; q < N; ++q)
            for (std::size_t c = 0; c < N; ++c) p[r][c] += a[r][q] * b[q][c];
    return p;
}

// exp(a) by scaling, Taylor series and squaring.
template <std::size_t N>
Mat<N> expm(Mat<N> a) {
    double norm = 0;
    for (auto& row : a)
        for (double v : row) norm = std::fmax(norm, std::fabs(v));
    int sq = 0;
    while (norm * N > 0.25) {
        norm *= 0.5;
        ++sq;
    }
    const double scale = std::ldexp(1.0, -sq);
    for (auto& row : a)
        for (double& v : row) v *= scale;
    Mat<N> sum{}, term{};
    for (std::size_t i = 0; i < N; ++i) sum[i][i] = term[i][i] = 1;
    for (int n = 1; n <= 18; ++n) {
        term = mul(term, a);
        for (auto& row : term)
            for (double& v : row) v /= n;
        for (std::size_t r = 0; r < N; ++r)
            for (std::size_t c = 0; c < N; ++c) sum[r][c] += term[r][c];
    }
    for (int i = 0; i < sq; ++i) sum = mul(sum, sum);
    return sum;
}

struct Elastic {
    double mu, l2m, lam, ro2;
};

inline Elastic elastic(const Nstrc& s, int j, double om) {
    const double mu = s.rho[j] * s.vs[j] * s.vs[j], l2m = s.rho[j] * s.vp[j] * s.vp[j];
    return {mu, l2m, l2m - 2 * mu, s.rho[j] * om * om};
}

// SH: d/dz (u, tau/S) with the stress scaled by S to keep the matrix dimensionally even.
inline Mat<2> sh_system(const Nstrc& s, int j, double om, double k, double S) {
    const Elastic e = elastic(s, j, om);
    return {{{0, S / e.mu}, {(e.mu * k * k - e.ro2) / S, 0}}};
}

// P-SV: d/dz (ux, -i uz, txz/S, -i tzz/S) for fields ~ exp(i k x), z downwards.
inline Mat<4> psv_system(const Nstrc& s, int j, double om, double k, double S) {
    const Elastic e = elastic(s, j, om);
    Mat<4> a{};
    a[0][1] = k;
    a[0][2] = S / e.mu;
    a[1][0] = -e.lam * k / e.l2m;
    a[1][3] = S / e.l2m;
    a[2][0] = (k * k * 4 * e.mu * (e.lam + e.mu) / e.l2m - e.ro2) / S;
    a[2][3] = k * e.lam / e.l2m;
    a[3][1] = -e.ro2 / S;
    a[3][2] = -k;
    return a;
}

// Carries the decaying half-space solutions up to the surface, keeping the columns
// orthonormal with a positive triangular factor, which leaves the sign of any determinant
// of the result unchanged. Returns the surface traction (SH) or traction determinant (P-SV).
template <std::size_t N>
double surface_function(const Nstrc& s, double om, double k, double S,
                        Mat<N> (*system)(const Nstrc&, int, double, double, double),
                        std::array<std::array<double, N>, N / 2> cols) {
    auto orthonormalise = [&] {
        for (std::size_t a = 0; a < N / 2; ++a) {
            for (std::size_t b = 0; b < a; ++b) {
                double d = 0;
                for (std::size_t r = 0; r < N; ++r) d += cols[a][r] * cols[b][r];
                for (std::size_t r = 0; r < N; ++r) cols[a][r] -= d * cols[b][r];
            }
            double n = 0;
            for (std::size_t r = 0; r < N; ++r) n += cols[a][r] * cols[a][r];
            for (std::size_t r = 0; r < N; ++r) cols[a][r] /= std::sqrt(n);
        }
    };
    orthonormalise();
    for (int j = s.nl - 1; j >= 1; --j) {
        const int steps = 1 + static_cast<int>(2 * k * s.thk[j]);
        Mat<N> a = system(s, j, om, k, S);
        for (auto& row : a)
            for (double& v : row) v *= -s.thk[j] / steps;  // upwards
        const Mat<N> p = expm(a);
        for (int n = 0; n < steps; ++n) {
            for (auto& col : cols) {
                std::array<double, N> y{};
                for (std::size_t r = 0; r < N; ++r)
                    for (std::size_t q = 0; q < N; ++q) y[r] += p[r][q] * col[q];
                col = y;
            }
            orthonormalise();
        }
    }
    if constexpr (N == 2)
        return cols[0][1];
    else
        return cols[0][2] * cols[1][3] - cols[1][2] * cols[0][3];
}

inline double love_reference(const Nstrc& s, double om, double cv) {
    const double k = om / cv;
    const Elastic e = elastic(s, s.nl, om);
    const double S = e.mu * k;
    const double nu = std::sqrt(k * k - e.ro2 / e.mu);
    return surface_function<2>(s, om, k, S, sh_system, {{{1.0, -e.mu * nu / S}}});
}

inline double rayleigh_reference(const Nstrc& s, double om, double cv) {
    const double k = om / cv;
    const Elastic e = elastic(s, s.nl, om);
    const double S = e.mu * k;
    const double na = std::sqrt(k * k - e.ro2 / e.l2m), nb = std::sqrt(k * k - e.ro2 / e.mu);
    // Decaying P and S waves: (ux, -i uz) of the potentials, tractions from Hooke's law.
    const std::array<double, 4> p{k, na, -2 * e.mu * k * na / S, (e.lam * k * k - e.l2m * na * na) / S};
    const std::array<double, 4> sv{nb, k, -e.mu * (nb * nb + k * k) / S, (e.lam * k * nb - e.l2m * nb * k) / S};
    // They must be eigenvectors of the half-space's own system.
    const Mat<4> a = psv_system(s, s.nl, om, k, S);
    for (int r = 0; r < 4; ++r) {
        double ap = 0, as = 0;
        for (int q = 0; q < 4; ++q) {
            ap += a[r][q] * p[q];
            as += a[r][q] * sv[q];
        }
        EXPECT_NEAR(ap, -na * p[r], 1e-12 * k * (1 + std::fabs(p[r]) / k));
        EXPECT_NEAR(as, -nb * sv[r], 1e-12 * k * (1 + std::fabs(sv[r]) / k));
    }
    return surface_function<4>(s, om, k, S, psv_system, {{p, sv}});
}

}  // namespace vemlari::testing
