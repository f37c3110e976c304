// The counted search (the default of find_modes) against closed forms, the propagator-matrix
// reference and invariances that any correct count must keep.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

#include "kernels/mode_count.h"
#include "tests/kernels_support.h"
#include "tests/propagator_reference.h"
#include "vemlari/vemlari.h"

namespace vemlari {

using namespace vemlari::detail;
namespace {

using namespace vemlari::testing;
using Ld = long double;

// Bisection of g on [lo, hi] (opposite signs) in long double, until the bracket stops shrinking.
template <class G>
Ld bisect_ld(G g, Ld lo, Ld hi) {
    const bool neg = g(lo) < 0;
    for (int n = 0; n < 200; ++n) {
        const Ld m = 0.5L * (lo + hi);
        if (m <= lo || m >= hi) break;
        ((g(m) < 0) == neg ? lo : hi) = m;
    }
    return 0.5L * (lo + hi);
}

// Love modes of one layer (h, vs1, rho1) over a half-space (vs2, rho2): tan(eta h) = mu2 nu2 /
// (mu1 eta), mode n with eta h in (n pi, n pi + pi / 2), written without poles.
std::vector<double> love_pair_modes(double h, double vs1, double rho1, double vs2, double rho2, double hz) {
    const Ld pi_l = 3.141592653589793238462643383279503L, om = 2 * pi_l * hz;
    const Ld mu1 = Ld(rho1) * vs1 * vs1, mu2 = Ld(rho2) * vs2 * vs2, s1 = 1 / (Ld(vs1) * vs1);
    const auto eta_h = [&](Ld c) { return om * h * std::sqrt(s1 - 1 / (c * c)); };
    const auto c_at = [&](Ld t) { return 1 / std::sqrt(s1 - (t / (om * h)) * (t / (om * h))); };
    const auto g = [&](Ld c) {
        const Ld e = std::sqrt(c * c * s1 - 1), nu = std::sqrt(std::fmax(Ld(0), 1 - c * c / (Ld(vs2) * vs2)));
        return mu1 * e * std::sin(eta_h(c)) - mu2 * nu * std::cos(eta_h(c));
    };
    std::vector<double> modes;
    const Ld top = eta_h(vs2);
    for (int n = 0; n * pi_l < top; ++n) {
        const Ld lo = n == 0 ? Ld(vs1) : c_at(n * pi_l);
        const Ld hi = (n + 0.5L) * pi_l < top ? c_at((n + 0.5L) * pi_l) : Ld(vs2);
        modes.push_back(static_cast<double>(bisect_ld(g, lo, hi)));
    }
    return modes;
}

// Rayleigh velocity of a homogeneous half-space: (2 - x)^2 = 4 sqrt((1 - x vs^2/vp^2)(1 - x)),
// x = c^2 / vs^2, whose only root in (0, 1) lies above 0.5.
double rayleigh_half_space(double vp, double vs) {
    const Ld a2 = (Ld(vs) / vp) * (Ld(vs) / vp);
    const auto f = [&](Ld x) { return (2 - x) * (2 - x) - 4 * std::sqrt((1 - a2 * x) * (1 - x)); };
    const Ld x = bisect_ld(f, 1e-3L, 1.0L);
    return static_cast<double>(vs * std::sqrt(x));
}

// (thickness, vp, vs, density): a slow second layer; a soil with a soft second layer.
Model lvz() {
    return Model({{500, 3000, 1500, 2200}, {500, 2400, 1000, 2000}, {1000, 3500, 2000, 2400}, {0, 5200, 3000, 2600}});
}
Model soil() { return Model({{5, 600, 300, 1800}, {10, 450, 200, 1700}, {20, 800, 400, 1900}, {0, 1800, 800, 2200}}); }

// Every layer in two equal halves, and a layer of the half-space's material above it: the same
// medium.
Model split(const Model& m) {
    std::vector<Layer> v;
    for (std::size_t i = 0; i + 1 < m.size(); ++i) {
        Layer half = m[i];
        half.thickness *= 0.5;
        v.insert(v.end(), {half, half});
    }
    Layer hs = m[m.size() - 1];
    hs.thickness = 0.37 * m[0].thickness;
    v.push_back(hs);
    v.push_back(m[m.size() - 1]);
    return Model(v);
}

TEST(CountedClosedForms, LoveModesOfALayerOverAHalfSpace) {
    EXPECT_NEAR(love_pair_modes(1000, 1000, 2000, 2000, 2500, 0.2)[0], 1752.7376, 1e-4);  // the solver itself
    const Model m({{1000, 2000, 1000, 2000}, {0, 4000, 2000, 2500}});
    const std::vector<double> hz{0.05, 0.2, 0.7, 2.5};
    const Modes r = find_modes(m, Frequencies::hertz(hz));
    for (std::size_t k = 0; k < hz.size(); ++k) {
        const auto want = love_pair_modes(1000, 1000, 2000, 2000, 2500, hz[k]);
        ASSERT_EQ(r.love.phase_velocity[k].size(), want.size()) << hz[k] << " Hz";
        for (std::size_t n = 0; n < want.size(); ++n)
            EXPECT_NEAR(r.love.phase_velocity[k][n] / want[n], 1.0, 1e-12) << hz[k] << " Hz mode " << n;
    }
    EXPECT_EQ(r.love.phase_velocity.back().size(), 5u);
}

TEST(CountedClosedForms, RayleighVelocityOfAHalfSpaceAloneAndUnderItsOwnMaterial) {
    // Poisson solid: c^2 = (2 - 2 / sqrt 3) vs^2, a check of the bisection above.
    EXPECT_NEAR(rayleigh_half_space(std::sqrt(3.0) * 1000, 1000), 1000 * std::sqrt(2 - 2 / std::sqrt(3.0)), 1e-9);
    const std::vector<double> hz{0.05, 1.0, 20.0};
    for (const Layer& l : {Layer{0, 4000, 2000, 2500}, Layer{0, 5200, 3000, 2600}, Layer{0, 1200, 1000, 1800}}) {
        const double cr = rayleigh_half_space(l.vp, l.vs);
        const Modes alone = find_modes(Model({l}), Frequencies::hertz({1.0}));
        ASSERT_EQ(alone.rayleigh.phase_velocity[0].size(), 1u);
        EXPECT_NEAR(alone.rayleigh.phase_velocity[0][0] / cr, 1.0, 1e-12) << "lone half-space, vs " << l.vs;
        Layer top = l;
        top.thickness = 700;
        const Modes layered = find_modes(Model({top, l}), Frequencies::hertz(hz));
        for (std::size_t k = 0; k < hz.size(); ++k) {
            ASSERT_EQ(layered.rayleigh.phase_velocity[k].size(), 1u) << l.vs << " " << hz[k] << " Hz";
            EXPECT_NEAR(layered.rayleigh.phase_velocity[k][0] / cr, 1.0, 1e-12) << l.vs << " " << hz[k] << " Hz";
        }
        // At zero frequency: the half-space's Rayleigh velocity.
        const Modes zero = find_modes(Model({top, l}), Frequencies::hertz({0.0, 1.0}));
        EXPECT_NEAR(zero.rayleigh.phase_velocity[0].at(0) / cr, 1.0, 1e-12);
    }
    // At 1e8 Hz the first Love modes lie within a rounding error of the layer's S velocity:
    // found there, on the propagating side, with finite properties.
    SearchOptions three;
    three.highest_mode = 2;
    const Model pair({{1000, 1800, 1000, 2000}, {0, 3500, 2000, 2500}});
    const Modes crowded = find_modes(pair, Frequencies::hertz({1e8}), three);
    ASSERT_EQ(crowded.love.phase_velocity[0].size(), 3u);
    EXPECT_EQ(crowded.love.phase_velocity[0][0], std::nextafter(1000.0, 2000.0));
    EXPECT_TRUE(std::isfinite(mode_properties(pair, crowded).love.modes[0][0].group_velocity));
    // And no Love wave, though a slow layer traps one at every frequency above zero.
    const Modes zero =
        find_modes(Model({{1000, 1800, 1000, 2000}, {0, 3500, 2000, 2500}}), Frequencies::hertz({0.0, 0.01}));
    EXPECT_TRUE(zero.love.phase_velocity[0].empty());
    EXPECT_EQ(zero.love.phase_velocity[1].size(), 1u);
}

// A top layer as slow as the half-space (the same material, or only vp and density differ) traps
// no Love wave: no mode below the half-space's S velocity, not even a rounding error below it.
TEST(CountedClosedForms, NoLoveModeUnderALayerOfTheHalfSpacesSVelocity) {
    const Layer hs{0, 5200, 3000, 2600};
    for (const Layer& top : {Layer{700, 5200, 3000, 2600}, Layer{700, 4000, 3000, 2000}}) {
        const std::vector<double> hz{0.05, 1.0, 20.0};
        const Modes r = find_modes(Model({top, hs}), Frequencies::hertz(hz));
        for (std::size_t k = 0; k < hz.size(); ++k) {
            const auto& c = r.love.phase_velocity[k];
            EXPECT_TRUE(c.empty()) << "top vp " << top.vp << ", " << hz[k] << " Hz: " << c.size()
                                   << " modes, the last at " << (c.empty() ? 0.0 : c.back());
        }
    }
}

// Roots of the reference on a grid of `step` m/s over [lo, top]; every mode found must be one
// of them, each root found once.
void expect_reference_roots(const Model& model, Wave wave, const std::vector<double>& hz, double lo, double step) {
    const Nstrc s = nstrc_of(model);
    const double top = s.vs[static_cast<std::size_t>(s.nl)];
    const Modes r = find_modes(model, Frequencies::hertz(hz));
    const auto ref = wave == Wave::love ? love_reference : rayleigh_reference;
    const char* what = wave == Wave::love ? "Love" : "Rayleigh";
    for (std::size_t k = 0; k < hz.size(); ++k) {
        const double om = 2 * pi * hz[k];
        const auto roots = sign_zeros([&](double c) { return ref(s, om, c); }, lo, top, step);
        const auto& modes = r[wave].phase_velocity[k];
        EXPECT_EQ(modes.size(), roots.size()) << what << " " << hz[k] << " Hz";
        for (std::size_t i = 0; i < std::min(modes.size(), roots.size()); ++i)
            EXPECT_NEAR(modes[i] / roots[i], 1.0, 1e-11) << what << " " << hz[k] << " Hz mode " << i;
    }
}

TEST(CountedAgainstReference, VelocityInversionsEveryRootOnceAndNothingElse) {
    expect_reference_roots(lvz(), Wave::love, {0.5, 2.0, 4.5}, 1000, 0.25);
    expect_reference_roots(lvz(), Wave::rayleigh, {0.5, 2.0, 4.5}, 0.9 * rayleigh_half_space(2400, 1000), 0.25);
    expect_reference_roots(soil(), Wave::love, {4.0, 12.0, 30.0}, 200, 0.05);
    expect_reference_roots(soil(), Wave::rayleigh, {4.0, 12.0, 30.0}, 0.9 * rayleigh_half_space(450, 200), 0.05);
    // S velocities within a factor 2: the Rayleigh search without its guard grid.
    const Model mild({{400, 3000, 1700, 2200}, {600, 2500, 1300, 2000}, {0, 4000, 2400, 2500}});
    expect_reference_roots(mild, Wave::rayleigh, {1.0, 3.0, 6.0}, 0.9 * rayleigh_half_space(2500, 1300), 0.2);
}

TEST(CountedAgainstReference, ClosePairAndBackwardPair) {
    // Two slow layers 350 m apart: two Love modes 0.18 m/s apart.
    const Layer fast{300, 3500, 2000, 2200}, slow{50, 1800, 1000, 2000};
    const Model pair({fast, slow, fast, slow, fast, {0, 4300, 2500, 2400}});
    const auto love = find_modes(pair, Frequencies::hertz({10.0})).love.phase_velocity[0];
    ASSERT_EQ(love.size(), 8u);
    int close = 0;
    for (double c : love) close += std::fabs(c - 1525.316) < 1e-3 || std::fabs(c - 1525.496) < 1e-3;
    EXPECT_EQ(close, 2);
    // A soft layer on a stiff half-space: Rayleigh modes of negative group velocity, which the
    // signed count sees only in pairs.
    const Model plate({{10, 400, 100, 1800}, {0, 5400, 3000, 2200}});
    const Modes r = find_modes(plate, Frequencies::hertz({7.0}));
    const std::vector<double> want{102.34, 284.36, 576.62, 2668.26};
    ASSERT_EQ(r.rayleigh.phase_velocity[0].size(), want.size());
    EXPECT_EQ(r.rayleigh.mode[0], (std::vector<int>{0, 1, 2, 3}));
    for (std::size_t i = 0; i < want.size(); ++i) EXPECT_NEAR(r.rayleigh.phase_velocity[0][i], want[i], 1e-2) << i;
    // Each is a sign change of the reference.
    const auto sign_change = [](auto ref, const Model& m, double hz, double c) {
        const Nstrc s = nstrc_of(m);
        return ref(s, 2 * pi * hz, c * (1 - 1e-8)) * ref(s, 2 * pi * hz, c * (1 + 1e-8)) < 0;
    };
    for (double c : r.rayleigh.phase_velocity[0]) EXPECT_TRUE(sign_change(rayleigh_reference, plate, 7.0, c)) << c;
    for (double c : love) EXPECT_TRUE(sign_change(love_reference, pair, 10.0, c)) << c;
}

TEST(CountedInvariance, SplittingALayerChangesNeitherCountNorModes) {
    for (const Model& m : {lvz(), soil()}) {
        const Model two = split(m);
        const Nstrc s = nstrc_of(m), s2 = nstrc_of(two);
        CountWork w(s), w2(s2);
        double lo = 0.8 * s.vs[1];
        for (int l = 2; l <= s.nl; ++l) lo = std::fmin(lo, 0.8 * s.vs[static_cast<std::size_t>(l)]);
        const double top = s.vs[static_cast<std::size_t>(s.nl)];
        // From kh ~ 1e-3 (every layer thin) to many wavelengths per layer.
        const double kh_thin = 1e-3 / (s.thk[1] / top);
        for (double om : {kh_thin, 30 * kh_thin, 1000 * kh_thin, 3e4 * kh_thin}) {
            int modes = 0, differ = 0;
            double first = 0.0;
            for (int j = 0; j < 3000; ++j) {
                const double c = lo + (top - lo) * (j + 0.618034) / 3000, wn = om / c;
                const int nl = love_count(om, wn, s, w), nr = rayleigh_count(om, wn, s, w);
                if (love_count(om, wn, s2, w2) != nl || rayleigh_count(om, wn, s2, w2) != nr) {
                    if (differ++ == 0) first = c;
                }
                modes += nl + nr;
            }
            EXPECT_EQ(differ, 0) << "om " << om << " first at c " << first;
            if (om > kh_thin) {
                EXPECT_GT(modes, 0) << om;
            }
        }
        const std::vector<double> hz{0.02 * s.vs[1] / s.thk[1], 0.3 * s.vs[1] / s.thk[1], 2 * s.vs[1] / s.thk[1]};
        const Modes a = find_modes(m, Frequencies::hertz(hz)), b = find_modes(two, Frequencies::hertz(hz));
        for (Wave wave : {Wave::love, Wave::rayleigh})
            for (std::size_t k = 0; k < hz.size(); ++k) {
                const auto &ca = a[wave].phase_velocity[k], &cb = b[wave].phase_velocity[k];
                ASSERT_EQ(ca.size(), cb.size()) << hz[k] << " Hz";
                for (std::size_t i = 0; i < ca.size(); ++i)
                    EXPECT_NEAR(cb[i] / ca[i], 1.0, 1e-13) << hz[k] << " Hz mode " << i;
            }
    }
}

TEST(CountedSearchThreads, BitIdenticalOnOneTwoAndFourThreads) {
    std::vector<double> hz;
    // Blocks of 16 entries are shared among threads: three blocks, the last short.
    for (int j = 0; j < 40; ++j) hz.push_back(0.2 + 0.25 * j);
    const auto bits = [&](int threads) {
        SearchOptions o;
        o.threads = threads;
        const Modes r = find_modes(lvz(), Frequencies::hertz(hz), o);
        std::vector<std::uint64_t> v;
        for (const WaveModes* w : {&r.love, &r.rayleigh})
            for (std::size_t k = 0; k < hz.size(); ++k) {
                v.push_back(static_cast<std::uint64_t>(w->count[k]));
                for (double c : w->phase_velocity[k]) v.push_back(std::bit_cast<std::uint64_t>(c));
                for (int x : w->found_at[k]) v.push_back(static_cast<std::uint64_t>(x));
                for (int x : w->mode[k]) v.push_back(static_cast<std::uint64_t>(x));
            }
        return v;
    };
    const auto one = bits(1);
    EXPECT_EQ(bits(2), one);
    EXPECT_EQ(bits(4), one);
}

TEST(CountedModeSet, ModeThreeAloneIsTheFullSearchsModeThree) {
    for (const auto& [m, hz] : {std::pair{lvz(), std::vector<double>{0.3, 1.0, 3.0}},
                                std::pair{soil(), std::vector<double>{3.0, 10.0, 30.0}}}) {
        SearchOptions o;
        o.mode_set = {3};
        const Modes full = find_modes(m, Frequencies::hertz(hz)), one = find_modes(m, Frequencies::hertz(hz), o);
        for (Wave wave : {Wave::love, Wave::rayleigh})
            for (std::size_t k = 0; k < hz.size(); ++k) {
                const auto& all = full[wave].phase_velocity[k];
                if (all.size() < 4) {
                    EXPECT_TRUE(one[wave].phase_velocity[k].empty());
                    continue;
                }
                EXPECT_EQ(one[wave].mode[k], std::vector<int>{3});
                ASSERT_EQ(one[wave].phase_velocity[k].size(), 1u);
                EXPECT_NEAR(one[wave].phase_velocity[k][0] / all[3], 1.0, 1e-13) << hz[k] << " Hz";
            }
    }
}

}  // namespace
}  // namespace vemlari
