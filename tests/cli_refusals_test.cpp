// What the command line refuses: every malformed model file (named by file and line, exit
// status 1, nothing written for it), the rest of a batch still computed, and a wrong
// command line (exit status 2, nothing on standard output).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/cli_support.h"

namespace vemlari::testing {
namespace {

const std::string header =
    "model,wave,mode,frequency,phase_velocity,group_velocity,energy_integral,response,"
    "ellipticity,found_at,ellipticity_signed,seafloor_ellipticity\n";

// The program's file, model96 and a list, each with line `n` (from 1) replaced or, for an
// empty text, the file cut before it.
std::string edited(const std::string& text, std::size_t n, const std::string& line) {
    std::vector<std::string> lines = split(text, '\n');
    lines.pop_back();
    if (line.empty()) {
        lines.resize(n - 1);
    } else {
        lines.at(n - 1) = line;
    }
    std::string out;
    for (const std::string& l : lines) out += l + "\n";
    return out;
}

const std::string program_file = read_file(examples_dir() / "crust.csv");
const std::string model96 = read_file(examples_dir() / "formats/crust.mod");
const std::string list = "2\n1000 1800 1000 2000\n0 3500 2000 2500\n";

struct Case {
    std::string file, text, message;  // message: what follows "vemlari: "
};

TEST(CliRefusals, EveryMalformedFileNamesItsLineAndWhatWasExpected) {
    const std::vector<Case> cases = {
        {"a.csv", edited(program_file, 3, "0.5,abc"), "a.csv:3: expected dt (s) and nt: \"abc\" is not a number"},
        {"a.csv", edited(program_file, 3, "0.5,512.0"),
         "a.csv:3: expected dt (s) and nt: \"512.0\" is not a whole number"},
        {"a.csv", edited(program_file, 3, "0.5,500"), "a.csv:3: nt = 500 must be a power of 2"},
        {"a.csv", edited(program_file, 3, "0,512"), "a.csv:3: dt must be a positive number of seconds"},
        {"a.csv", edited(program_file, 5, "-5"), "a.csv:5: the shortest period must be a positive number of seconds"},
        {"a.csv", edited(program_file, 8, "0"), "a.csv:8: the number of layers must be at least 1"},
        {"a.csv", edited(program_file, 4, ""), "a.csv:4: expected a heading line: the file ends"},
        {"a.csv", edited(program_file, 12, ""),
         "a.csv:12: expected layer 3 of 4 (number, density, Vp, Qp, Fp, Vs, Qs, Fs, thickness): the file ends"},
        {"a.csv", edited(program_file, 11, "2,2700,6000x,500,1,3500,250,1,13000"),
         "a.csv:11: expected layer 2 of 4 (number, density, Vp, Qp, Fp, Vs, Qs, Fs, thickness): \"6000x\" is not a "
         "number"},
        {"a.csv", edited(program_file, 11, "2,2700,3000,500,1,3500,250,1,13000"),
         "a.csv:11: layer 2: vp = 3000 must exceed the S velocity vs = 3500"},
        {"a.csv", edited(program_file, 10, "1,2500,7900,300,1,4550,150,1,2000"),
         "a.csv:10: layer 1: vs = 4550 exceeds the half-space's; the half-space must have the largest S velocity"},
        {"m.mod", edited(model96, 3, "TRANSVERSE ISOTROPIC"),
         "m.mod:3: expected ISOTROPIC, found \"TRANSVERSE ISOTROPIC\": "
         "anisotropic model96 files are not read; give radially anisotropic layers as a list of models (nine "
         "numbers per layer: thickness vpv vsv rho qs qp vph vsh eta)"},
        {"m.mod", edited(model96, 4, "MKS"),
         "m.mod:4: expected KGS, found \"MKS\": the layers must be in km, km/s and g/cm3"},
        {"m.mod", edited(model96, 5, "SPHERICAL EARTH"),
         "m.mod:5: expected FLAT EARTH, found \"SPHERICAL EARTH\": spherical-earth models are not computed; flatten "
         "the "
         "model first"},
        {"m.mod", edited(model96, 6, "3-D"), "m.mod:6: expected 1-D, found \"3-D\": only 1-D models are computed"},
        {"m.mod", edited(model96, 7, "VARIABLE VELOCITY"),
         "m.mod:7: expected CONSTANT VELOCITY, found \"VARIABLE VELOCITY\": only layers of constant velocity are "
         "computed"},
        {"m.mod", edited(model96, 10, ""), "m.mod:10: expected a reserved line (LINE08 .. LINE11): the file ends"},
        {"m.mod", edited(model96, 13, ""),
         "m.mod:13: expected a layer: H(KM) VP(KM/S) VS(KM/S) RHO(GM/CC) QP QS ETAP ETAS FREFP FREFS"},
        {"m.mod", edited(model96, 14, "13 6 3.5 2.7 500 250 0 0 1"),
         "m.mod:14: expected 10 numbers, H(KM) VP(KM/S) VS(KM/S) RHO(GM/CC) QP QS ETAP ETAS FREFP FREFS, found 9 "
         "fields"},
        {"m.mod", edited(model96, 14, "13 6 3.5 2.7 500 250 0 0 1 one"),
         "m.mod:14: expected 10 numbers, H(KM) VP(KM/S) VS(KM/S) RHO(GM/CC) QP QS ETAP ETAS FREFP FREFS, found "
         "\"one\""},
        {"m.mod", edited(model96, 14, "13 6 3.5 2.7 500 -250 0 0 1 1"), "m.mod:14: QP and QS must not be negative"},
        {"m.mod", edited(model96, 16, "1 8 4.5 3.3 1000 500 0 0 1 1"),
         "m.mod:16: the last layer is the half-space: its thickness H must be 0"},
        {"m.mod", edited(model96, 15, "15 6.6 4.8 2.9 600 300 0 0 1 1"),
         "m.mod:15: layer 3: vs = 4800 exceeds the half-space's; the half-space must have the largest S velocity"},
        {"l.txt", "0\n0 3500 2000 2500\n",
         "l.txt:1: expected the number of layers, a whole number of at least 1, found \"0\""},
        {"l.txt", edited(list, 2, "1000 1800 1000"),
         "l.txt:2: expected 4 to 6 numbers, thickness vp vs rho [qs [qp]], found 3 fields"},
        {"l.txt", edited(list, 2, "1000 1800 1000 2e"),
         "l.txt:2: expected 4 to 6 numbers, thickness vp vs rho [qs [qp]], found \"2e\""},
        {"l.txt", "3\n" + list.substr(2), "l.txt:4: expected 3 layers after line 1, found 2 before the file ends"},
        {"l.txt", "3\n" + list.substr(2) + "x\n",
         "l.txt:4: expected 3 layers after line 1, found 2 before the next model"},
        {"l.txt", "1\n" + list.substr(2),
         "l.txt:3: more layers than the 1 that line 1 gives: expected the next model's number of layers"},
        {"l.txt", edited(list, 3, "10 3500 2000 2500"),
         "l.txt:3: the last layer is the half-space: its thickness must be 0"},
        {"l.txt", edited(list, 2, "1000 1800 1000 -2000"),
         "l.txt:2: layer 1: density = -2000 must be a positive finite number"},
        {"e.csv", " \n\n", "e.csv: the file is empty: expected a model"},
        {"missing.csv", "", "missing.csv: cannot open: No such file or directory"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        const auto dir = scratch_dir("cli-refusal");
        if (c.file != "missing.csv") write_file(dir / c.file, c.text);
        // The half-space rule is the scan's: the counted search takes any order of velocities.
        const CliRun r = run_cli(dir, "modes " + c.file + " --frequencies 0.1 --search scan");
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, header);
        EXPECT_EQ(r.err.substr(0, c.message.size() + 10), "vemlari: " + c.message + "\n");
    }
}

TEST(CliRefusals, ABatchComputesTheOthersAndListsTheRefused) {
    const auto dir = scratch_dir("cli-batch");
    write_file(dir / "l.txt", list + edited(list, 2, "1000 1800 x 2000") + list);
    write_file(dir / "m.mod", model96);
    const CliRun r = run_cli(dir, "modes l.txt missing.csv m.mod --frequencies 0.1,0.5 --threads 2");
    EXPECT_EQ(r.status, 1);
    const auto rows = rows_by_model(r.out);
    EXPECT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows.at("l.txt#1"), rows.at("l.txt#3"));
    EXPECT_FALSE(rows.at("m.mod").empty());
    EXPECT_EQ(r.err,
              "vemlari: l.txt:5: expected 4 to 6 numbers, thickness vp vs rho [qs [qp]], found \"x\"\n"
              "vemlari: missing.csv: cannot open: No such file or directory\n"
              "vemlari: refused 2 of 5 models: l.txt#2, missing.csv\n");

    // A file without frequencies of its own needs them on the command line.
    const CliRun bare = run_cli(dir, "modes m.mod");
    EXPECT_EQ(bare.status, 1);
    EXPECT_EQ(bare.err,
              "vemlari: m.mod: the file gives no frequencies: give --frequencies, or --fmin, --fmax and --count\n");
}

TEST(CliRefusals, AWrongCommandLineWritesNothing) {
    const auto dir = scratch_dir("cli-usage");
    write_file(dir / "m.mod", model96);
    for (const std::string args :
         {"unknown", "modes", "modes m.mod --bogus", "modes m.mod --frequencies 0.2,0.1",
          "modes m.mod --fmin 0.1 --fmax 1", "modes m.mod --fmin 1 --fmax 0.5 --count 3",
          "modes m.mod --frequencies ''", "modes m.mod --frequencies 0.1 --fmin 0.1 --fmax 1 --count 3",
          "modes m.mod --wave up", "modes m.mod --tolerance -1", "modes m.mod --partitions 0", "eigen m.mod",
          "eigen m.mod --frequency 0", "secular m.mod --frequency 1 --cmin 3 --cmax 2"}) {
        SCOPED_TRACE(args);
        const CliRun r = run_cli(dir, args);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err, "");
    }
    const CliRun unwritable = run_cli(dir, "modes m.mod --frequencies 0.1 -o no/such/dir/out.csv");
    EXPECT_EQ(unwritable.status, 2);
    EXPECT_NE(unwritable.err.find("vemlari: cannot write no/such/dir/out.csv"), std::string::npos);
}

}  // namespace
}  // namespace vemlari::testing
