// The dispersion search against independent values: the classical Love relation of one
// layer over a half-space, the step rule's example, the special cases of the table and the
// secular-function traces of a check run.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "dispersion/step_rule.h"
#include "program/run.h"
#include "records/run_stop.h"
#include "run_helpers.h"

namespace vemlari {

using namespace vemlari::detail;
namespace {

using testing::read_file;
using testing::scratch_dir;
using testing::write_file;

// Model reader and dispersion search of one run, in process, with its files in `dir`.
struct SearchRun {
    SearchRun(const std::string& model_csv, const std::string& answers)
        : dir(scratch_dir("search")), keyboard("model.csv\n" + answers) {
        write_file(dir / "model.csv", model_csv);
        run = std::make_unique<Run>(keyboard, console, error, dir, 1);
        indat(mom, *run);
        phase(mom, *run);
        run->streams.close_all();
    }
    std::filesystem::path dir;
    std::istringstream keyboard;
    std::ostringstream console, error;
    std::unique_ptr<Run> run;
    std::string file(const std::string& n) const { return read_file(dir / n); }
};

std::string model_csv(double dt, int nt, double period, const std::vector<std::vector<double>>& layers) {
    std::ostringstream s;
    s.precision(17);
    s << "title\nheading\n" << dt << "," << nt << "\nx\n" << period << "\n\n\n" << layers.size() << "\nheading\n";
    int n = 0;
    for (const auto& l : layers) {  // rho, vp, vs, thk
        s << ++n << "," << l[0] << "," << l[1] << ",100,1," << l[2] << ",50,1," << l[3] << "\n";
    }
    return s.str();
}

// Love modes of a layer (b1, mu1, h) over a half-space (b2, mu2) at angular frequency om:
// mu1 s1 sin(h s1) = mu2 s2 cos(h s1), one root for every n with n*pi < h*s1max.
std::vector<double> classical_love(double om, double b1, double mu1, double h, double b2, double mu2) {
    std::vector<double> roots;
    const double xmax = h * om * std::sqrt(1 / (b1 * b1) - 1 / (b2 * b2));
    auto c_of = [&](double x) { return om / std::sqrt(om * om / (b1 * b1) - (x / h) * (x / h)); };
    auto f = [&](double x) {
        const double k = om / c_of(x);
        const double s2 = std::sqrt(std::fmax(k * k - om * om / (b2 * b2), 0.0));
        return mu1 * (x / h) * std::sin(x) - mu2 * s2 * std::cos(x);
    };
    for (int n = 0; n * M_PI < xmax; ++n) {
        double a = n * M_PI, b = std::fmin(n * M_PI + M_PI / 2, xmax);
        const double fa = f(a);
        for (int it = 0; it < 200; ++it) {
            const double m = 0.5 * (a + b);
            ((f(m) > 0) == (fa > 0) ? a : b) = m;
        }
        roots.push_back(c_of(0.5 * (a + b)));
    }
    // Increasing phase velocity: higher n means smaller k, larger c... sort to be sure.
    std::sort(roots.begin(), roots.end());
    return roots;
}

TEST(DispersionLove, OneLayerMatchesClassicalRelationModeByMode) {
    const double rho1 = 2000, vs1 = 1000, h = 1000, rho2 = 2500, vs2 = 2000;
    SearchRun r(model_csv(0.05, 256, 0.5, {{rho1, 1800, vs1, h}, {rho2, 3500, vs2, 0}}), "0\n1e-6\n200\n400\n");
    const vemlari::Run& run = *r.run;
    int compared = 0;
    for (int io = 1; io <= run.freq.nom; ++io) {
        const double om = run.freq.dom * io;
        std::vector<double> expect = classical_love(om, vs1, rho1 * vs1 * vs1, h, vs2, rho2 * vs2 * vs2);
        // A mode within a scan step of its cut-off velocity is not resolvable by any scan.
        while (!expect.empty() && expect.back() > vs2 - 0.05) expect.pop_back();
        ASSERT_EQ(run.ccmd.mdl[io] + 1, static_cast<int>(expect.size())) << "io " << io;
        for (int m = 0; m <= run.ccmd.mdl[io]; ++m) {
            EXPECT_NEAR(run.ccmd.ccl(io, m), expect[m], 0.01) << "io " << io << " mode " << m;
            ++compared;
        }
    }
    EXPECT_GT(compared, 40);
}

TEST(DispersionStepRule, WindowsAroundEachLayerVelocity) {
    Nstrc s;
    for (double vs : {1000.0, 2000.0, 3000.0}) s.add(1.0, 2 * vs, vs, 1.0);
    const StepWindows w(s);
    const double c[] = {980, 1050, 1200, 1700, 2100, 2500, 2990};
    const double step[] = {10, 0.5, 2, 10, 0.5, 2, 0.5};
    for (int k = 0; k < 7; ++k) EXPECT_DOUBLE_EQ(step_rule(c[k], c[k], 10.0, w, {}, 900.0), step[k]) << c[k];
}

TEST(DispersionStepRule, FollowsTheModeOverThePreviousFrequencies) {
    Nstrc s;
    for (double vs : {1000.0, 3000.0}) s.add(1.0, 2 * vs, vs, 1.0);
    const StepWindows w(s);
    EXPECT_DOUBLE_EQ(step_rule(2000, 2000, 10.0, w, {false, 2500.0, 2497.0}, 900.0), 10.0);  // no history yet
    EXPECT_DOUBLE_EQ(step_rule(2000, 2000, 10.0, w, {true, 2500.0, 2497.0}, 900.0), 3.0);    // moved by 3
    EXPECT_DOUBLE_EQ(step_rule(2000, 2000, 10.0, w, {true, 2500.0, 2499.99}, 900.0), 0.1);   // never below dcc/100
    EXPECT_DOUBLE_EQ(step_rule(2000, 2000, 10.0, w, {true, 2500.0, 0.0}, 900.0), 10.0);      // missing: full step
    EXPECT_DOUBLE_EQ(step_rule(2050, 2050, 10.0, w, {true, 2500.0, 0.0}, 900.0), 10.0);      // even in a window
}

TEST(DispersionSpecialCases, HalfSpaceHasOneRayleighModeAndNoLoveSearch) {
    SearchRun r(model_csv(0.05, 256, 1.0, {{2000, 1732.0508, 1000, 0}}), "0\n0.001\n100\n");
    const vemlari::Run& run = *r.run;
    for (int io = 0; io <= run.freq.nom; ++io) {
        EXPECT_EQ(run.ccmd.mdl[io], 0);
        EXPECT_EQ(run.ccmd.ccl(io, 0), 0.0);
        EXPECT_EQ(run.ccmd.mdr[io], 0);
        EXPECT_EQ(run.ccmd.ccr(io, 0), run.minmax.ccmin);
    }
    std::string counts;
    for (int io = 0; io <= 12; ++io) counts += "    0\n";
    EXPECT_EQ(r.file("mdl_dat"), counts);
    EXPECT_EQ(r.file("mdr_dat"), counts);
    std::string zeros;
    for (int io = 0; io <= 12; ++io) zeros += "  0.0000000E+00\n";
    EXPECT_EQ(r.file("phsl1_dat"), zeros);
    EXPECT_EQ(r.console.str().find("The highest modes"), std::string::npos);
}

TEST(DispersionSpecialCases, ZeroFrequencyRayleighIsTheFastestHalfSpace) {
    SearchRun r(model_csv(0.05, 256, 0.5, {{2000, 1800, 1000, 1000}, {2500, 3500, 2000, 0}}), "0\n0.001\n100\n200\n");
    EXPECT_EQ(r.run->ccmd.mdr[0], 0);
    EXPECT_EQ(r.run->ccmd.ccr(0, 0), r.run->minmax.ccmax);
    // One "highest modes" line per frequency above zero.
    std::size_t lines = 0;
    for (std::size_t p = 0; (p = r.console.str().find("The highest modes", p)) != std::string::npos; ++p) ++lines;
    EXPECT_EQ(lines, static_cast<std::size_t>(r.run->freq.nom));
}

TEST(DispersionSpecialCases, NoRootAndNothingConverging) {
    // Equal S velocities leave no Love range: every frequency has no Love mode.
    SearchRun same(model_csv(0.05, 256, 2.0, {{2000, 1800, 1000, 100}, {2500, 3500, 1000, 0}}), "0\n0.001\n100\n50\n");
    EXPECT_EQ(same.file("mdl_dat").substr(0, 6), "   -1\n");
    EXPECT_EQ(same.file("phsl1_dat"), "");

    // A tolerance below any reachable |F|: every candidate reports, nothing is stored.
    SearchRun tiny(model_csv(0.05, 256, 1.0, {{2000, 1800, 1000, 1000}, {2500, 3500, 2000, 0}}),
                   "0\n1e-300\n20\n100\n");
    const std::string console = tiny.console.str();
    EXPECT_NE(console.find(" Love Wave: Did not converge!\n  This may be a local min. of the secular func.\n"),
              std::string::npos);
    EXPECT_NE(console.find(" Rayleigh Wave: Did not converge!"), std::string::npos);
    for (int io = 1; io <= tiny.run->freq.nom; ++io) {
        EXPECT_EQ(tiny.run->ccmd.mdl[io], -1);
        EXPECT_EQ(tiny.run->ccmd.mdr[io], -1);
    }
    EXPECT_NE(console.find("   The highest modes for L- and R-waves -1 -1\n"), std::string::npos);
    EXPECT_NE(tiny.file("fort.10").find(" Rayleigh Wave: Did not converge!\n  This may be"), std::string::npos);
}

TEST(DispersionTraces, CheckRunTracesIncreaseAndMatchAcrossFiles) {
    SearchRun r(model_csv(0.05, 256, 0.5, {{2000, 1800, 1000, 1000}, {2500, 3500, 2000, 0}}),
                "1\n1.0\n0.001\n100\n200\n2000\n20\n");
    const char* header = " Phase Velocity (m/s), Real Part, Imag Part        ,Absolute Value\n";
    for (const auto& [c, re, im, csv] :
         {std::array<std::string, 4>{"sclc_dat", "sclr_dat", "scli_dat", "sec-Lov.csv"},
          std::array<std::string, 4>{"scrc_dat", "scrr_dat", "scri_dat", "sec-Ray.csv"}}) {
        std::istringstream cs(r.file(c)), rs(r.file(re)), is(r.file(im)), vs(r.file(csv));
        std::string lc, lr, li, lv;
        ASSERT_TRUE(std::getline(vs, lv));
        EXPECT_EQ(lv + "\n", header);
        double last = -1;
        int n = 0;
        while (std::getline(cs, lc)) {
            ASSERT_TRUE(std::getline(rs, lr) && std::getline(is, li) && std::getline(vs, lv)) << c;
            ASSERT_EQ(lc.size(), 15u);
            const double cv = std::stod(lc);
            EXPECT_GT(cv, last) << c << " record " << n;
            last = cv;
            // c, Re F, Im F, |F| as four E15.7 fields.
            ASSERT_EQ(lv.size(), 63u);
            EXPECT_EQ(lv.substr(0, 15), lc);
            EXPECT_EQ(lv.substr(16, 15), lr);
            EXPECT_EQ(lv.substr(32, 15), li);
            EXPECT_NEAR(std::stod(lv.substr(48)), std::hypot(std::stod(lr), std::stod(li)),
                        1e-6 * std::fabs(std::stod(lv.substr(48))) + 1e-300);
            ++n;
        }
        EXPECT_FALSE(std::getline(rs, lr) || std::getline(is, li) || std::getline(vs, lv)) << c;
        EXPECT_GT(n, 50) << c;
    }
    // The traces are written only in check mode.
    SearchRun normal(model_csv(0.05, 256, 0.5, {{2000, 1800, 1000, 1000}, {2500, 3500, 2000, 0}}),
                     "0\n0.001\n100\n200\n");
    EXPECT_FALSE(std::filesystem::exists(normal.dir / "sclc_dat"));
}

}  // namespace
}  // namespace vemlari
