// The library's calls against the program's records of the bundled examples, its refusals,
// and what must hold whatever the implementation: a search cut at a mode is a prefix of the
// full one, threads change nothing, eigenfunctions meet the boundary conditions and the
// secular function vanishes at the modes.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <span>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "tests/run_helpers.h"
#include "vemlari/vemlari.h"

namespace vemlari {
namespace {

using namespace vemlari::testing;

const double nan = std::numeric_limits<double>::quiet_NaN();
const double inf = std::numeric_limits<double>::infinity();

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> v;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);) v.push_back(l);
    return v;
}

// Numbers separated by blanks or commas; empty fields are skipped.
std::vector<double> numbers(std::string text) {
    for (char& ch : text)
        if (ch == ',') ch = ' ';
    std::istringstream in(text);
    std::vector<double> v;
    for (double x; in >> x;) v.push_back(x);
    return v;
}

std::string golden_text(const std::string& tag, const std::string& file) {
    return read_file(std::filesystem::path(VEMLARI_SOURCE_DIR) / "tests/golden" / tag / file);
}
std::vector<double> golden(const std::string& tag, const std::string& f) { return numbers(golden_text(tag, f)); }

// An example as the program reads it from the model file and the dialogue answers: the
// regular grid of entries 0 .. nom spaced dom (rad/s) and the search options.
struct Example {
    std::vector<Layer> layers;
    double dom = 0.0;
    int nom = 0;
    SearchOptions options;
    Model model() const { return Model(layers); }
};

Example example(const std::string& tag) {
    const auto csv = lines_of(read_file(examples_dir() / (tag + ".csv")));
    const auto answers = lines_of(read_file(examples_dir() / (tag + ".answers")));
    Example e;
    const std::vector<double> sampling = numbers(csv.at(2));
    const double duration = static_cast<int>(sampling.at(1)) * sampling.at(0);
    e.dom = 8.0 * std::atan(1.0) / duration;
    e.nom = static_cast<int>(duration / numbers(csv.at(4)).at(0));
    const int nl = static_cast<int>(numbers(csv.at(7)).at(0));
    for (int i = 0; i < nl; ++i) {
        // layer, density, vp, qp, fp, vs, qs, fs, thickness
        const std::vector<double> v = numbers(csv.at(9 + static_cast<std::size_t>(i)));
        e.layers.push_back({v.at(8), v.at(2), v.at(5), v.at(1), v.at(3), v.at(6), v.at(4), v.at(7)});
    }
    EXPECT_EQ(answers.at(1), "0") << tag << ": not a normal run";
    e.options.method = SearchMethod::scan;
    e.options.tolerance = numbers(answers.at(2)).at(0);
    e.options.max_iterations = static_cast<int>(numbers(answers.at(3)).at(0));
    if (nl > 1) e.options.partitions = static_cast<int>(numbers(answers.at(4)).at(0));
    return e;
}

// Agreement to half a unit of the last of `digits` significant digits of the record.
::testing::AssertionResult as_written(double x, double record, int digits) {
    if (record == 0.0
            ? x == 0.0
            : std::fabs(x - record) <= 0.5001 * std::pow(10.0, std::floor(std::log10(std::fabs(record))) + 1 - digits))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << x << " is not " << record << " to " << digits << " digits";
}

bool same(double a, double b) { return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b); }

TEST(ApiExamples, ModesGroupVelocitiesAndHoverVAreThoseTheProgramWrote) {
    for (const std::string tag : {"crust", "low_velocity", "soil", "two_layer", "halfspace"}) {
        SCOPED_TRACE(tag);
        const Example e = example(tag);
        const Model model = e.model();
        SearchOptions o = e.options;
        o.threads = 2;
        const Modes m = find_modes(model, Frequencies::regular(e.dom, 0, e.nom), o);
        const Properties p = mode_properties(model, m, 2);
        const std::size_t n = m.frequencies.size();
        ASSERT_EQ(golden(tag, "mdl_dat").size(), n);
        for (const Wave w : {Wave::love, Wave::rayleigh}) {
            const bool love = w == Wave::love;
            SCOPED_TRACE(love ? "Love" : "Rayleigh");
            const std::vector<double> md = golden(tag, love ? "mdl_dat" : "mdr_dat");
            const std::vector<double> c = golden(tag, love ? "phsl1_dat" : "phsr1_dat");
            const std::vector<double> u = golden(tag, love ? "grpl_dat" : "grpr_dat");
            if (love && model.size() == 1) {
                // No Love mode on a lone half-space; the program writes one of velocity 0.
                EXPECT_FALSE(m.love.searched);
                for (std::size_t k = 0; k < n; ++k)
                    EXPECT_TRUE(m.love.phase_velocity[k].empty() && md[k] == 0 && c[k] == 0.0 && u[k] == 0.0);
                continue;
            }
            std::size_t at = 0;
            const auto modes_at_last = static_cast<std::size_t>(md[n - 1] + 1);
            ASSERT_EQ(u.size(), modes_at_last * n);
            for (std::size_t k = 0; k < n; ++k) {
                const std::vector<double>& row = m[w].phase_velocity[k];
                ASSERT_EQ(static_cast<double>(row.size()), md[k] + 1) << "frequency " << k;
                ASSERT_EQ(m[w].count[k], static_cast<int>(row.size()));
                for (std::size_t j = 0; j < row.size(); ++j) {
                    EXPECT_TRUE(as_written(row[j], c.at(at++), 7)) << "frequency " << k << " mode " << j;
                    if (j >= modes_at_last) continue;
                    EXPECT_TRUE(as_written(p[w].modes[k][j].group_velocity, u[j * n + k], 7))
                        << "group velocity, frequency " << k << " mode " << j;
                }
            }
            EXPECT_EQ(at, c.size());
        }
        const auto hv = lines_of(golden_text(tag, "HoverV.csv"));
        ASSERT_EQ(hv.size(), n + 1);
        const double mdr_last = golden(tag, "mdr_dat").back();
        for (std::size_t k = 0; k < n; ++k) {
            const std::vector<double> row = numbers(hv[k + 1]);
            ASSERT_EQ(static_cast<double>(row.size()), mdr_last + 2) << "H/V row " << k;
            for (std::size_t j = 0; j < p.rayleigh.modes[k].size() && j + 1 < row.size(); ++j)
                EXPECT_TRUE(as_written(p.rayleigh.modes[k][j].ellipticity, row[j + 1], 4)) << k << " " << j;
        }
    }
}

// Signed H/V of the fundamental mode of 30 m of soil over bedrock: retrograde at both ends,
// prograde between its two sign changes (values from an independent computation, whose
// phase velocities are good to about 1e-6). |H/V| is the ellipticity itself.
TEST(ApiEllipticity, SignedHoverVIsPositiveWhereTheMotionIsRetrograde) {
    const Model model({{30, 500, 200, 1800}, {0, 2000, 1000, 2200}});
    const std::vector<double> hz = {0.5, 1, 1.5, 1.8, 2, 2.5, 3, 4, 6, 10, 20};
    const std::vector<double> other = {0.837076258695, 1.3453046301,   4.90023209688,   -8.80919922677,
                                       -4.14435038659, -1.68915021816, -0.389684418286, 0.504247643132,
                                       0.584910306719, 0.598954676103, 0.599799841893};
    SearchOptions o;
    o.love = false;
    o.highest_mode = 0;
    const Modes m = find_modes(model, Frequencies::hertz(hz), o);
    const Properties p = mode_properties(model, m);
    for (std::size_t k = 0; k < hz.size(); ++k) {
        const ModeProperties& q = p.rayleigh.modes[k][0];
        EXPECT_NEAR(q.ellipticity_signed, other[k], 3e-5 * std::fabs(other[k])) << hz[k] << " Hz";
        EXPECT_EQ(std::fabs(q.ellipticity_signed), q.ellipticity);
    }
}

// The Error a call throws; a failure when it throws none.
template <class Call>
Error refusal(Call call) {
    try {
        call();
    } catch (const Error& e) {
        return e;
    }
    ADD_FAILURE() << "accepted";
    return Error(Error::Rule::request, "accepted", -1);
}

TEST(ApiRefusals, EveryModelRuleNamesTheLayerTheQuantityAndTheValue) {
    const std::vector<Layer> base = {{1000, 1800, 1000, 2000, 50, 25, 1, 1},
                                     {2000, 3000, 1500, 2200, 80, 40, 1, 1},
                                     {0, 3500, 2000, 2500, 100, 50, 1, 1}};
    using R = Error::Rule;
    struct Case {
        std::function<void(std::vector<Layer>&)> change;
        R rule;
        int layer;
        std::string quantity;
        double value;
        const char* words;  // in the message after "layer n: quantity = "
    };
    const std::vector<Case> cases = {
        {[](auto& l) { l[1].thickness = nan; }, R::not_finite, 2, "thickness", nan, "nan must be a finite"},
        {[](auto& l) { l[2].thickness = inf; }, R::not_finite, 3, "thickness", inf, "inf must be a finite"},
        {[](auto& l) { l[0].qp = -inf; }, R::not_finite, 1, "qp", -inf, "-inf must be a finite"},
        {[](auto& l) { l[2].fp = nan; }, R::not_finite, 3, "fp", nan, "nan must be a finite"},
        {[](auto& l) { l[1].qs = inf; }, R::not_finite, 2, "qs", inf, "inf must be a finite"},
        {[](auto& l) { l[0].fs = nan; }, R::not_finite, 1, "fs", nan, "nan must be a finite"},
        {[](auto& l) { l[1].vp = inf; }, R::not_finite, 2, "vp", inf, "inf must be a finite"},
        {[](auto& l) { l[0].density = 0; }, R::not_positive, 1, "density", 0, "0 must be a positive"},
        {[](auto& l) { l[2].density = nan; }, R::not_positive, 3, "density", nan, "nan must be a positive"},
        {[](auto& l) { l[1].vs = -1; }, R::not_positive, 2, "vs", -1, "-1 must be a positive"},
        {[](auto& l) { l[1].vp = 1500; }, R::vp_not_above_vs, 2, "vp", 1500, "1500 must exceed the S velocity vs = 15"},
        {[](auto& l) { l[1].vp = 1732; }, R::not_a_solid, 2, "vp", 1732, "1732 must exceed 2/sqrt(3) times"},
        {[](auto& l) { l[1].thickness = -0.5; }, R::negative_thickness, 2, "thickness", -0.5, "-0.5 must not be neg"},
        {[](auto& l) { l[1].vs = 2000.5; }, R::half_space_vs, 2, "vs", 2000.5, "2000.5 exceeds the half-space's"},
        {[](auto& l) { l[0].vp = 3600; }, R::half_space_vp, 1, "vp", 3600, "3600 exceeds the half-space's"},
        // The first rule broken wins: in field order within a layer, layers from the top,
        // the half-space rules last and the S velocity before the P velocity.
        {[](auto& l) { l[1].density = -1, l[1].qs = nan; }, R::not_finite, 2, "qs", nan, "nan"},
        {[](auto& l) { l[0].vs = 2100, l[0].vp = 3000, l[2].density = 0; }, R::not_positive, 3, "density", 0, "0"},
        {[](auto& l) { l[0].vp = 3600, l[1].vs = 2100; }, R::half_space_vs, 2, "vs", 2100, "2100 exceeds"},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        std::vector<Layer> layers = base;
        c.change(layers);
        // The half-space rules are the scan's and the program's, checked on a valid model.
        const Error err = refusal([&] { check_half_space_fastest(Model{layers}); });
        EXPECT_TRUE(err.rule() == c.rule && err.layer() == c.layer && err.quantity() == c.quantity &&
                    (std::isnan(c.value) ? std::isnan(err.value()) : err.value() == c.value))
            << "case " << i << ": " << err.what();
        const std::string head = "layer " + std::to_string(c.layer) + ": " + c.quantity + " = " + c.words;
        EXPECT_EQ(std::string(err.what()).rfind(head, 0), 0u) << "case " << i << ": " << err.what();
    }
    EXPECT_EQ(refusal([] { Model({}); }).rule(), R::no_layers);
    // What the rules allow: a negative half-space thickness (it is not read), a layer of no
    // thickness, and a layer as fast as the half-space.
    std::vector<Layer> allowed = base;
    allowed[2].thickness = -100;
    allowed[0].thickness = 0;
    allowed[1].vs = 2000;
    allowed[1].vp = 3500;
    EXPECT_NO_THROW(Model{allowed});
}

TEST(ApiRefusals, FrequenciesOptionsAndRequests) {
    using R = Error::Rule;
    for (const std::vector<double>& f : {std::vector{0.5, 0.5}, {0.5, 1.0, 0.7}, {-0.1, 1.0}, {0.1, nan}, {0.1, inf}})
        EXPECT_EQ(refusal([&] { Frequencies::hertz(f); }).rule(), R::frequencies) << f[0] << " " << f[1];
    EXPECT_NO_THROW(Frequencies::hertz({}));
    EXPECT_NO_THROW(Frequencies::hertz({0.0, 0.1}));
    const Model model = example("two_layer").model();
    const Frequencies f = Frequencies::hertz({0.5});
    SearchOptions partitions, threads;
    partitions.partitions = 0;
    threads.threads = 0;
    EXPECT_EQ(refusal([&] { find_modes(model, f, partitions); }).rule(), R::option);
    EXPECT_EQ(refusal([&] { find_modes(model, f, threads); }).rule(), R::option);
    const Modes m = find_modes(model, f);
    EXPECT_EQ(refusal([&] { mode_properties(model, m, 0); }).rule(), R::option);
    const double z[] = {0.0}, c[] = {1900.0};
    const int beyond = static_cast<int>(m.love.phase_velocity[0].size());
    EXPECT_EQ(refusal([&] { eigenfunctions(model, m, Wave::love, 0, beyond, z); }).rule(), R::request);
    const Model half_space({{0, 3500, 2000, 2500}});
    EXPECT_EQ(refusal([&] { secular_function(half_space, Wave::rayleigh, 1.0, c); }).rule(), R::request);
}

// Phase velocities (as bits) and the layers that found them of modes 0 .. n - 1, row by row.
std::vector<std::uint64_t> first_modes(const Modes& m, std::size_t n) {
    std::vector<std::uint64_t> v;
    for (const Wave w : {Wave::love, Wave::rayleigh})
        for (std::size_t k = 0; k < m[w].phase_velocity.size(); ++k) {
            v.push_back(~0ull);
            for (std::size_t j = 0; j < std::min(n, m[w].phase_velocity[k].size()); ++j)
                v.insert(v.end(), {std::bit_cast<std::uint64_t>(m[w].phase_velocity[k][j]),
                                   static_cast<std::uint64_t>(m[w].found_at[k][j])});
        }
    return v;
}

TEST(ApiHighestMode, GivesTheFirstModesOfTheFullSearch) {
    for (const std::string tag : {"low_velocity", "crust"}) {
        const Example e = example(tag);
        // Modes at the slow layer's top from entry 81 on; 100 entries keep the test short.
        const Frequencies grid = Frequencies::regular(e.dom, 0, std::min(e.nom, 100));
        SearchOptions o = e.options;
        o.threads = 2;
        const Modes full = find_modes(e.model(), grid, o);
        int deeper = 0;
        for (const auto& row : full.love.found_at) deeper += row.size() > 0 && row[0] != 1;
        EXPECT_TRUE(tag != "low_velocity" || deeper > 0) << "no fundamental mode at the slow layer's top";
        for (const int n : {0, 2, 5}) {
            o.highest_mode = n;
            const Modes cut = find_modes(e.model(), grid, o);
            EXPECT_TRUE(first_modes(cut, 1000) == first_modes(full, n + 1u)) << tag << " " << n;
        }
    }
}

// Everything a call on 20 frequencies over the example's whole band (zero included)
// returns, as bits in one list.
std::vector<std::uint64_t> computed(const std::string& tag, int threads) {
    const Example e = example(tag);
    const Model model = e.model();
    SearchOptions o = e.options;
    o.threads = threads;
    const Modes m = find_modes(model, Frequencies::regular(e.dom * e.nom / 19.0, 0, 19), o);
    const Properties p = mode_properties(model, m, threads);
    std::vector<std::uint64_t> v;
    auto put = [&](double x) { v.push_back(std::bit_cast<std::uint64_t>(x)); };
    for (const Wave w : {Wave::love, Wave::rayleigh})
        for (std::size_t k = 0; k < m[w].phase_velocity.size(); ++k) {
            put(m[w].count[k]);
            put(static_cast<double>(m[w].diagnostics[k].size()));
            for (std::size_t j = 0; j < m[w].phase_velocity[k].size(); ++j) {
                const ModeProperties& q = p[w].modes[k][j];
                for (double x : {m[w].phase_velocity[k][j], double(m[w].found_at[k][j]), q.group_velocity,
                                 q.energy_integral, q.response, q.ellipticity})
                    put(x);
            }
        }
    return v;
}

TEST(ApiThreads, CallsSideBySideGiveWhatCallsInTurnGive) {
    const std::vector<std::string> tags = {"crust", "low_velocity", "soil", "two_layer"};
    std::vector<std::vector<std::uint64_t>> alone, together(tags.size());
    for (const std::string& tag : tags) alone.push_back(computed(tag, 1));
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < tags.size(); ++i) threads.emplace_back([&, i] { together[i] = computed(tags[i], 2); });
    for (std::thread& t : threads) t.join();
    for (std::size_t i = 0; i < tags.size(); ++i) EXPECT_TRUE(alone[i] == together[i]) << tags[i];
}

// The per-frequency report: in order, entries final when reported, and an early end (by
// returning false or by throwing) leaves the call with nothing after it, on one thread or
// with the two waves side by side.
TEST(ApiThreads, EachFrequencyIsReportedInOrderWithItsFinalModes) {
    const Example e = example("crust");
    const Model model = e.model();
    const Frequencies fr = Frequencies::regular(e.dom * e.nom / 11.0, 0, 11);
    const Modes full = find_modes(model, fr, e.options);
    for (int threads : {1, 3}) {
        SearchOptions o = e.options;
        o.threads = threads;
        std::vector<std::size_t> seen;
        o.on_frequency = [&](const Modes& m, std::size_t k) {
            seen.push_back(k);
            for (const Wave w : {Wave::love, Wave::rayleigh})
                EXPECT_EQ(m[w].phase_velocity[k], full[w].phase_velocity[k]);
            return k < 5;
        };
        const Modes part = find_modes(model, fr, o);
        EXPECT_EQ(seen, (std::vector<std::size_t>{0, 1, 2, 3, 4, 5})) << threads;
        EXPECT_EQ(part.searched, 6u);
        EXPECT_EQ(full.searched, 12u);
        o.on_frequency = [](const Modes&, std::size_t k) -> bool {
            if (k == 2) throw std::runtime_error("stop");
            return true;
        };
        EXPECT_THROW(find_modes(model, fr, o), std::runtime_error) << threads;
    }
}

TEST(ApiEigenfunctions, MatchTheProgramsCheckRunRecords) {
    // crust_check: 0.1 Hz, depths 0 .. 60 km in 100 steps.
    Example e = example("crust");
    const Model model = e.model();
    const Modes m = find_modes(model, Frequencies::regular(0.1 * 8.0 * std::atan(1.0), 1, 1), e.options);
    std::vector<double> z;
    for (int i = 0; i <= 100; ++i) z.push_back(600.0 * i);
    const char* files[] = {"vl1_dat", "vl2_dat", "vr1_dat", "vr2_dat", "vr3_dat", "vr4_dat"};
    for (int f = 0; f < 6; ++f) {
        const Wave w = f < 2 ? Wave::love : Wave::rayleigh;
        const std::vector<double> record = golden("crust_check", files[f]);
        ASSERT_EQ(record.size(), z.size() * m[w].phase_velocity[0].size()) << files[f];
        for (std::size_t md = 0; md < m[w].phase_velocity[0].size(); ++md) {
            const Eigenfunctions ef = eigenfunctions(model, m, w, 0, static_cast<int>(md), z);
            const std::vector<double>& got =
                *std::vector{&ef.displacement, &ef.stress, &ef.horizontal, &ef.vertical, &ef.shear, &ef.normal}[f];
            for (std::size_t i = 0; i < z.size(); ++i)
                EXPECT_TRUE(as_written(got[i], record[md * z.size() + i], 7)) << files[f] << " " << md;
        }
    }
}

double largest(const std::vector<double>& v) {
    double a = 0.0;
    for (double x : v) a = std::fmax(a, std::fabs(x));
    return a;
}

TEST(ApiEigenfunctions, FreeSurfaceContinuityAndTheWalkThroughThinLayers) {
    const Model model({{30, 800, 400, 1800},
                       {40, 1000, 500, 1900},
                       {50, 1200, 600, 2000},
                       {60, 1400, 700, 2000},
                       {70, 1600, 800, 2100},
                       {0, 2500, 1200, 2300}});
    // Roots refined far below the usual tolerance, so that the free-surface tractions vanish
    // to many digits.
    SearchOptions o;
    o.tolerance = 1e-9;
    const Modes m = find_modes(model, Frequencies::hertz({5.0}), o);
    ASSERT_GE(m.love.phase_velocity[0].size(), 3u);
    ASSERT_GE(m.rayleigh.phase_velocity[0].size(), 3u);
    std::vector<double> grid, interfaces;
    for (int i = 0; i <= 400; ++i) grid.push_back(i);
    for (double z = 0; const Layer& l : model.layers())
        if (&l != &model.layers().back()) interfaces.push_back(z += l.thickness);
    for (const Wave w : {Wave::love, Wave::rayleigh})
        for (int md = 0; md < static_cast<int>(m[w].phase_velocity[0].size()); ++md) {
            SCOPED_TRACE(std::string(w == Wave::love ? "Love" : "Rayleigh") + " mode " + std::to_string(md));
            const Eigenfunctions all = eigenfunctions(model, m, w, 0, md, grid);
            auto fields = [&](const Eigenfunctions& e) {
                return w == Wave::love ? std::vector{&e.displacement, &e.stress}
                                       : std::vector{&e.horizontal, &e.vertical, &e.shear, &e.normal};
            };
            const auto fa = fields(all);
            // The program's regular grid, finer than every layer, walks the same layers.
            const Eigenfunctions on_grid = grid_eigenfunctions(model, m, w, 0, md, {1.0, 400.0, 401});
            for (std::size_t q = 0; q < fa.size(); ++q)
                for (std::size_t i = 0; i < grid.size(); ++i)
                    ASSERT_TRUE(same((*fields(on_grid)[q])[i], (*fa[q])[i])) << "field " << q << " at " << grid[i];
            // Tractions vanish at the free surface.
            for (std::size_t q = w == Wave::love ? 1 : 2; q < fa.size(); ++q)
                EXPECT_LE(std::fabs((*fa[q])[0]), 1e-7 * largest(*fa[q])) << "traction " << q;
            // Displacements and tractions are continuous: on an interface (the layer above)
            // and just below it (the layer below).
            for (double zi : interfaces) {
                const double pair[] = {zi, std::nextafter(zi, inf)};
                const Eigenfunctions e = eigenfunctions(model, m, w, 0, md, pair);
                const auto fe = fields(e);
                for (std::size_t q = 0; q < fe.size(); ++q)
                    EXPECT_NEAR((*fe[q])[0], (*fe[q])[1], 1e-9 * largest(*fa[q])) << "field " << q << " at " << zi;
            }
            // A depth alone, far below the thin layers or inside one, as in the whole list.
            for (const std::size_t i : {135u, 290u, 400u}) {
                const Eigenfunctions alone = eigenfunctions(model, m, w, 0, md, std::span(&grid[i], 1));
                for (std::size_t q = 0; q < fa.size(); ++q)
                    EXPECT_TRUE(same((*fields(alone)[q])[0], (*fa[q])[i])) << "field " << q << " at " << grid[i];
            }
        }
}

TEST(ApiSecularFunction, VanishesAtTheModesFound) {
    for (const std::string tag : {"crust", "low_velocity"}) {
        const Example e = example(tag);
        const Model model = e.model();
        const Modes m = find_modes(model, Frequencies::regular(e.dom * e.nom / 19.0, 0, 19), e.options);
        double between = 0.0;
        int deeper = 0;
        for (const Wave w : {Wave::love, Wave::rayleigh})
            for (std::size_t k = 1; k < m.frequencies.size(); ++k) {
                const std::vector<double>& c = m[w].phase_velocity[k];
                const double hz = m.frequencies.frequency(k);
                for (std::size_t j = 0; j < c.size(); ++j) {
                    const double one[] = {c[j]};
                    const int top = m[w].found_at[k][j];
                    deeper += top != 1;
                    EXPECT_LT(std::abs(secular_function(model, w, hz, one, top)[0]), e.options.tolerance)
                        << tag << " frequency " << k << " mode " << j << " layer " << top;
                    if (j > 0) {
                        const double mid[] = {(c[j - 1] + c[j]) / 2};
                        between = std::fmax(between, std::abs(secular_function(model, w, hz, mid)[0]));
                    }
                }
            }
        // Not small everywhere: between the modes it is far from its zeros.
        EXPECT_GT(between, 100 * e.options.tolerance) << tag;
        EXPECT_TRUE(tag != "low_velocity" || deeper > 0) << "no mode at the slow layer's top";
    }
}

}  // namespace
}  // namespace vemlari
