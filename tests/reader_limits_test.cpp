// Hostile input to the readers: lines without an end, and counts and integers past 32 bits.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>

#include "io/model_text.h"
#include "program/list_input.h"
#include "records/run_stop.h"
#include "records/streams.h"
#include "tests/cli_support.h"
#include "tests/run_helpers.h"

namespace vemlari {

using namespace vemlari::detail;
namespace {

using testing::scratch_dir;
using testing::write_file;

template <class F>
std::string failure_of(F&& f) {
    try {
        f();
    } catch (const StreamFailure& e) {
        return e.report();
    }
    return {};
}

const std::string reading = "lately reading sequential formatted external IO\n";

TEST(ReaderLongLines, ALineOverTheLimitIsRefusedNamingFileAndLine) {
    const auto dir = scratch_dir("long-line");
    // A title of exactly the limit is skipped; the next line, one byte longer, is refused.
    write_file(dir / "m.csv", std::string(max_record, 't') + "\n" + std::string(max_record + 1, 'h') + "\n0.05,256\n");
    std::istringstream in(std::string(max_record + 1, '0'));
    std::ostringstream out, err;
    Streams st(in, out, err, dir);
    st.open(unit::model, "m.csv", OpenStatus::old);
    skip_line(st, unit::model);
    EXPECT_EQ(failure_of([&] { skip_line(st, unit::model); }),
              "list in: record too long\napparent state: unit 7 named m.csv, line 2\n" + reading);
    EXPECT_EQ(failure_of([&] { read_name(st, unit::keyboard); }),
              "read start: record too long\napparent state: unit 5 (unnamed), line 1\n" + reading);
}

// Both would grow the memory without end before.
TEST(ReaderLongLines, DevZeroAsModelOrStandardInputEndsWithTheRefusal) {
    const auto run = testing::run_program(scratch_dir("zero-model"), "/dev/zero\n");
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.error, "list in: record too long\napparent state: unit 7 named /dev/zero, line 1\n" + reading);

    const auto dir = scratch_dir("zero-keyboard");
    const int raw =
        std::system(("cd '" + dir.string() + "' && '" + VEMLARI_EXE + "' < /dev/zero > out 2> err").c_str());
    EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 2);
    EXPECT_EQ(testing::read_file(dir / "err"),
              "read start: record too long\napparent state: unit 5 (unnamed), line 1\n" + reading);

    for (const auto& [args, input, file] :
         {std::tuple<std::string, std::string, std::string>{"modes /dev/zero", "", "/dev/zero"},
          {"modes -", "/dev/zero", "stdin"}}) {
        const testing::CliRun cli = testing::run_cli(scratch_dir("zero-cli"), args, input);
        EXPECT_EQ(cli.status, 1) << args;
        EXPECT_NE(cli.err.find(file + ":1: the line is longer than 1048576 bytes"), std::string::npos) << cli.err;
    }
}

// Found by the fuzzer: 692 s x 256 over a 0.001 s period asked for 177 million frequencies.
TEST(ReaderLongLines, ProgramFileGridOfGigabytesIsRefused) {
    const auto dir = scratch_dir("huge-grid");
    write_file(dir / "m.csv", "t\nh\n692.,256\nh\n0.001\n\nh\n1\nh\n1,2000,1800,100,1,1000,50,1,0\n");
    const testing::CliRun cli = testing::run_cli(dir, "modes m.csv");
    EXPECT_EQ(cli.status, 1);
    EXPECT_NE(cli.err.find("m.csv:5: nt * dt / period gives more than 10000000 frequencies"), std::string::npos)
        << cli.err;
}

TEST(ReaderIntegers, RepeatCountsPast32BitsAreOutOfRange) {
    // 2147483648 overflowed an int; 4294967297 wrapped to a count of 1.
    for (const char* text : {"2147483648*1 5\n", "4294967297*100 5\n", "99999999999999999999*1 5\n"}) {
        std::istringstream in(text);
        std::ostringstream out, err;
        Streams st(in, out, err, scratch_dir("repeat"));
        int a = 0, b = 0;
        EXPECT_EQ(failure_of([&] {
                      read_list(st, unit::keyboard, {a, b});
                  }),
                  "invalid integer: integer out of range\napparent state: unit 5 (unnamed)\n" + reading)
            << text;
    }
}

TEST(ReaderIntegers, Model96ExponentPastLongKeepsAZero) {
    // The shifted exponent overflowed a long (the undefined-behaviour sanitizer stops on it).
    EXPECT_EQ(io::parse_number("0e9223372036854775807", 3), 0.0);
    EXPECT_EQ(io::parse_number("0e-9223372036854775808", 3), 0.0);
    EXPECT_FALSE(io::parse_number("1e9223372036854775807", 3));
}

}  // namespace
}  // namespace vemlari
