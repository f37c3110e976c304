// The plotting scripts of plot/ run headless in Octave on the files of real runs.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "run_helpers.h"

namespace {

using vemlari::testing::ProgramRun;
using vemlari::testing::read_file;
using vemlari::testing::run_example;

bool octave_available() { return std::system("command -v octave > /dev/null 2>&1") == 0; }

struct OctaveRun {
    int status = -1;
    std::string output;
};

// Runs the named scripts, one after the other, in `dir` with no display.
OctaveRun run_scripts(const std::filesystem::path& dir, const std::vector<std::string>& scripts) {
    std::string eval = "addpath('" + (std::filesystem::path(VEMLARI_SOURCE_DIR) / "plot").string() + "');";
    for (const auto& s : scripts) eval += " " + s + ";";
    const std::string cmd = "cd '" + dir.string() +
                            "' && env -u DISPLAY octave --no-gui --no-window-system -q --eval \"" + eval +
                            "\" > octave.out 2>&1";
    const int raw = std::system(cmd.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, read_file(dir / "octave.out")};
}

std::uint32_t big_endian(const std::string& s, std::size_t at) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i) v = (v << 8) | static_cast<unsigned char>(s[at + i]);
    return v;
}

// A PNG of a real picture: signature, IHDR first, at least 100 x 100 pixels and some kilobytes.
void expect_picture(const std::filesystem::path& png) {
    SCOPED_TRACE(png.string());
    ASSERT_TRUE(std::filesystem::exists(png));
    const std::string bytes = read_file(png);
    EXPECT_GT(bytes.size(), 5000u);
    ASSERT_GE(bytes.size(), 24u);
    EXPECT_EQ(bytes.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
    EXPECT_EQ(bytes.substr(12, 4), "IHDR");
    EXPECT_GT(big_endian(bytes, 16), 100u);
    EXPECT_GT(big_endian(bytes, 20), 100u);
}

void expect_scripts_draw(const ProgramRun& run, const std::vector<std::string>& scripts) {
    ASSERT_EQ(run.status, 0) << run.error;
    const OctaveRun octave = run_scripts(run.dir, scripts);
    EXPECT_EQ(octave.status, 0) << octave.output;
    for (const auto& s : scripts) {
        expect_picture(run.dir / (s + ".png"));
        EXPECT_NE(octave.output.find(s + ": wrote "), std::string::npos) << octave.output;
    }
}

// A script that needs a file the run did not write stops, names the file and says which run writes it.
void expect_refusal(const ProgramRun& run, const std::string& script, const std::string& file) {
    const OctaveRun octave = run_scripts(run.dir, {script});
    EXPECT_NE(octave.status, 0) << octave.output;
    EXPECT_NE(octave.output.find(script + ": " + file + " not found"), std::string::npos) << octave.output;
    EXPECT_NE(octave.output.find("check mode"), std::string::npos) << octave.output;
    EXPECT_FALSE(std::filesystem::exists(run.dir / (script + ".png")));
}

#define SKIP_WITHOUT_OCTAVE()                                              \
    if (!octave_available())                                               \
    GTEST_SKIP() << "octave is not on the PATH: plotting scripts not run " \
                    "(install with the README's apt-get line)"

TEST(PlotScripts, NormalRunDrawsDispersionCurves) {
    SKIP_WITHOUT_OCTAVE();
    expect_scripts_draw(run_example("crust", "crust.answers"), {"curvl", "curvr"});
}

TEST(PlotScripts, HalfSpaceWithoutLoveModesStillDraws) {
    SKIP_WITHOUT_OCTAVE();
    expect_scripts_draw(run_example("halfspace", "halfspace.answers"), {"curvl", "curvr"});
}

TEST(PlotScripts, CheckRunDrawsEveryFigure) {
    SKIP_WITHOUT_OCTAVE();
    expect_scripts_draw(run_example("crust", "crust_check.answers"),
                        {"curvl", "curvr", "funcl", "funcr", "eigdl", "eigdr", "eigsl", "eigsr"});
}

TEST(PlotScripts, NormalRunRefusesCheckFigures) {
    SKIP_WITHOUT_OCTAVE();
    const ProgramRun run = run_example("two_layer", "two_layer.answers");
    ASSERT_EQ(run.status, 0) << run.error;
    expect_refusal(run, "eigdl", "vl1_dat");
    expect_refusal(run, "eigsr", "vr3_dat");
    expect_refusal(run, "funcr", "scrc_dat");
}

TEST(PlotScripts, EmptyFolderNamesTheFirstMissingFile) {
    SKIP_WITHOUT_OCTAVE();
    const auto dir = vemlari::testing::scratch_dir("plot-empty");
    const OctaveRun octave = run_scripts(dir, {"curvl"});
    EXPECT_NE(octave.status, 0);
    EXPECT_NE(octave.output.find("curvl: om_dat not found"), std::string::npos) << octave.output;
    EXPECT_NE(octave.output.find("run vemlari in this folder first"), std::string::npos) << octave.output;
}

}  // namespace
