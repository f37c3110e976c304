// Input at the edges of what the library can evaluate: refused with Error where it cannot
// be evaluated; modes handed to a model they do not belong to.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <functional>
#include <vector>

#include "vemlari/vemlari.h"

namespace vemlari {
namespace {

using R = Error::Rule;

const std::vector<Layer> two_layer = {{1000, 1800, 1000, 2000}, {0, 3500, 2000, 2500}};
// A 1000 m/s layer under a 1500 m/s one: modes trapped at its top.
const std::vector<Layer> slow_layer = {
    {500, 3000, 1500, 2200}, {500, 2400, 1000, 2000}, {1000, 3500, 2000, 2400}, {0, 5200, 3000, 2600}};

// The Error a call throws; a failure when it throws none.
Error refusal(const std::function<void()>& call) {
    try {
        call();
    } catch (const Error& e) {
        return e;
    }
    ADD_FAILURE() << "accepted";
    return Error(R::no_layers, "accepted");
}

TEST(HostileInput, ValuesTheComputationCannotEvaluateAreRefused) {
    auto changed = [](std::vector<Layer> layers, const std::function<void(std::vector<Layer>&)>& change) {
        change(layers);
        return layers;
    };
    struct Case {
        std::vector<Layer> layers;
        int layer;
        const char* quantity;
    };
    const Case cases[] = {
        {changed(two_layer, [](auto& l) { l[0].thickness = 1e308; }), 1, "thickness"},
        {changed(two_layer, [](auto& l) { l[1].vp = 1e308; }), 2, "vp"},
        {changed(two_layer, [](auto& l) { l[0].density = 5e-324; }), 1, "density"},
        {changed(two_layer, [](auto& l) { l[0].vp = 1.5e6; }), 1, "vp"},  // 1500 vs
        {changed(two_layer, [](auto& l) { l[0].qs = 1e-300; }), 1, "qs"},
        {changed(two_layer, [](auto& l) { l[0].vs = 0.1, l[0].vp = 0.2; }), 1, "vs"},     // 2e4 slower
        {changed(two_layer, [](auto& l) { l[1].density = 2.5e9; }), 1, "density"},  // 1.25e6 lighter
    };
    for (const Case& c : cases) {
        const Error e = refusal([&] { Model{c.layers}; });
        EXPECT_TRUE(e.rule() == R::out_of_range && e.layer() == c.layer && e.quantity() == c.quantity) << e.what();
    }
    EXPECT_EQ(refusal([] { Frequencies::regular(1e308, 0, 5); }).rule(), R::frequencies);
    // Refused before a single entry is made.
    EXPECT_EQ(refusal([] { Frequencies::regular(0.1, 0, INT_MAX); }).rule(), R::frequencies);
    EXPECT_EQ(refusal([] { Frequencies::hertz({1e308}); }).rule(), R::frequencies);

    const Model model(two_layer);
    const FrequencyLimits limits = frequency_limits(model);
    SearchOptions scan;
    scan.method = SearchMethod::scan;
    for (const SearchOptions& o : {SearchOptions{}, scan})
        for (double f : {1e-300, 0.5 * limits.lowest, 2.0 * limits.highest, 1e300})
            EXPECT_EQ(refusal([&] { find_modes(model, Frequencies::hertz({f}), o); }).rule(), R::frequencies) << f;
    // A zero frequency's properties are computed at a thousandth of the next one.
    EXPECT_EQ(refusal([&] { find_modes(model, Frequencies::hertz({0.0, 2.0 * limits.lowest})); }).rule(), R::frequencies);

    const double c[] = {1500.0}, too_fast[] = {1e308}, too_slow[] = {1e-300};
    EXPECT_EQ(refusal([&] { secular_function(model, Wave::rayleigh, 1.0, too_fast); }).rule(), R::request);
    EXPECT_EQ(refusal([&] { secular_function(model, Wave::love, 1.0, too_slow); }).rule(), R::request);
    EXPECT_EQ(refusal([&] { secular_function(model, Wave::rayleigh, 1e300, c); }).rule(), R::frequencies);
    for (double f : {limits.lowest, 1.0, limits.highest})
        for (double v : {min_velocity, 1500.0, max_velocity})
            for (Wave w : {Wave::love, Wave::rayleigh}) {
                const double at[] = {v};
                const std::complex<double> s = secular_function(model, w, f, at)[0];
                EXPECT_TRUE(std::isfinite(s.real()) && std::isfinite(s.imag())) << f << " Hz, " << v << " m/s";
            }
}

TEST(HostileInput, ModesOfAnotherModelAreRefused) {
    const Model two(two_layer), slow(slow_layer);
    const Frequencies f = Frequencies::hertz({0.5, 2.0});
    const Modes m = find_modes(slow, f);
    std::vector<Layer> faster = slow_layer;
    faster[1].vs = 1600;  // the same number of layers, no slow layer
    const double z[] = {0.0, 100.0};
    for (const Model& other : {two, Model(faster)}) {
        EXPECT_EQ(refusal([&] { mode_properties(other, m); }).rule(), R::request);
        EXPECT_EQ(refusal([&] { sensitivity_kernels(other, m); }).rule(), R::request);
        EXPECT_EQ(refusal([&] { eigenfunctions(other, m, Wave::love, 0, 0, z); }).rule(), R::request);
    }
    // Quality factors change no mode.
    std::vector<Layer> lossy = slow_layer;
    lossy[0].qs = 20;
    EXPECT_NO_THROW(sensitivity_kernels(Model(lossy), m));

    const std::vector<std::function<void(Modes&)>> broken = {
        [](Modes& x) { x.rayleigh.found_at[1][0] = 7; },
        [](Modes& x) { x.love.found_at[0][0] = -1; },
        [](Modes& x) { x.love.found_at[1].pop_back(); },
        [](Modes& x) { x.rayleigh.phase_velocity.pop_back(); },
        [](Modes& x) { x.love.phase_velocity[0][0] = NAN; },
        [](Modes& x) { x.rayleigh.phase_velocity[1][0] = 1e-300; },
        [](Modes& x) { x.frequencies = Frequencies::hertz({0.5, 1e300}); },
    };
    for (std::size_t i = 0; i < broken.size(); ++i) {
        Modes x = m;
        broken[i](x);
        EXPECT_EQ(refusal([&] { mode_properties(slow, x); }).rule(), i + 1 < broken.size() ? R::request : R::frequencies)
            << i;
        EXPECT_ANY_THROW(sensitivity_kernels(slow, x)) << i;
        EXPECT_ANY_THROW(eigenfunctions(slow, x, Wave::rayleigh, 1, 0, z)) << i;
    }
    // Modes built by hand, as the interactive program builds them from its tables, carry no
    // fingerprint: only their tables are checked.
    Modes by_hand{f, {}, {}, {}};
    by_hand.love = m.love;
    by_hand.rayleigh = m.rayleigh;
    EXPECT_EQ(mode_properties(slow, by_hand).rayleigh.modes[1][0].group_velocity,
              mode_properties(slow, m).rayleigh.modes[1][0].group_velocity);
}

}  // namespace
}  // namespace vemlari
