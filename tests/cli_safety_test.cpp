// What the command line does to the files and the memory around it: the table never replaces
// a model file, a file of -o is replaced by a whole table or left as it was (refusals, a full
// disk, a run out of memory, an interrupt), interrupts say so on standard error only, and
// inputs or requests past the memory are refused instead of filling it.
#include <gtest/gtest.h>

#include <signal.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/cli_support.h"

namespace vemlari::testing {
namespace {

namespace fs = std::filesystem;

const std::string header =
    "model,wave,mode,frequency,phase_velocity,group_velocity,energy_integral,response,"
    "ellipticity,found_at,ellipticity_signed,seafloor_ellipticity\n";

// Names in `dir` besides the given ones: what a run left behind.
std::vector<std::string> others(const fs::path& dir, const std::vector<std::string>& known) {
    std::vector<std::string> names;
    for (const fs::directory_entry& e : fs::directory_iterator(dir)) {
        const std::string name = e.path().filename().string();
        if (std::find(known.begin(), known.end(), name) == known.end()) names.push_back(name);
    }
    return names;
}

TEST(CliSafety, TheTableNeverReplacesAModelFile) {
    const auto dir = scratch_dir("cli-same-file");
    const std::string model = read_file(examples_dir() / "crust.csv");
    write_file(dir / "m.csv", model);
    fs::create_symlink("m.csv", dir / "link.csv");
    fs::create_hard_link(dir / "m.csv", dir / "hard.csv");
    for (const std::string args :
         {"m.csv -o m.csv", "m.csv -o ./m.csv", "link.csv -o m.csv", "m.csv -o link.csv", "hard.csv -o m.csv"}) {
        SCOPED_TRACE(args);
        const CliRun r = run_cli(dir, "modes " + args);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find("would replace the model file"), std::string::npos) << r.err;
        EXPECT_EQ(read_file(dir / "m.csv"), model);
    }
}

TEST(CliSafety, AFileIsReplacedByAWholeTableOrLeftAsItWas) {
    const auto dir = scratch_dir("cli-output");
    fs::copy_file(examples_dir() / "crust.csv", dir / "m.csv");
    const std::vector<std::string> known = {"m.csv", "out.csv", "cli.out", "cli.err"};
    write_file(dir / "out.csv", "old\n");

    // Every model refused: nothing is written.
    const CliRun refused = run_cli(dir, "modes missing.csv -o out.csv");
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(read_file(dir / "out.csv"), "old\n");

    // A write that fails half-way (the file-size limit) says why and leaves the file alone.
    const CliRun cut = run_shell(
        dir, "trap '' XFSZ; ulimit -f 4; " + program + " modes m.csv --fmin 0.1 --fmax 1 --count 200 -o out.csv");
    EXPECT_EQ(cut.status, 2);
    EXPECT_EQ(cut.err, "vemlari: cannot write out.csv: File too large\n");
    EXPECT_EQ(read_file(dir / "out.csv"), "old\n");
    EXPECT_EQ(others(dir, known), std::vector<std::string>{});

    // Devices are written in place, and their failures named.
    EXPECT_EQ(run_cli(dir, "modes m.csv --frequencies 0.1 -o /dev/full").err,
              "vemlari: cannot write /dev/full: No space left on device\n");
    const CliRun full = run_shell(dir, program + " modes m.csv --frequencies 0.1 > /dev/full");
    EXPECT_EQ(full.status, 2);
    EXPECT_EQ(full.err, "vemlari: cannot write the standard output: No space left on device\n");
    fs::create_directory(dir / "folder");
    EXPECT_EQ(run_cli(dir, "modes m.csv --frequencies 0.1 -o folder").err,
              "vemlari: cannot write folder: Is a directory\n");
    fs::remove(dir / "folder");

    const CliRun done = run_cli(dir, "modes m.csv --frequencies 0.1 -o out.csv");
    EXPECT_EQ(done.status, 0);
    EXPECT_EQ(read_file(dir / "out.csv").substr(0, header.size()), header);
    EXPECT_EQ(others(dir, known), std::vector<std::string>{});

    // "-" is standard output.
    const CliRun dash = run_cli(dir, "modes m.csv --frequencies 0.1 -o -");
    EXPECT_EQ(dash.status, 0);
    EXPECT_EQ(dash.out, read_file(dir / "out.csv"));
    EXPECT_FALSE(fs::exists(dir / "-"));
}

TEST(CliSafety, ARunOutOfMemoryEndsWithItsOwnStatusAndLeavesTheFile) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "the sanitizers' shadow memory does not fit a limit of the address space";
#endif
    const auto dir = scratch_dir("cli-memory");
    fs::copy_file(examples_dir() / "crust.csv", dir / "m.csv");
    write_file(dir / "out.csv", "old\n");
    const CliRun r = run_shell(dir, "ulimit -v 300000; " + program +
                                        " modes m.csv --fmin 0.01 --fmax 0.02 --count 2000000 --threads 1 -o out.csv");
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.err, "vemlari: out of memory\n");
    EXPECT_EQ(read_file(dir / "out.csv"), "old\n");
    EXPECT_EQ(others(dir, {"m.csv", "out.csv", "cli.out", "cli.err"}), std::vector<std::string>{});
}

TEST(CliSafety, AnInterruptEndsTheRunWithItsStatusOnStandardErrorOnly) {
    // With -o, while the run waits for its models on a standard input that stays open.
    const auto dir = scratch_dir("cli-interrupt");
    write_file(dir / "out.csv", "old\n");
    int input[2];
    ASSERT_EQ(pipe2(input, O_CLOEXEC), 0);
    pid_t pid = start_cli(dir, {"modes", "-", "--frequencies", "0.1", "-o", "out.csv"}, input[0]);
    close(input[0]);
    const std::vector<std::string> known = {"out.csv", "cli.out", "cli.err"};
    const bool begun = eventually([&] { return others(dir, known).size() == 1; });
    kill(pid, begun ? SIGINT : SIGKILL);
    CliRun r = finish_cli(dir, pid);
    close(input[1]);
    ASSERT_TRUE(begun) << "no table begun beside out.csv";
    EXPECT_EQ(r.status, 130);
    EXPECT_EQ(r.err, "vemlari: interrupted by SIGINT\n");
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(read_file(dir / "out.csv"), "old\n");
    EXPECT_EQ(others(dir, known), std::vector<std::string>{});

    // On standard output, in the middle of a long batch: the table's lines stay whole.
    write_file(dir / "crust.txt",
               "4\n2000 4500 2600 2500\n13000 6000 3500 2700\n15000 6600 3800 2900\n0 8000 4500 3300\n");
    std::vector<std::string> args = {"modes", "--fmin", "0.05", "--fmax", "2", "--count", "50", "--threads", "1"};
    args.insert(args.end(), 20000, "crust.txt");
    const int nothing = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    pid = start_cli(dir, args, nothing);
    close(nothing);
    const bool writing = eventually([&] {
        std::error_code ec;
        const std::uintmax_t size = fs::file_size(dir / "cli.out", ec);
        return !ec && size > 0;
    });
    kill(pid, writing ? SIGTERM : SIGKILL);
    r = finish_cli(dir, pid);
    ASSERT_TRUE(writing) << "no table on standard output";
    EXPECT_EQ(r.status, 143);
    EXPECT_EQ(r.err, "vemlari: interrupted by SIGTERM\n");
    EXPECT_EQ(r.out.substr(0, header.size()), header);
    std::vector<std::string> lines = split(r.out, '\n');
    lines.pop_back();  // cut where the signal found it
    for (const std::string& line : lines) EXPECT_EQ(split(line, ',').size(), 12u) << line;
}

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

TEST(CliSafety, ARequestPastTheMemoryIsRefusedBeforeAnyWork) {
    const auto dir = scratch_dir("cli-sizes");
    fs::copy_file(examples_dir() / "crust.csv", dir / "m.csv");
    const std::string past = "rows of one model's table, about ";
    for (const std::string args :
         {"modes m.csv --fmin 1 --fmax 2 --count 100000000 --modes 0", "secular m.csv --frequency 1 --count 100000000",
          "eigen m.csv --frequency 1 --points 100000000 --mode 0"}) {
        SCOPED_TRACE(args);
        const CliRun r = run_cli(dir, args);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find(": asks for at least 200000000 " + past), std::string::npos) << r.err;
    }
    // Kernels grow with the layers: the model is refused, the others computed.
    std::string layers = "4000\n";
    for (int i = 0; i < 3999; ++i) layers += "10 4000 2300 2500\n";
    write_file(dir / "layers.txt", layers + "0 8000 4600 3300\n");
    const CliRun kernels = run_cli(dir, "kernels layers.txt m.csv --fmin 1 --fmax 2 --count 500 --modes 0");
    EXPECT_EQ(kernels.status, 1);
    EXPECT_EQ(rows_by_model(kernels.out).count("m.csv"), 1u);
    EXPECT_NE(kernels.err.find("vemlari: layers.txt: asks for at least 4000000 " + past), std::string::npos)
        << kernels.err;
}

}  // namespace
}  // namespace vemlari::testing
