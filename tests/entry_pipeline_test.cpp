// The entries of a wave searched side by side, each following the roots of the one before as
// they are found, must give the search one entry after the other bit for bit: the modes,
// every diagnostic and scan point in order, and the overflow stop.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <vector>

#include "vemlari/vemlari.h"

namespace vemlari {
namespace {

// A gradient over a half-space and no slow layer: up to about 15 modes per wave, whose
// entries run side by side.
Model gradient() {
    std::vector<Layer> layers;
    for (int i = 0; i < 8; ++i) {
        const double vs = 1000.0 + 200.0 * i;
        layers.push_back({150.0, 1.8 * vs, vs, 1800.0 + 50.0 * i});
    }
    layers.push_back({0.0, 5400.0, 3000.0, 2400.0});
    return Model(layers);
}

Frequencies band() {
    std::vector<double> f;
    for (int i = 0; i < 40; ++i) f.push_back(0.5 + 0.37 * i);
    return Frequencies::hertz(f);
}

// Everything a wave's search returns, as bits in one list.
std::vector<std::uint64_t> bits(const WaveModes& w) {
    std::vector<std::uint64_t> v{w.searched, w.overflow, w.overflow_at};
    auto put = [&](double x) { v.push_back(std::bit_cast<std::uint64_t>(x)); };
    for (std::size_t k = 0; k < w.phase_velocity.size(); ++k) {
        v.push_back(static_cast<std::uint64_t>(w.count[k]));
        for (double c : w.phase_velocity[k]) put(c);
        for (int top : w.found_at[k]) v.push_back(static_cast<std::uint64_t>(top));
        for (const Diagnostic& d : w.diagnostics[k]) {
            v.push_back(static_cast<std::uint64_t>(d.kind) << 32 | static_cast<std::uint64_t>(d.mode));
            put(d.phase_velocity);
            put(d.wavenumber);
        }
        if (k < w.trace.size())
            for (const TracePoint& p : w.trace[k]) {
                put(p.phase_velocity);
                put(p.value.real());
            }
    }
    return v;
}

TEST(EntryPipeline, ModesTracesAndDiagnosticsAreThoseOfTheSequentialSearch) {
    SearchOptions o;
    o.keep_trace = true;
    const Modes one = find_modes(gradient(), band(), o);
    std::size_t most = 0;
    for (const std::vector<double>& row : one.rayleigh.phase_velocity) most = std::max(most, row.size());
    ASSERT_GE(most, 10u);
    for (int threads : {2, 3, 4}) {
        o.threads = threads;
        const Modes many = find_modes(gradient(), band(), o);
        EXPECT_EQ(many.searched, one.searched);
        EXPECT_TRUE(bits(many.love) == bits(one.love)) << threads;
        EXPECT_TRUE(bits(many.rayleigh) == bits(one.rayleigh)) << threads;
    }
}

TEST(EntryPipeline, OverflowsAndOneWaveSearchesAlike) {
    SearchOptions o;
    o.max_modes = 6;  // reached part-way through the band, by each wave at its own entry
    const Modes one = find_modes(gradient(), band(), o);
    ASSERT_TRUE(one.love.overflow && one.rayleigh.overflow);
    ASSERT_NE(one.love.overflow_at, one.rayleigh.overflow_at);
    SearchOptions rayleigh_only;
    rayleigh_only.love = false;
    const Modes alone = find_modes(gradient(), band(), rayleigh_only);
    for (int threads : {2, 4}) {
        o.threads = rayleigh_only.threads = threads;
        const Modes many = find_modes(gradient(), band(), o);
        EXPECT_TRUE(bits(many.love) == bits(one.love)) << threads;
        EXPECT_TRUE(bits(many.rayleigh) == bits(one.rayleigh)) << threads;
        const Modes both = find_modes(gradient(), band(), rayleigh_only);
        EXPECT_FALSE(both.love.searched);
        EXPECT_TRUE(bits(both.rayleigh) == bits(alone.rayleigh)) << threads;
    }
}

}  // namespace
}  // namespace vemlari
