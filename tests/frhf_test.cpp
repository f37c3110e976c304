// Half-space Rayleigh velocity against an independent bisection of the Rayleigh equation.
#include <gtest/gtest.h>

#include <cmath>

#include "model/frhf.h"

namespace {

using namespace vemlari::detail;

// Rayleigh equation in the usual form (2 - x)^2 = 4 sqrt(1 - x s^2) sqrt(1 - x), x = (c/vs)^2,
// s = vs/vp, solved by bisection on (0, 1).
double rayleigh_ratio(double s) {
    auto f = [s](double x) { return (2 - x) * (2 - x) - 4 * std::sqrt(1 - x * s * s) * std::sqrt(1 - x); };
    double lo = 1e-9, hi = 1 - 1e-15;
    for (int i = 0; i < 200; ++i) {
        const double mid = 0.5 * (lo + hi);
        ((f(lo) > 0) == (f(mid) > 0) ? lo : hi) = mid;
    }
    return std::sqrt(0.5 * (lo + hi));
}

TEST(Frhf, MatchesRayleighEquationOverThePoissonRange) {
    for (double s : {0.05, 0.2, 0.3, 0.4, 0.5, 1 / std::sqrt(3.0), 0.6, 0.65, 0.7, 0.75, 0.8, 0.85, 0.9}) {
        const double vs = 1000.0;
        const double c = vemlari::detail::frhf(vs / s, vs);
        EXPECT_NEAR(c / vs, rayleigh_ratio(s), 2e-5) << "sp = " << s;
    }
}

TEST(Frhf, PoissonSolidAndCubic) {
    // vp = 1, vs = 1/sqrt(3): c = 0.91940 vs, the cubic vanishes at z = 0.84530.
    const double vs = 1 / std::sqrt(3.0);
    EXPECT_NEAR(vemlari::detail::frhf(1.0, vs) / vs, 0.91940, 5e-6);
    EXPECT_NEAR(vemlari::detail::frhf1(vs, 0.845299462), 0.0, 1e-6);
    // sp = 0.5: fz = 0.86960, c = 0.93252 vs.
    EXPECT_NEAR(vemlari::detail::frhf(2.0, 1.0), 0.93252, 1e-5);
}

TEST(Frhf, TableBoundariesEndAfterOneStepNearTheStartValue) {
    const double starts[] = {0.90767, 0.88899, 0.83575, 0.77062, 0.63338};
    const double sps[] = {0.2, 0.4, 0.6, 0.7, 0.8};
    for (int i = 0; i < 5; ++i) {
        EXPECT_NEAR(vemlari::detail::frhf(1.0 / sps[i], 1.0), std::sqrt(starts[i]), 1e-4) << sps[i];
    }
}

}  // namespace
