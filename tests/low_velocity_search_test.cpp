// A model with a slow second layer: the dispersion search finds every mode that an
// independent propagator-matrix method finds, at every frequency, and nothing else.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <string>
#include <vector>

#include "tests/kernels_support.h"
#include "tests/propagator_reference.h"
#include "tests/run_helpers.h"

namespace vemlari {
namespace {

using namespace vemlari::testing;

// The low-velocity example with a quarter of its frequencies (nt 128 instead of 512).
std::string lvz_csv() {
    std::string text = read_file(examples_dir() / "low_velocity.csv");
    const std::string full = "0.05,512", quarter = "0.05,128";
    const std::size_t at = text.find(full);
    EXPECT_NE(at, std::string::npos);
    if (at != std::string::npos) text.replace(at, full.size(), quarter);
    return text;
}

std::vector<double> numbers(const std::string& text) {
    std::istringstream in(text);
    std::vector<double> v;
    for (double x; in >> x;) v.push_back(x);
    return v;
}

struct Tally {
    int reference = 0, found = 0, missed = 0, extra = 0;
};

// Compares the modes of one frequency with the sign changes of the reference. Roots within
// `edge` of a layer's S velocity (where the reference's own grid cannot separate them from
// the branch point) are left out on both sides.
void compare(const std::vector<double>& modes, const std::vector<double>& refs, double hz, const char* what, Tally& t) {
    t.reference += static_cast<int>(refs.size());
    for (double q : refs) {
        int hits = 0;
        for (double c : modes) hits += std::fabs(c - q) < 2e-3 * q;
        if (hits == 1) {
            ++t.found;
        } else if (hits == 0) {
            ++t.missed;
            ADD_FAILURE() << what << " " << hz << " Hz: mode at " << q << " not found";
        } else {
            t.extra += hits - 1;
            ADD_FAILURE() << what << " " << hz << " Hz: mode at " << q << " found " << hits << " times";
        }
    }
    for (double c : modes) {
        int near = 0;
        for (double q : refs) near += std::fabs(c - q) < 2e-3 * q;
        if (near == 0) {
            ++t.extra;
            ADD_FAILURE() << what << " " << hz << " Hz: " << c << " is not a mode";
        }
    }
}

TEST(LowVelocitySearch, EveryModeOfTheReferenceIsFoundOnce) {
    const auto dir = scratch_dir("lvz");
    write_file(dir / "lvz.csv", lvz_csv());
    const ProgramRun run = run_program(dir, "lvz.csv\n0\n0.001\n100\n500\n");
    ASSERT_EQ(run.status, 0) << run.console;
    const Nstrc s = lvl_model();
    const auto om = numbers(run.file("om_dat"));
    ASSERT_EQ(om.size(), 51u);
    struct Wave {
        const char* what;
        const char* counts;
        const char* poles;
        double (*ref)(const Nstrc&, double, double);
        double lo;
    };
    for (const Wave& w : {Wave{"Love", "mdl_dat", "phsl1_dat", love_reference, 1000.0},
                          Wave{"Rayleigh", "mdr_dat", "phsr1_dat", rayleigh_reference, 800.0}}) {
        const auto counts = numbers(run.file(w.counts));
        const auto poles = numbers(run.file(w.poles));
        ASSERT_EQ(counts.size(), om.size());
        Tally t;
        std::size_t p = static_cast<std::size_t>(counts[0] + 1);
        for (std::size_t io = 1; io < om.size(); ++io) {
            std::vector<double> modes;
            for (int m = 0; m <= counts[io]; ++m) modes.push_back(poles[p++]);
            std::vector<double> refs =
                sign_zeros([&](double c) { return w.ref(s, om[io], c); }, w.lo + 0.01, 2999.95, 0.25);
            // The scan ends at the half-space's S velocity; a root within a step of it is
            // the cut-off and no scan resolves it.
            std::erase_if(refs, [](double q) { return q > 2999.0; });
            std::erase_if(modes, [](double c) { return c > 2999.0; });
            compare(modes, refs, om[io] / (2 * pi), w.what, t);
        }
        std::printf("%s: %d reference modes, %d found, %d missed, %d extra\n", w.what, t.reference, t.found, t.missed,
                    t.extra);
    }
}

// The sign change of the reference closest to c, to full precision.
double reference_root_near(double (*ref)(const Nstrc&, double, double), const Nstrc& s, double om, double c) {
    for (double d = 1e-7 * c; d < 5e-3 * c; d *= 1.5)
        if (ref(s, om, c - d) * ref(s, om, c + d) <= 0.0)
            return bisect([&](double x) { return ref(s, om, x); }, c - d, c + d);
    return std::nan("");
}

// Group velocities of every mode, the trapped ones included, against c / (1 - (om / c) dc/dom)
// from central differences of the reference roots; nothing in the eigenfunction and summary
// files overflows although the trapped modes are normalised to a tiny surface displacement.
TEST(LowVelocitySearch, GroupVelocitiesOfEveryModeMatchTheDispersionCurve) {
    const Nstrc s = lvl_model();
    for (double hz : {3.0, 6.0}) {
        const auto dir = scratch_dir("lvz-check");
        write_file(dir / "lvz.csv", lvz_csv());
        const ProgramRun run = run_program(dir, "lvz.csv\n1\n" + std::to_string(hz) + "\n0.001\n100\n500\n3000\n300\n");
        ASSERT_EQ(run.status, 0) << run.console;
        const double om = numbers(run.file("om_dat")).at(0);
        struct Wave {
            const char* what;
            const char* poles;
            const char* group;
            double (*ref)(const Nstrc&, double, double);
        };
        for (const Wave& w : {Wave{"Love", "phsl1_dat", "grpl_dat", love_reference},
                              Wave{"Rayleigh", "phsr1_dat", "grpr_dat", rayleigh_reference}}) {
            const auto cs = numbers(run.file(w.poles));
            const auto us = numbers(run.file(w.group));
            ASSERT_EQ(cs.size(), us.size());
            ASSERT_GT(cs.size(), 5u);
            int slow = 0;
            for (std::size_t m = 0; m < cs.size(); ++m) {
                const double c0 = reference_root_near(w.ref, s, om, cs[m]);
                ASSERT_FALSE(std::isnan(c0)) << w.what << " " << hz << " Hz mode " << m;
                const double eps = 1e-5;
                const double cp = reference_root_near(w.ref, s, om * (1 + eps), c0);
                const double cm = reference_root_near(w.ref, s, om * (1 - eps), c0);
                const double u = c0 / (1 - om / c0 * (cp - cm) / (2 * eps * om));
                EXPECT_NEAR(us[m] / u, 1.0, 1e-4) << w.what << " " << hz << " Hz mode " << m << " c " << cs[m];
                slow += cs[m] < 1500.0;
            }
            EXPECT_GE(slow, 2) << w.what << " " << hz << " Hz: the slow layer's modes";
        }
        for (const char* f :
             {"Ldis.csv", "Lstr.csv", "Rdis.csv", "Rstr.csv", "Lmedres.csv", "Rmedres.csv", "HoverV.csv"}) {
            const std::string text = run.file(f);
            EXPECT_EQ(text.find("NaN"), std::string::npos) << f;
            EXPECT_EQ(text.find("Infinity"), std::string::npos) << f;
            EXPECT_EQ(text.find("*"), std::string::npos) << f;
        }
    }
}

}  // namespace
}  // namespace vemlari
