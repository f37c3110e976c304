// vemlari kernels end to end: every number of the table is the library's (physical
// dispersion included), the bytes do not depend on the thread count, and a frequency that
// physical dispersion cannot reach refuses the model with the reason.
#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>

#include "cli/model_input.h"
#include "tests/cli_support.h"
#include "vemlari/sensitivity.h"

namespace vemlari::testing {
namespace {

TEST(CliKernels, EveryNumberIsTheLibrarys) {
    const std::string file = (examples_dir() / "low_velocity.csv").string();
    const Model model = *cli::read_models(file, std::cin).at(0).model;
    const Frequencies f = Frequencies::hertz({0.5, 2.0, 5.0});
    const Sensitivities s = sensitivities(model, f, SearchOptions{}, true, true);

    const CliRun r = run_cli(scratch_dir("cli-kernels"), "kernels " + example("low_velocity.csv") +
                                                             " --frequencies 0.5,2,5 "
                                                             "--physical-dispersion --ellipticity");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(split(r.out, '\n').at(0),
              "model,wave,mode,frequency,phase_velocity,group_velocity,layer,dc_dvs,dc_dvp,dc_drho,dc_dh,du_dvs,"
              "du_dvp,du_drho,inverse_q,gamma,du_dh,dhv_dvs,dhv_dvp,dhv_drho,dhv_dh,dc_dvsh,dc_dvph,dc_deta");
    std::size_t trapped = 0, rows = 0;
    const auto by_model = rows_by_model(r.out);
    for (const std::string& row : by_model.at(file)) {
        const std::vector<std::string> x = split(row, ',');
        ASSERT_EQ(x.size(), 23u) << row;
        const Wave w = x[0] == "love" ? Wave::love : Wave::rayleigh;
        std::vector<double> v;
        for (std::size_t i = 1; i < x.size(); ++i) v.push_back(std::strtod(x[i].c_str(), nullptr));
        const auto m = static_cast<std::size_t>(v[0]), j = static_cast<std::size_t>(v[4]) - 1;
        std::size_t k = 0;
        while (k < f.size() && f.frequency(k) != v[1]) ++k;
        ASSERT_LT(k, f.size()) << row;
        const ModeKernels& q = s.kernels[w].modes[k].at(m);
        const double want[] = {s.modes[w].phase_velocity[k][m],
                               s.properties[w].modes[k][m].group_velocity,
                               q.dc_dvs.at(j),
                               q.dc_dvp[j],
                               q.dc_drho[j],
                               q.dc_dh[j],
                               q.du_dvs[j],
                               q.du_dvp[j],
                               q.du_drho[j],
                               q.inverse_q,
                               q.gamma,
                               q.du_dh[j],
                               q.dhv_dvs[j],
                               q.dhv_dvp[j],
                               q.dhv_drho[j],
                               q.dhv_dh[j]};
        // The H/V kernels of Love waves, and the anisotropic ones of an isotropic model, are empty cells.
        const std::size_t given = w == Wave::love ? 12 : std::size(want);
        for (std::size_t c = 0; c < given; ++c) EXPECT_EQ(v[c < 2 ? c + 2 : c + 3], want[c]) << row << " column " << c;
        for (std::size_t c = given + 4; c < x.size(); ++c) EXPECT_EQ(x[c], "") << row;
        trapped += s.modes[w].found_at[k][m] == 2;
        ++rows;
    }
    std::size_t want_rows = 0;
    for (Wave w : {Wave::love, Wave::rayleigh})
        for (const auto& at : s.modes[w].phase_velocity) want_rows += at.size() * model.size();
    EXPECT_EQ(rows, want_rows);
    EXPECT_GT(trapped, 0u) << "modes trapped in the slow layer among the rows";
}

TEST(CliKernels, TheThreadCountChangesNoByteAndAZeroFrequencyIsRefused) {
    const auto dir = scratch_dir("cli-kernels-threads");
    const std::string models = example("crust.csv") + " " + example("two_layer.csv") + " " + example("soil.csv") +
                               " --fmin 0.1 --fmax 2 --count 7 --modes 2";
    const CliRun one = run_cli(dir, "kernels " + models + " --threads 1");
    ASSERT_EQ(one.status, 0) << one.err;
    EXPECT_EQ(run_cli(dir, "kernels " + models + " --threads 3").out, one.out);

    // The file's own grid starts at 0 Hz, where velocities cannot be moved from 1 Hz.
    const CliRun own = run_cli(dir, "kernels --physical-dispersion " + example("crust.csv"));
    EXPECT_EQ(own.status, 1);
    EXPECT_NE(own.err.find("crust.csv: "), std::string::npos) << own.err;

    // Far enough below 1 Hz, the constant-Q relation gives a velocity below 0: the message
    // names the frequency and the relation, not only a velocity the file never gave.
    const CliRun low = run_cli(dir, "kernels --physical-dispersion --frequencies 1e-300,1 " + example("crust.csv"));
    EXPECT_EQ(low.status, 1);
    EXPECT_NE(low.err.find("crust.csv: at 1e-300 Hz, physical dispersion makes layer 1's vs -"), std::string::npos)
        << low.err;
    EXPECT_NE(low.err.find(" m/s, not a positive velocity: vs(f) = vs(Fs) (1 + ln(f / Fs) / (pi Qs)) with vs(Fs) = "
                           "2600 m/s, Fs = 1 Hz, Qs = 150\n"),
              std::string::npos)
        << low.err;
}

}  // namespace
}  // namespace vemlari::testing
