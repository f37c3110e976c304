// vemlari eigen and secular end to end: the eigenfunctions of the dialogue's check runs, the
// secular function vanishing at the modes that `modes` finds, and the help and version.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "records/number_images.h"
#include "tests/cli_support.h"

namespace vemlari::testing {
namespace {

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> v = split(text, '\n');
    if (!v.empty() && v.back().empty()) v.pop_back();
    return v;
}

struct CheckRun {
    const char* tag;
    const char* frequency;
    const char* depth;
    int partitions;  // of the phase velocity
    int depth_partitions;
};

TEST(CliEigen, EigenfunctionsAreThoseOfTheDialoguesCheckRuns) {
    for (const CheckRun c :
         {CheckRun{"crust", "0.1", "60000", 200, 100}, CheckRun{"two_layer", "1.0", "3000", 200, 60},
          CheckRun{"soil", "5.0", "60", 300, 120}, CheckRun{"low_velocity", "6.0", "3000", 500, 300}}) {
        SCOPED_TRACE(c.tag);
        const CliRun r = run_cli(scratch_dir("cli-eigen"),
                                 "eigen " + example(std::string(c.tag) + ".csv") + " --frequency " + c.frequency +
                                     " --depth " + c.depth + " --points " + std::to_string(c.depth_partitions + 1) +
                                     " --search scan --partitions " + std::to_string(c.partitions));
        ASSERT_EQ(r.status, 0) << r.err;
        // Columns after model and wave: mode, frequency, phase velocity, depth, then the six functions.
        std::vector<std::vector<std::string>> love(2), rayleigh(4);
        std::vector<std::string> rows = lines_of(r.out);
        for (std::size_t i = 1; i < rows.size(); ++i) {
            const std::vector<std::string> f = split(rows[i], ',');
            const bool is_love = f[1] == "love";
            for (int q = 0; q < (is_love ? 2 : 4); ++q) {
                std::string image;
                append_E(image, 15, 7,
                         std::strtod(f[static_cast<std::size_t>((is_love ? 6 : 8) + q)].c_str(), nullptr));
                (is_love ? love : rayleigh)[static_cast<std::size_t>(q)].push_back(image);
            }
        }
        const auto golden = [&](const char* file) {
            return lines_of(read_file(std::filesystem::path(VEMLARI_SOURCE_DIR) / "tests/golden" /
                                      (std::string(c.tag) + "_check") / file));
        };
        EXPECT_EQ(love[0], golden("vl1_dat"));
        EXPECT_EQ(love[1], golden("vl2_dat"));
        for (int q = 0; q < 4; ++q)
            EXPECT_EQ(rayleigh[static_cast<std::size_t>(q)], golden(("vr" + std::to_string(q + 1) + "_dat").c_str()));
        EXPECT_FALSE(love[0].empty());
    }
}

TEST(CliEigen, OneModeOrARefusalNamingTheModesThatExist) {
    const auto dir = scratch_dir("cli-eigen-mode");
    const CliRun one =
        run_cli(dir, "eigen " + example("crust.csv") + " --frequency 0.1 --mode 1 --wave rayleigh --points 5");
    ASSERT_EQ(one.status, 0) << one.err;
    const std::vector<std::string> rows = lines_of(one.out);
    ASSERT_EQ(rows.size(), 6u);
    // The default depth: the half-space's top (30 km) plus one of its S wavelengths (45 km).
    EXPECT_EQ(split(rows.back(), ',')[5], "75000");
    for (std::size_t i = 1; i < rows.size(); ++i) EXPECT_EQ(split(rows[i], ',')[2], "1");
    const CliRun none = run_cli(dir, "eigen " + example("crust.csv") + " --frequency 0.1 --mode 2");
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(lines_of(none.out).size(), 1u) << "nothing written for a refused model";
    EXPECT_NE(none.err.find(": no Love mode 2 at 0.1 Hz (modes 0 .. 1 exist)"), std::string::npos) << none.err;
}

TEST(CliSecular, VanishesAtTheModesFoundAndSpansTheRangeAsked) {
    const auto dir = scratch_dir("cli-secular");
    const CliRun modes =
        run_cli(dir, "modes " + example("low_velocity.csv") + " --frequencies 2 --search scan --partitions 500");
    ASSERT_EQ(modes.status, 0) << modes.err;
    int checked = 0;
    const auto rows_of_model = rows_by_model(modes.out);
    for (const std::string& row : rows_of_model.begin()->second) {
        const std::vector<std::string> f = split(row, ',');
        if (f[8] != "1") continue;  // the secular function of the free surface shows modes found there
        const CliRun s = run_cli(dir, "secular " + example("low_velocity.csv") + " --frequency 2 --wave " + f[0] +
                                          " --cmin " + f[3] + " --cmax 3100 --count 3");
        ASSERT_EQ(s.status, 0) << s.err;
        const std::vector<std::string> rows = lines_of(s.out);
        ASSERT_EQ(rows.size(), 4u);
        const std::vector<std::string> first = split(rows[1], ','), last = split(rows[3], ',');
        EXPECT_EQ(first[1] + " " + first[3], f[0] + " " + f[3]);
        EXPECT_EQ(last[3], "3100");
        EXPECT_LT(std::strtod(first[6].c_str(), nullptr), 1e-3) << row;
        ++checked;
    }
    EXPECT_GT(checked, 4);
}

TEST(CliHelp, HelpAndVersion) {
    const auto dir = scratch_dir("cli-help");
    const CliRun version = run_cli(dir, "--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "vemlari 1.0.0\n");
    for (const char* sub : {"modes", "eigen", "secular"}) {
        const CliRun help = run_cli(dir, std::string(sub) + " --help");
        EXPECT_EQ(help.status, 0);
        EXPECT_NE(help.out.find("Usage: vemlari " + std::string(sub) + " [OPTIONS] MODEL..."), std::string::npos);
        EXPECT_NE(run_cli(dir, "--help").out.find(sub), std::string::npos);
    }
}

}  // namespace
}  // namespace vemlari::testing
