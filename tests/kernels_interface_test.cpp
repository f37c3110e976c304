// Secular functions referred to the top of a slow layer: their roots are those of an
// independent propagator-matrix method, including the modes trapped in the slow layer that
// the surface function hides, and they do not depend on how the layers are cut.
#include <gtest/gtest.h>

#include <vector>

#include "kernels/secular.h"
#include "tests/kernels_support.h"
#include "tests/propagator_reference.h"

namespace vemlari {

using namespace vemlari::detail;
namespace {

using namespace vemlari::testing;

double love_at(const Nstrc& s, int top, double om, double cv) {
    LoveWork w;
    return cabs(love_secular_at(om, om / cv, top, s, w));
}

double rayleigh_at(const Nstrc& s, int top, double om, double cv) {
    RayleighWork w;
    return cabs(rayleigh_secular_at(om, om / cv, top, s, w));
}

double nearest(const std::vector<double>& v, double x) {
    double best = 1e300;
    for (double q : v) best = std::fmin(best, std::fabs(q - x));
    return best;
}

// The interface function alone shows every root of the reference, one to one.
void expect_same_roots(const std::function<double(double)>& f, const std::function<double(double)>& ref, double lo,
                       double hi, const char* what, double hz) {
    const std::vector<double> mine = modulus_zeros(f, lo, hi, 0.25);
    const std::vector<double> refs = sign_zeros(ref, lo, hi, 0.25);
    ASSERT_FALSE(refs.empty()) << what << " " << hz;
    EXPECT_EQ(mine.size(), refs.size()) << what << " " << hz << " Hz";
    for (double r : mine) EXPECT_LT(nearest(refs, r), 1e-7 * r) << what << " " << hz << " Hz: extra root " << r;
    for (double q : refs) EXPECT_LT(nearest(mine, q), 1e-7 * q) << what << " " << hz << " Hz: missed root " << q;
}

TEST(KernelsInterface, SlowLayerFunctionFindsEveryReferenceRoot) {
    const Nstrc s = lvl_model();
    for (double hz : {0.5, 1.0, 2.0, 4.0}) {
        const double om = 2 * pi * hz;
        expect_same_roots([&](double cv) { return love_at(s, 2, om, cv); },
                          [&](double cv) { return love_reference(s, om, cv); }, 990.0, 2999.9, "Love", hz);
        expect_same_roots([&](double cv) { return rayleigh_at(s, 2, om, cv); },
                          [&](double cv) { return rayleigh_reference(s, om, cv); }, 800.01, 2999.9, "Rayleigh", hz);
    }
}

// At 4 Hz the second Love mode lives in the slow layer: two scan steps of 2 m/s away from it
// the surface function is still 1, while the interface function already dips towards it.
TEST(KernelsInterface, TrappedModeDipIsWideOnlyAtTheInterface) {
    const Nstrc s = lvl_model();
    const double om = 2 * pi * 4.0;
    const std::vector<double> refs =
        sign_zeros([&](double cv) { return love_reference(s, om, cv); }, 1000.01, 1400.0, 0.25);
    ASSERT_GE(refs.size(), 2u);
    const double root = refs[1];
    for (double off : {-2.0, 2.0}) {
        LoveWork w;
        EXPECT_GT(cabs(love_secular(om, om / (root + off), s, w)), 0.99) << off;
        EXPECT_LT(love_at(s, 2, om, root + off), 0.2) << off;
    }
}

// Cutting the layers above and below the interface into thinner layers of the same
// material changes nothing: the two reflections are properties of the stacks.
TEST(KernelsInterface, SplittingLayersLeavesTheInterfaceFunctionUnchanged) {
    const Nstrc whole = lvl_model();
    const Nstrc split = model({{2200, 3000, 1500, 150},
                               {2200, 3000, 1500, 350},
                               {2000, 2400, 1000, 500},
                               {2400, 3500, 2000, 250},
                               {2400, 3500, 2000, 750},
                               {2600, 5200, 3000, 0}});
    for (double hz : {0.5, 2.0}) {
        const double om = 2 * pi * hz;
        for (double cv : {950.0, 1234.5, 1777.0, 2456.0}) {
            LoveWork la, lb;
            const zc fa = z(love_secular_at(om, om / cv, 2, whole, la));
            const zc fb = z(love_secular_at(om, om / cv, 3, split, lb));
            EXPECT_LE(std::abs(fa - fb), 1e-11 * std::abs(fa)) << hz << " Hz, c " << cv;
            RayleighWork ra, rb;
            const zc ga = z(rayleigh_secular_at(om, om / cv, 2, whole, ra));
            const zc gb = z(rayleigh_secular_at(om, om / cv, 3, split, rb));
            EXPECT_LE(std::abs(ga - gb), 1e-9 * std::abs(ga)) << hz << " Hz, c " << cv;
        }
    }
}

}  // namespace
}  // namespace vemlari
