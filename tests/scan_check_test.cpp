// The program's scan, checked at every frequency by the mode count, numbers its modes right
// where the scan alone stepped over a mode or found one twice.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "vemlari/vemlari.h"

namespace vemlari {
namespace {

SearchOptions scan() {
    SearchOptions o;
    o.method = SearchMethod::scan;  // tolerance 1e-3, 200 partitions, as the dialogue's examples
    return o;
}

// Every mode of the counted search, none more, each within the scan's reach of its root.
void expect_same_modes(const Model& m, double hz, Wave w, double close) {
    const Frequencies f = Frequencies::hertz({hz});
    const std::vector<double> scanned = find_modes(m, f, scan())[w].phase_velocity[0];
    const std::vector<double> counted = find_modes(m, f)[w].phase_velocity[0];
    ASSERT_EQ(scanned.size(), counted.size()) << hz << " Hz";
    for (std::size_t i = 0; i < counted.size(); ++i)
        EXPECT_NEAR(scanned[i], counted[i], close * counted[i]) << hz << " Hz, mode " << i;
}

TEST(ScanCheck, ModesTheScanSteppedOverOrFoundTwiceAreNumberedRight) {
    // One layer over a half-space at 20 Hz alone: the scan's first root is mode 1; the
    // fundamental, 1000.0778 m/s by Love's equation, lies in a dip narrower than its step.
    const Model two_layer({{1000, 1800, 1000, 2000}, {0, 3500, 2000, 2500}});
    const std::vector<double> love = find_modes(two_layer, Frequencies::hertz({20.0}), scan()).love.phase_velocity[0];
    ASSERT_FALSE(love.empty());
    EXPECT_NEAR(love[0], 1000.0778, 1e-3);
    for (double hz : {19.0, 20.0, 33.0, 40.0}) expect_same_modes(two_layer, hz, Wave::love, 1e-3);
    // A basin: 36 Love modes at 5 Hz, several closer than the scan's step.
    const Model basin({{1000, 560, 280, 2000}, {0, 3900, 1950, 2300}});
    expect_same_modes(basin, 5.0, Wave::love, 1e-3);
    expect_same_modes(basin, 5.0, Wave::rayleigh, 1e-3);
    // A top layer a thousand times lighter than the half-space: one Love mode found twice.
    const Model light({{1000, 1800, 1000, 2.0}, {0, 3500, 2000, 2500}});
    expect_same_modes(light, 1.484, Wave::love, 1e-3);
}

}  // namespace
}  // namespace vemlari
