// At a trial velocity equal to a layer's own S or P velocity the layer's up- and down-going
// waves coincide; the secular functions are continuous there and must show their limit,
// not NaN. They have a square-root branch there: on either side, the value at a relative
// 1e-15 away must be ten times closer to it than the value at 1e-10 away (1 - sqrt(1e-5)
// of the way for a square root), up to the rounding of a nearly degenerate layer (1e-7).
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <string>
#include <vector>

#include "run_helpers.h"
#include "vemlari/vemlari.h"

namespace vemlari {
namespace {

// The soil example: a soft interlayer (vs 200 m/s) under a 300 m/s layer.
Model soil() { return Model({{5, 600, 300, 1800}, {10, 450, 200, 1700}, {20, 800, 400, 1900}, {0, 1800, 800, 2200}}); }

TEST(BranchPoints, SecularFunctionsTakeTheirLimitAtEveryLayerVelocity) {
    const Model m = soil();
    for (const double f : {1.0, 1e-3, 5.0}) {
        for (const Layer& l : m.layers()) {
            for (const double v : {l.vs, l.vp}) {
                for (const Wave w : {Wave::love, Wave::rayleigh}) {
                    for (const int top : {1, 2}) {
                        const std::vector<double> c{v * (1 - 1e-10), v * (1 - 1e-15), v, v * (1 + 1e-15),
                                                    v * (1 + 1e-10)};
                        const auto F = secular_function(m, w, f, c, top);
                        ASSERT_TRUE(std::isfinite(F[2].real()) && std::isfinite(F[2].imag())) << f << " " << v;
                        const double rounding = 1e-7 * (1 + std::abs(F[2]));
                        EXPECT_LE(std::abs(F[1] - F[2]), 0.1 * std::abs(F[0] - F[2]) + rounding)
                            << f << " Hz, c = " << v;
                        EXPECT_LE(std::abs(F[3] - F[2]), 0.1 * std::abs(F[4] - F[2]) + rounding)
                            << f << " Hz, c = " << v;
                    }
                }
            }
        }
    }
}

// The check run's traces pass through c = 200 m/s exactly at 1 Hz.
TEST(BranchPoints, CheckRunTracesHaveNoNaN) {
    const auto dir = testing::scratch_dir("branch");
    testing::write_file(dir / "soil.csv", testing::read_file(testing::examples_dir() / "soil.csv"));
    const testing::ProgramRun run = testing::run_program(dir, "soil.csv\n1\n1.0\n0.001\n100\n300\n60\n120\n");
    ASSERT_EQ(run.status, 0);
    for (const char* name : {"sec-Lov.csv", "sec-Ray.csv", "scli_dat", "sclr_dat", "scri_dat", "scrr_dat"})
        EXPECT_EQ(run.file(name).find("NaN"), std::string::npos) << name;
}

}  // namespace
}  // namespace vemlari
