// Secular functions: the half-space Rayleigh root, invariance under splitting a layer, and
// the roots of a low-velocity-layer model against an independent propagator-matrix method.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "kernels/secular.h"
#include "tests/kernels_support.h"

namespace vemlari {
namespace {

using namespace vemlari::testing;

double rayleigh_equation(double cv) {
    const double b2 = cv * cv / 1.0e6, a2 = cv * cv / 3.0e6;
    return (2 - b2) * (2 - b2) - 4 * std::sqrt(1 - a2) * std::sqrt(1 - b2);
}

TEST(KernelsSecular, LayerEqualToTheHalfSpaceHasItsRayleighRoot) {
    const double classic = bisect(rayleigh_equation, 500.0, 999.0);
    EXPECT_NEAR(classic, 919.4017, 5e-5);
    const Layer hs{2000, 1732.0508, 1000, 0};
    const double om = 2 * pi;
    for (const Nstrc& s : {model({{2000, 1732.0508, 1000, 500}, hs}),
                           model({{2000, 1732.0508, 1000, 200}, {2000, 1732.0508, 1000, 300}, hs})}) {
        const std::vector<double> roots =
            modulus_zeros([&](double cv) { return rayleigh_abs(s, om, cv); }, 700.0, 999.9, 0.23);
        ASSERT_EQ(roots.size(), 1u) << s.nl;
        // vp is rounded to eight digits, which moves the root by far less than this.
        EXPECT_NEAR(roots[0], classic, 2e-7 * classic);
    }
}

Nstrc lvl_split() {
    return model({{2200, 3000, 1500, 150}, {2200, 3000, 1500, 350}, {2000, 2400, 1000, 500},
                  {2400, 3500, 2000, 250}, {2400, 3500, 2000, 750}, {2600, 5200, 3000, 0}});
}

// The same model cut into twenty layers: the largest stack the kernels take.
Nstrc lvl_twenty() {
    Nstrc s;
    const Nstrc base = lvl_model();
    const int pieces[3] = {6, 5, 8};
    for (int j = 1; j <= 3; ++j)
        for (int p = 0; p < pieces[j - 1]; ++p) {
            ++s.nl;
            s.rho[s.nl] = base.rho[j];
            s.vp[s.nl] = base.vp[j];
            s.vs[s.nl] = base.vs[j];
            s.thk[s.nl] = base.thk[j] / pieces[j - 1];
        }
    ++s.nl;
    s.rho[s.nl] = base.rho[4];
    s.vp[s.nl] = base.vp[4];
    s.vs[s.nl] = base.vs[4];
    return s;
}

TEST(KernelsSecular, SplittingLayersLeavesBothFunctionsUnchanged) {
    const Nstrc whole = lvl_model();
    ASSERT_EQ(lvl_twenty().nl, 20);
    for (const Nstrc& split : {lvl_split(), lvl_twenty()}) {
        const double sm2 = std::pow(whole.rho[1] * whole.vs[1] * whole.vs[1], 2);
        for (double hz : {0.5, 1.0, 2.0}) {
            const double om = 2 * pi * hz;
            for (double cv : {850.0, 1234.5, 1777.0, 2456.0, 3333.0, 6000.0}) {
                LoveWork la, lb;
                const zc fa = z(love_secular(om, om / cv, whole, la));
                const zc fb = z(love_secular(om, om / cv, split, lb));
                EXPECT_LE(std::abs(fa - fb), 1e-11 * std::abs(fa)) << split.nl << " " << hz << " Hz, c " << cv;
                RayleighWork ra, rb;
                const zc ga = z(rayleigh_secular(om, om / cv, sm2, whole, ra));
                const zc gb = z(rayleigh_secular(om, om / cv, sm2, split, rb));
                EXPECT_LE(std::abs(ga - gb), 1e-9 * std::abs(ga)) << split.nl << " " << hz << " Hz, c " << cv;
            }
        }
    }
}

// ---- Independent reference: motion-stress propagators in real arithmetic ----------------

template <std::size_t N>
using Mat = std::array<std::array<double, N>, N>;

template <std::size_t N>
Mat<N> mul(const Mat<N>& a, const Mat<N>& b) {
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

Elastic elastic(const Nstrc& s, int j, double om) {
    const double mu = s.rho[j] * s.vs[j] * s.vs[j], l2m = s.rho[j] * s.vp[j] * s.vp[j];
    return {mu, l2m, l2m - 2 * mu, s.rho[j] * om * om};
}

// SH: d/dz (u, tau/S) with the stress scaled by S to keep the matrix dimensionally even.
Mat<2> sh_system(const Nstrc& s, int j, double om, double k, double S) {
    const Elastic e = elastic(s, j, om);
    return {{{0, S / e.mu}, {(e.mu * k * k - e.ro2) / S, 0}}};
}

// P-SV: d/dz (ux, -i uz, txz/S, -i tzz/S) for fields ~ exp(i k x), z downwards.
Mat<4> psv_system(const Nstrc& s, int j, double om, double k, double S) {
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

double love_reference(const Nstrc& s, double om, double cv) {
    const double k = om / cv;
    const Elastic e = elastic(s, s.nl, om);
    const double S = e.mu * k;
    const double nu = std::sqrt(k * k - e.ro2 / e.mu);
    return surface_function<2>(s, om, k, S, sh_system, {{{1.0, -e.mu * nu / S}}});
}

double rayleigh_reference(const Nstrc& s, double om, double cv) {
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

// Every root that the secular function shows on a scan is a root of the reference; every
// reference root is a zero of the secular function; above the slowest layer's trapping
// range the two root sets agree one to one.
void compare_roots(const std::function<double(double)>& grt, const std::function<double(double)>& ref, double lo,
                   double hi, const char* what, double hz) {
    const std::vector<double> mine = modulus_zeros(grt, lo, hi, 0.25);
    const std::vector<double> refs = sign_zeros(ref, lo, hi, 0.25);
    ASSERT_FALSE(refs.empty()) << what << " " << hz;
    for (double r : mine) {
        double best = 1e300;
        for (double q : refs) best = std::fmin(best, std::fabs(q - r));
        EXPECT_LT(best, 1e-7 * r) << what << " " << hz << " Hz: root " << r << " has no reference";
    }
    for (double q : refs) {
        const double w = 1e-6 * q;
        const double m = golden_min(grt, q - w, q + w);
        EXPECT_LT(std::fabs(m - q), 1e-8 * q) << what << " " << hz << " Hz, reference root " << q;
        EXPECT_LT(grt(m), 1e-4 * std::fmin(grt(q - w), grt(q + w))) << what << " " << hz << " Hz, " << q;
    }
    auto above = [](const std::vector<double>& v) {
        return std::count_if(v.begin(), v.end(), [](double x) { return x > 1500.0; });
    };
    EXPECT_EQ(above(mine), above(refs)) << what << " " << hz;
}

TEST(KernelsSecular, LowVelocityLayerRootsAgreeWithPropagatorMatrices) {
    const Nstrc s = lvl_model();
    for (double hz : {0.5, 1.0, 2.0}) {
        const double om = 2 * pi * hz;
        compare_roots([&](double cv) { return love_abs(s, om, cv); },
                      [&](double cv) { return love_reference(s, om, cv); }, 1000.01, 2999.9, "Love", hz);
        compare_roots([&](double cv) { return rayleigh_abs(s, om, cv); },
                      [&](double cv) { return rayleigh_reference(s, om, cv); }, 800.01, 2999.9, "Rayleigh", hz);
    }
}

}  // namespace
}  // namespace vemlari
