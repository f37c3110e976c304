// The scan never leaves the velocities a mode can have: on a wide velocity range over few
// partitions the first step below the lower bound would reach zero and below, where the
// secular functions have roots that are no modes.
#include <gtest/gtest.h>

#include <cmath>

#include "vemlari/vemlari.h"

namespace vemlari {
namespace {

TEST(ScanBounds, NoTrialAtOrBelowZeroAndNoRootBelowTheLowerBound) {
    // Soft soil (vs 100 m/s) over a 3000 m/s half-space: a range 30 times its lower end.
    const Model model({{20, 500, 100, 1800}, {0, 5200, 3000, 2500}});
    const ScanRange range = scan_range(model);
    std::vector<double> hz;
    for (int k = 1; k <= 40; ++k) hz.push_back(0.25 * k);
    for (int partitions : {10, 20}) {
        SearchOptions o;
        o.partitions = partitions;
        o.keep_trace = true;
        const Modes m = find_modes(model, Frequencies::hertz(hz), o);
        const Properties p = mode_properties(model, m);
        int modes = 0;
        for (const Wave w : {Wave::love, Wave::rayleigh}) {
            const double floor = w == Wave::love ? range.vsmin : range.cmin;
            for (std::size_t k = 0; k < hz.size(); ++k) {
                for (const TracePoint& t : m[w].trace[k]) ASSERT_GT(t.phase_velocity, 0.0) << partitions;
                for (std::size_t j = 0; j < m[w].phase_velocity[k].size(); ++j) {
                    ++modes;
                    EXPECT_GE(m[w].phase_velocity[k][j], floor) << partitions << " " << k;
                    EXPECT_TRUE(std::isfinite(p[w].modes[k][j].group_velocity)) << partitions << " " << k;
                }
            }
        }
        EXPECT_GT(modes, 40) << partitions;
    }
}

// A half-space under a layer of no thickness, a homogeneous medium: its secular
// function vanishes at the branch point vs of the half-space, which is no mode (its field
// does not decay); no root at or above that velocity is kept, and every one below it has a
// finite group velocity.
TEST(ScanBounds, NoModeAtOrAboveTheHalfSpaceSVelocity) {
    std::vector<double> hz;
    for (int k = 1; k <= 20; ++k) hz.push_back(0.5 * k);
    for (const Model& model : {Model({{0, 1800, 1000, 2000}, {0, 3500, 2000, 2500}}),
                               Model({{1000, 1800, 1000, 2000}, {0, 3500, 2000, 2500}})}) {
        const Modes m = find_modes(model, Frequencies::hertz(hz));
        const Properties p = mode_properties(model, m);
        for (const Wave w : {Wave::love, Wave::rayleigh})
            for (std::size_t k = 0; k < hz.size(); ++k)
                for (std::size_t j = 0; j < m[w].phase_velocity[k].size(); ++j) {
                    EXPECT_LT(m[w].phase_velocity[k][j], 2000.0) << k;
                    EXPECT_TRUE(std::isfinite(p[w].modes[k][j].group_velocity)) << k;
                }
        if (model[0].thickness == 0) {
            for (std::size_t k = 0; k < hz.size(); ++k) EXPECT_TRUE(m.love.phase_velocity[k].empty()) << k;
        }
    }
}

}  // namespace
}  // namespace vemlari
