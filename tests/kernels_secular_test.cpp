// Secular functions: the half-space Rayleigh root, invariance under splitting a layer, and
// the roots of a low-velocity-layer model against an independent propagator-matrix method.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "kernels/secular.h"
#include "tests/kernels_support.h"
#include "tests/propagator_reference.h"

namespace vemlari {

using namespace vemlari::detail;
namespace {

using namespace vemlari::testing;

double rayleigh_equation(double cv) {
    const double b2 = cv * cv / 1.0e6, a2 = cv * cv / 3.0e6;
    return (2 - b2) * (2 - b2) - 4 * std::sqrt(1 - a2) * std::sqrt(1 - b2);
}

TEST(KernelsSecular, LayerEqualToTheHalfSpaceHasItsRayleighRoot) {
    const double classic = bisect(rayleigh_equation, 500.0, 999.0);
    EXPECT_NEAR(classic, 919.4017, 5e-5);
    const LayerRow hs{2000, 1732.0508, 1000, 0};
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
    return model({{2200, 3000, 1500, 150},
                  {2200, 3000, 1500, 350},
                  {2000, 2400, 1000, 500},
                  {2400, 3500, 2000, 250},
                  {2400, 3500, 2000, 750},
                  {2600, 5200, 3000, 0}});
}

// The same model cut into thirty layers: more than the program takes, which the kernels
// must not care about.
Nstrc lvl_thirty() {
    Nstrc s;
    const Nstrc base = lvl_model();
    const int pieces[3] = {10, 9, 10};
    for (int j = 1; j <= 3; ++j)
        for (int p = 0; p < pieces[j - 1]; ++p) s.add(base.rho[j], base.vp[j], base.vs[j], base.thk[j] / pieces[j - 1]);
    s.add(base.rho[4], base.vp[4], base.vs[4], 0.0);
    return s;
}

TEST(KernelsSecular, SplittingLayersLeavesBothFunctionsUnchanged) {
    const Nstrc whole = lvl_model();
    ASSERT_EQ(lvl_thirty().nl, 30);
    for (const Nstrc& split : {lvl_split(), lvl_thirty()}) {
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
