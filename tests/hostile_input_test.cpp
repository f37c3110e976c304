// Input at the edges of what the library can evaluate: refused with Error where it cannot
// be evaluated, finite values wherever it is accepted; modes handed to a model they do not
// belong to; thread counts far beyond the cores.
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
const std::vector<Layer> crust = {
    {2000, 4500, 2600, 2500}, {13000, 6000, 3500, 2700}, {15000, 6600, 3800, 2900}, {0, 8000, 4500, 3300}};
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

SearchOptions modes_up_to(int highest) {
    SearchOptions o;
    o.highest_mode = highest;
    return o;
}

// Every property and phase-velocity kernel of every mode finite, and the group-velocity
// kernels wherever they are defined; `defined` asks that they are everywhere.
::testing::AssertionResult finite(const Model& model, const Modes& m, bool defined) {
    const Properties p = mode_properties(model, m);
    const Kernels k = sensitivity_kernels(model, m);
    for (Wave w : {Wave::love, Wave::rayleigh})
        for (std::size_t i = 0; i < m.frequencies.size(); ++i)
            for (std::size_t md = 0; md < m[w].phase_velocity[i].size(); ++md) {
                const ModeProperties& q = p[w].modes[i][md];
                const ModeKernels& x = k[w].modes[i][md];
                bool ok = std::isfinite(q.group_velocity) && std::isfinite(q.energy_integral) &&
                          std::isfinite(q.response) && (w == Wave::love || std::isfinite(q.ellipticity)) &&
                          std::isfinite(x.inverse_q) && (x.du_defined || !defined);
                for (const auto* v : {&x.dc_dvs, &x.dc_dvp, &x.dc_drho, &x.dc_dh})
                    for (double d : *v) ok = ok && std::isfinite(d);
                if (x.du_defined)
                    for (const auto* v : {&x.du_dvs, &x.du_dvp, &x.du_drho})
                        for (double d : *v) ok = ok && std::isfinite(d);
                const double depths[] = {0.0, 10.0, 1e4, 1e9};
                const Eigenfunctions e = eigenfunctions(model, m, w, i, static_cast<int>(md), depths);
                for (const auto* v : {&e.displacement, &e.stress, &e.horizontal, &e.vertical, &e.shear, &e.normal})
                    for (double d : *v) ok = ok && std::isfinite(d);
                if (!ok)
                    return ::testing::AssertionFailure()
                           << (w == Wave::love ? "Love" : "Rayleigh") << " mode " << md << " at "
                           << m.frequencies.frequency(i) << " Hz, c " << m[w].phase_velocity[i][md];
            }
    return ::testing::AssertionSuccess();
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
        {changed(two_layer, [](auto& l) { l[0].vs = 0.1, l[0].vp = 0.2; }), 1, "vs"},  // 2e4 slower
        {changed(two_layer, [](auto& l) { l[1].density = 2.5e9; }), 1, "density"},     // 1.25e6 lighter
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
    EXPECT_EQ(refusal([&] {
                  find_modes(model, Frequencies::hertz({0.0, 2.0 * limits.lowest}));
              }).rule(),
              R::frequencies);

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

TEST(HostileInput, ModelsAtTheBoundsGiveFiniteValuesAtTheirLimits) {
    const std::vector<std::vector<Layer>> models = {
        two_layer,
        // The slowest, lightest, thinnest and the fastest, heaviest, thickest a model may be.
        {{1e-300, 2e-3, 1e-3, 1e-12}, {1, 6e-3, 3e-3, 1e-6}, {0, 10, 10 / 1.5, 1e-6}},
        {{max_thickness, 1e8, 1e5, 1e12}, {max_thickness, 6e5, 3e5, 1e12}, {0, max_velocity, 5e8, 1e12}},
        {{1, 1e3, 1, 1}, {1, 6, 3, 2}, {0, 2e4, 1e4, 1e6}},
    };
    for (const std::vector<Layer>& layers : models) {
        const Model model(layers);
        const FrequencyLimits limits = frequency_limits(model);
        const double middle = std::sqrt(limits.lowest) * std::sqrt(limits.highest);
        const Modes low = find_modes(model, Frequencies::hertz({limits.lowest, 1e3 * limits.lowest}), modes_up_to(2));
        EXPECT_TRUE(finite(model, low, true)) << "layer 1 vs " << layers[0].vs;
        // Near the highest frequencies the higher modes lie closer together than double
        // precision tells apart: their group-velocity kernels may be undefined.
        const Modes high = find_modes(model, Frequencies::hertz({middle, limits.highest}), modes_up_to(2));
        EXPECT_TRUE(finite(model, high, false)) << "layer 1 vs " << layers[0].vs;
    }
}

// The counted search may take a mode's root at an interface where the secular function has
// a pole, not a zero (a mode of the layers above, evanescent below); a mode may stay within
// rounding of a layer's S velocity, where it cannot be followed in frequency.
TEST(HostileInput, EveryModeHasFiniteKernelsWhereverItWasFound) {
    const Model c(crust);
    const Modes m = find_modes(c, Frequencies::hertz({4.8482357, 11.9462432}));
    int deeper = 0;
    for (Wave w : {Wave::love, Wave::rayleigh})
        for (const std::vector<int>& row : m[w].found_at)
            for (int at : row) deeper += at > 1;
    EXPECT_GT(deeper, 0);
    EXPECT_TRUE(finite(c, m, true));

    const Model t(two_layer);
    const Modes slow = find_modes(t, Frequencies::hertz({1e-12, 1e-9}), modes_up_to(0));
    EXPECT_TRUE(finite(t, slow, true));
    // The half-space's S wave, to double precision.
    const ModeKernels k = sensitivity_kernels(t, slow).love.modes[1][0];
    EXPECT_NEAR(k.du_dvs[1], 1.0, 1e-12);
    EXPECT_NEAR(k.du_dvs[0], 0.0, 1e-12);
    EXPECT_TRUE(finite(t, find_modes(t, Frequencies::hertz({1e5, 1e6}), modes_up_to(2)), true));
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
        [](Modes& x) {
            x.frequencies = Frequencies::hertz({0.5, 1e300});
        },
    };
    for (std::size_t i = 0; i < broken.size(); ++i) {
        Modes x = m;
        broken[i](x);
        EXPECT_EQ(refusal([&] { mode_properties(slow, x); }).rule(),
                  i + 1 < broken.size() ? R::request : R::frequencies)
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

TEST(HostileInput, ThreadCountsFarBeyondTheCoresGiveTheSameResults) {
    const Model model(slow_layer);
    const Frequencies f = Frequencies::hertz({0.5, 1.0, 2.0, 4.0});
    SearchOptions many;
    many.threads = 100000;
    for (SearchMethod method : {SearchMethod::counted, SearchMethod::scan}) {
        SearchOptions one;
        one.method = many.method = method;
        const Modes a = find_modes(model, f, one), b = find_modes(model, f, many);
        EXPECT_EQ(a.love.phase_velocity, b.love.phase_velocity);
        EXPECT_EQ(a.rayleigh.phase_velocity, b.rayleigh.phase_velocity);
        EXPECT_EQ(mode_properties(model, a).rayleigh.modes[3][1].group_velocity,
                  mode_properties(model, b, INT_MAX).rayleigh.modes[3][1].group_velocity);
        EXPECT_EQ(sensitivity_kernels(model, a).love.modes[2][0].du_dvs,
                  sensitivity_kernels(model, b, 100000).love.modes[2][0].du_dvs);
    }
}

}  // namespace
}  // namespace vemlari
