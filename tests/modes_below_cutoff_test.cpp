// A mode emerging at its cutoff lies, at the next frequencies, just below the half-space's
// S velocity in a dip of |F| narrower than the scan's step; it must be found all the same.
// The reference is the same search on a scan a hundred times finer, at that frequency alone.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "vemlari/vemlari.h"

namespace vemlari {
namespace {

// 19 layers of 50 m, vs from 300 to 1380 m/s, over an 1800 m/s half-space.
Model gradient_over_half_space() {
    std::vector<Layer> layers;
    for (double vs = 300.0; vs < 1381.0; vs += 60.0) layers.push_back({50.0, 1.8 * vs, vs, 1800.0 + vs / 2.0});
    layers.push_back({0.0, 1.8 * 1800.0, 1800.0, 2700.0});
    return Model(layers);
}

std::vector<double> love_modes(const Model& m, const Frequencies& f, int partitions, std::size_t k) {
    SearchOptions o;
    o.rayleigh = false;
    o.partitions = partitions;
    return find_modes(m, f, o).love.phase_velocity[k];
}

TEST(ModesBelowCutoff, FoundAsOnAScanAHundredTimesFiner) {
    const Model m = gradient_over_half_space();
    const double step = 8.0 * std::atan(1.0) / (512 * 0.02);
    // Grid entries 30 .. 33: at 3.22 Hz a mode 0.003 m/s below the cutoff, reached by the
    // step that the search takes where the previous frequency had no such mode.
    const std::vector<double> grid = love_modes(m, Frequencies::regular(step, 30, 33), 200, 3);
    const std::vector<double> fine = love_modes(m, Frequencies::hertz({step * 33 / (8.0 * std::atan(1.0))}), 20000, 0);
    ASSERT_EQ(grid.size(), fine.size());
    EXPECT_GT(grid.back(), 1799.99);
    EXPECT_LT(grid.back(), 1800.0);
    for (std::size_t i = 0; i < grid.size(); ++i) EXPECT_NEAR(grid[i], fine[i], 0.05) << i;
}

}  // namespace
}  // namespace vemlari
