// What the command line does with inputs that are no model files or never end: refused
// instead of filling the memory.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/cli_support.h"

namespace vemlari::testing {
namespace {

namespace fs = std::filesystem;

TEST(CliSafety, InputsThatAreNoModelsOrNeverEndAreRefused) {
    const auto dir = scratch_dir("cli-inputs");
    fs::create_directory(dir / "folder");
    const CliRun folder = run_cli(dir, "modes folder --frequencies 1");
    EXPECT_EQ(folder.status, 1);
    EXPECT_EQ(folder.err, "vemlari: folder: cannot read: Is a directory\n");

    const std::string too_long = ": the input is longer than 67108864 bytes (64 MiB): split it into several files\n";
    const CliRun noise = run_cli(dir, "modes /dev/urandom --frequencies 1");
    EXPECT_EQ(noise.status, 1);
    EXPECT_TRUE(noise.err.starts_with("vemlari: /dev/urandom:")) << noise.err;
    EXPECT_TRUE(noise.err.ends_with(too_long)) << noise.err;
    const CliRun comments = run_shell(dir, "yes '# c' | " + program + " modes - --frequencies 1");
    EXPECT_EQ(comments.status, 1);
    EXPECT_EQ(comments.err, "vemlari: stdin:16777217" + too_long);

    // A million and one half-spaces, far below 64 MiB.
    const CliRun models =
        run_shell(dir, "yes '1\n0 3500 2000 2500' | head -n 2000002 | " + program + " modes - --frequencies 1");
    EXPECT_EQ(models.status, 1);
    EXPECT_EQ(models.err, "vemlari: stdin:2000001: more than 1000000 models in one run: split the batch\n");
}

}  // namespace
}  // namespace vemlari::testing
