// Whole runs of the vemlari executable in scratch directories: the dialogue on the console,
// the first records of the log "fort.10", the closing notes and the exit status, for normal
// and check runs, every failed model check, every refused value and every stream failure.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "run_helpers.h"

namespace vemlari {
namespace {

using testing::ProgramRun;
using testing::read_file;
using testing::run_example;
using testing::run_program;
using testing::scratch_dir;
using testing::write_file;

const std::string banner =
    "\n\n"
    " \"vemlari\" computes the normal mode solutions\n"
    "   (the phase and group velocities, and eigen vectors of\n"
    "    the Love and Rayleigh waves).\n"
    "  For trouble, please check \"fort.10\".\n";

const std::string name_prompt = "\n Enter Input File Name for \"torvex12sx-in.csv\"\n";
const std::string check_prompt = " Check Secular Functions & Eigen Vectors? (N=0 or Y=1)\n";
const std::string layer_heading = " Layer, Density, Vp, Qp, Fp, Vs, Qs, Fs, Thickness\n";
const std::string tol_itmax_prompts =
    "\n Enter Tolerance for Secular Function (ex., 0.001):\n"
    "\n Enter Max Number of Iterations (ex., 100):\n";
const std::string partition_prompts =
    " Enter Number of Partitions from Cmin to Cmax (ex.,200):\n"
    " (If dispersion curves are not proper, increase this number.)\n";
const std::string secular_note =
    "\n"
    "  You can plot the secular functions using\n"
    "  \"funcl.m and funcr.m\" for M-files of \"Matlab\"\n";
const std::string depth_prompt = "\n Enter Depth to Output the Eigen Vectors (m):\n";
const std::string nzint_prompt = " Enter Partition Number along the Depth (ex., 200):\n";
const std::string eigen_note =
    "\n\n"
    "  You can plot the eigen vectors using \"eigdl.m, eigdr.m\n"
    "  eigsl.m, and eigsr.m\" for \"M-file\" of \"Matlab\"\n";

const std::string closing_notes =
    "\n"
    " Data \"mdl_dat, mdr_dat, phsl_dat, and phsr_dat\"\n"
    " are used for \"torvex4\" as data of poles\n"
    "\n"
    " You can plot the dispersion curves using \"curvl.m\"\n"
    " and \"curvr.m\" for \"M-file\" of \"Matlab\"\n"
    "\n"
    " The followings are output data ofExcel format:\n"
    "   Ldisper.csv and Rdisper.csv: the dipersion curves\n";
const std::string file_lines =
    "   sec-Lov.csv: Secular Functions of Love Wave\n"
    "   sec-Ray.csv: Secular Functions of Rayleigh Wave\n"
    "   Ldis.csv: Eigen Displacement Vector of Love Wave\n"
    "   Lstr.csv: Eigen Stress Vector of Love Wave\n"
    "   Rdis.csv: Eigen Displacement Vector of Rayleigh Wave\n"
    "   Rstr.csv: Eigen Stress Vector of Rayleigh Wave\n"
    "   Lmedres.csv: Medium Response of Love Wave\n"
    "   Rmedres.csv: Medium Response of Rayleigh Wave\n";

const std::string indat_head = "  FROM SUBROUTINE INDAT :\n";

// The layers of examples/two_layer.csv and their console and log echoes.
const std::string two_layers = "1,2000,1800,100,1,1000,50,1,1000\n2,2500,3500,200,1,2000,100,1,0\n";
const std::string two_layer_echo =
    " 1  2000.  1800.  100.  1.  1000.  50.  1.  1000.\n"
    " 2  2500.  3500.  200.  1.  2000.  100.  1.  0.\n";
const std::string two_layer_log =
    " NL= 2\n"
    " 1  2000.  1800.  1000.  1000.\n"
    " 2  2500.  3500.  2000.  0.\n";
// Rayleigh velocities of the slowest and fastest layer: roots of the Rayleigh cubic.
const std::string two_layer_bounds =
    "\n VSMAX, VPMAX = 2000.000 3500.000\n"
    " CCMIN, CCMAX =  923.744 1841.283\n";
const std::string two_layer_range = "\n Min and Max Velocities (Cmin and Cmax: m/s) =  914.506 2020.000\n" +
                                    partition_prompts + " Increment of Phase Velocity (DCC: m/s) =   5.52747\n";

std::string model(const std::string& dt_nt, const std::string& period, const std::string& nl,
                  const std::string& layers) {
    return "title of the model\ndt (s),nt\n" + dt_nt + "\nshortest period (s)\n" + period + "\n\nnumber of layers\n" +
           nl + "\nLayer,Density,Vp,Qp,Fp,Vs,Qs,Fs,Thickness\n" + layers;
}

ProgramRun run_model(const std::string& csv, const std::string& answers, const std::string& name = "m.csv") {
    const auto dir = scratch_dir("e2e");
    write_file(dir / name, csv);
    return run_program(dir, answers);
}

// Console text before the dispersion search: up to its first frequency line, without the
// empty records the search writes in front of it (no dialogue ends with an empty record).
std::string dialogue(const ProgramRun& r) {
    auto at = r.console.find("\n omega and freq.=");
    if (at == std::string::npos) return r.console;
    while (at > 0 && r.console[at - 1] == '\n') --at;
    return r.console.substr(0, at + 1);
}

// Log records of the model reader, up to and including the velocity-bounds line.
std::string log_head(const ProgramRun& r) {
    const std::string log = r.file("fort.10");
    const auto at = log.find(" CCMIN, CCMAX =");
    if (at == std::string::npos) return log;
    return log.substr(0, log.find('\n', at) + 1);
}

bool ends_with(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

const std::string two_layer_start = banner + name_prompt + "\n Delta Time (s) =  0.05, Number of Time = 256\n" +
                                    "\n Maximum frequency (Hz) =  2.\n" + check_prompt;
const std::string two_layer_log_start = " FROM indat:\n\n dt,nt,period  0.05 256  0.5\n";

TEST(DriverRunNormal, TwoLayerExample) {
    const ProgramRun r = run_example("two_layer", "two_layer.answers");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.error, "");
    EXPECT_EQ(dialogue(r), two_layer_start + " Number of Layers= 2\n" + layer_heading + two_layer_echo +
                               tol_itmax_prompts + two_layer_bounds + two_layer_range + " 25 0\n");
    EXPECT_EQ(log_head(r),
              two_layer_log_start + " IOM,NOM,DOM= 0 25  0.490873852\n" + two_layer_log + two_layer_bounds);
    EXPECT_TRUE(ends_with(r.console, closing_notes)) << r.console;
    EXPECT_EQ(r.console.find("sec-Lov.csv"), std::string::npos);
}

TEST(DriverRunCheck, TwoLayerExampleAsksDepthAndListsEveryFile) {
    const ProgramRun r = run_example("two_layer", "two_layer_check.answers");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.error, "");
    EXPECT_EQ(dialogue(r), two_layer_start + " Enter the frequency for checking (Hz)\n Number of Layers= 2\n" +
                               layer_heading + two_layer_echo + tol_itmax_prompts + two_layer_bounds + two_layer_range +
                               " 1 1\n" + secular_note + depth_prompt + nzint_prompt + eigen_note);
    EXPECT_EQ(log_head(r), two_layer_log_start + " IOM,NOM,DOM= 1 1  6.28318531\n" + two_layer_log + two_layer_bounds);
    EXPECT_TRUE(ends_with(r.console, closing_notes + file_lines)) << r.console;
}

const std::string halfspace_start = banner + name_prompt + "\n Delta Time (s) =  0.05, Number of Time = 256\n" +
                                    "\n Maximum frequency (Hz) =  1.\n" + check_prompt;
const std::string halfspace_layers = " Number of Layers= 1\n" + layer_heading +
                                     " 1  2000.  1732.0508  100.  1.  1000.  50.  1.  0.\n" + tol_itmax_prompts +
                                     "\n VSMAX, VPMAX = 1000.000 1732.051\n CCMIN, CCMAX =  919.402  919.402\n";

TEST(DriverRunHalfSpace, NormalRunSkipsThePartitionQuestion) {
    const ProgramRun r = run_example("halfspace", "halfspace.answers");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(dialogue(r), halfspace_start + halfspace_layers);
    EXPECT_EQ(log_head(r),
              " FROM indat:\n\n dt,nt,period  0.05 256  1.\n IOM,NOM,DOM= 0 12  0.490873852\n"
              " NL= 1\n 1  2000.  1732.0508  1000.  0.\n"
              "\n VSMAX, VPMAX = 1000.000 1732.051\n CCMIN, CCMAX =  919.402  919.402\n");
    EXPECT_TRUE(ends_with(r.console, closing_notes));
    EXPECT_EQ(r.console.find("sec-Lov.csv"), std::string::npos);
}

TEST(DriverRunHalfSpace, CheckRunAsksDepthButListsNoTraceFiles) {
    const auto dir = scratch_dir("e2e-hs");
    write_file(dir / "halfspace.csv", read_file(testing::examples_dir() / "halfspace.csv"));
    const ProgramRun r = run_program(dir, "halfspace.csv\n1\n0.5\n0.001\n100\n3000\n50\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(dialogue(r), halfspace_start + " Enter the frequency for checking (Hz)\n" + halfspace_layers +
                               depth_prompt + nzint_prompt + eigen_note);
    EXPECT_TRUE(ends_with(r.console, closing_notes)) << r.console;
    EXPECT_EQ(r.console.find("sec-Lov.csv"), std::string::npos);
}

TEST(DriverRunHalfSpace, NormalRunWithNoFrequencyStepAsksDepth) {
    // A period longer than the duration: nom = iom = 0.
    const ProgramRun r = run_model(model("0.05,256", "100.", "1", "1,2000,1732.0508,100,1,1000,50,1,0\n"),
                                   "m.csv\n0\n0.001\n100\n3000\n50\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(dialogue(r), banner + name_prompt + "\n Delta Time (s) =  0.05, Number of Time = 256\n" +
                               "\n Maximum frequency (Hz) =  0.01\n" + check_prompt + halfspace_layers + depth_prompt +
                               nzint_prompt + eigen_note);
}

TEST(DriverRunNormal, NoFrequencyStepWithLayersReturnsAfterTheIndexRecord) {
    const ProgramRun r = run_model(model("0.05,256", "100.", "2", two_layers), "m.csv\n0\n0.001\n100\n200\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(ends_with(dialogue(r), two_layer_range + " 0 0\n")) << r.console;
    EXPECT_EQ(r.console.find("Enter Depth"), std::string::npos);
}

TEST(DriverRunNormal, TiesGoToTheDeepestLayerAndLayerNumbersAreOnlyEchoed) {
    const ProgramRun r = run_model(model("0.05,256", "0.5", "3",
                                         "5,2000,1800,100,1,1000,50,1,500\n"
                                         "3,2100,2000,100,1,1000,50,1,500\n"
                                         "9,2500,3500,200,1,2000,100,1,0\n"),
                                   "m.csv\n1\n1.0\n0.001\n100\n100\n3000\n60\n");
    EXPECT_EQ(r.status, 0);
    // ccmin from the deeper of the two layers with vs = 1000 (vp = 2000, vs/vp = 0.5).
    EXPECT_NE(r.console.find(" 5  2000.  1800.  100.  1.  1000.  50.  1.  500.\n"
                             " 3  2100.  2000.  100.  1.  1000.  50.  1.  500.\n"
                             " 9  2500.  3500.  200.  1.  2000.  100.  1.  0.\n"),
              std::string::npos);
    EXPECT_NE(r.console.find(" CCMIN, CCMAX =  932.526 1841.283\n"
                             "\n Min and Max Velocities (Cmin and Cmax: m/s) =  923.201 2020.000\n" +
                             partition_prompts + " Increment of Phase Velocity (DCC: m/s) =  10.96799\n"),
              std::string::npos)
        << r.console;
    EXPECT_NE(log_head(r).find(" NL= 3\n 1  2000.  1800.  1000.  500.\n 2  2100.  2000.  1000.  500.\n"
                               " 3  2500.  3500.  2000.  0.\n"),
              std::string::npos);
}

TEST(DriverRunNormal, MaximumFrequencyAndIndexRange) {
    // The half-space is too slow so the run stops right after the layers are read.
    const ProgramRun r =
        run_model(model("0.01,1024", "0.05", "2", "1,2000,1800,100,1,1000,50,1,1000\n2,2500,3500,200,1,900,100,1,0\n"),
                  "m.csv\n0\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.console.find("\n Delta Time (s) =  0.01, Number of Time = 1024\n"
                             "\n Maximum frequency (Hz) =  20.\n" +
                             check_prompt),
              std::string::npos);
    EXPECT_NE(r.file("fort.10").find(" dt,nt,period  0.01 1024  0.05\n IOM,NOM,DOM= 0 204  0.613592315\n"),
              std::string::npos);
}

// Checks of the model that stop the run: status 1, no closing notes.
void expect_stopped(const ProgramRun& r) {
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.error, "");
    EXPECT_EQ(r.console.find("Data \"mdl_dat"), std::string::npos);
    EXPECT_EQ(r.console.find("omega and freq."), std::string::npos);
}

TEST(DriverModelChecks, TimeSamplesNotAPowerOfTwo) {
    for (const std::string nt : {"1000", "1", "0", "-4", "3"}) {
        const ProgramRun r = run_model(model("0.05," + nt, "0.5", "2", two_layers), "m.csv\n0\n");
        expect_stopped(r);
        EXPECT_EQ(r.console, banner + name_prompt + "\n Delta Time (s) =  0.05, Number of Time = " + nt +
                                 "\n\n NT is not a power of 2 !!\n")
            << nt;
        EXPECT_EQ(r.file("fort.10"), " NT is not a power of 2 !!\n") << nt;
    }
    const ProgramRun two =
        run_model(model("0.05,2", "0.05", "2", two_layers), "m.csv\n1\n1.0\n0.001\n100\n200\n3000\n20\n");
    EXPECT_EQ(two.status, 0);
    EXPECT_EQ(two.console.find("NT is not"), std::string::npos);
}

// A slow half-space: accepted sampling reaches the layer check and stops there.
const std::string slow_halfspace = "1,2000,1800,100,1,1000,50,1,1000\n2,2500,3500,200,1,900,100,1,0\n";

TEST(DriverModelChecks, LastFrequencyIndexBeyondTheLimit) {
    const ProgramRun r = run_model(model("0.5,2048", "1.4607", "2", slow_halfspace), "m.csv\n0\n");
    expect_stopped(r);
    EXPECT_EQ(r.console, banner + name_prompt + "\n Delta Time (s) =  0.5, Number of Time = 2048\n" +
                             "\n Maximum frequency (Hz) =  0.684603272\n" + check_prompt + "  NOM>MOM !!!!!!!!!!!!!\n");
    EXPECT_EQ(r.file("fort.10"),
              " FROM indat:\n\n dt,nt,period  0.5 2048  1.4607\n"
              " IOM,NOM,DOM= 0 701  0.00613592315\n  NOM>MOM !!!!!!!!!!!!!\n");

    // 700 passes and the run goes on to the layers.
    const ProgramRun ok = run_model(model("0.5,2048", "1.4628", "2", slow_halfspace), "m.csv\n0\n");
    EXPECT_EQ(ok.status, 1);
    EXPECT_NE(ok.file("fort.10").find(" IOM,NOM,DOM= 0 700  0.00613592315\n NL= 2\n"), std::string::npos);
    EXPECT_EQ(ok.file("fort.10").find("NOM>MOM"), std::string::npos);

    // In check mode the index is 1 whatever the sampling.
    const ProgramRun check = run_model(model("0.5,2048", "1.4607", "2", slow_halfspace), "m.csv\n1\n2.5\n");
    EXPECT_NE(check.file("fort.10").find(" IOM,NOM,DOM= 1 1  15.7079633\n NL= 2\n"), std::string::npos);
}

TEST(DriverModelChecks, MoreThanTwentyLayersBeforeAnyLayerLine) {
    const ProgramRun r = run_model(model("0.05,256", "0.5", "21", ""), "m.csv\n0\n");
    expect_stopped(r);
    EXPECT_EQ(r.console, two_layer_start + " Number of Layers= 21\n" + layer_heading + "  NL>NML !!!!!!!!!!!!!\n");
    EXPECT_EQ(r.file("fort.10"), two_layer_log_start + " IOM,NOM,DOM= 0 25  0.490873852\n  NL>NML !!!!!!!!!!!!!\n");
}

TEST(DriverModelChecks, TwentyLayersAreAccepted) {
    std::string layers;
    std::string log;
    for (int il = 1; il <= 19; ++il) {
        layers += std::to_string(il) + ",2000,1800,100,1,1000,50,1,50\n";
        log += ' ';
        log += std::to_string(il);
        log += "  2000.  1800.  1000.  50.\n";
    }
    layers += "20,2500,3500,200,1,2000,100,1,0\n";
    log += " 20  2500.  3500.  2000.  0.\n";
    const ProgramRun r = run_model(model("0.05,256", "0.5", "20", layers), "m.csv\n1\n1.0\n0.001\n100\n50\n3000\n20\n");
    EXPECT_EQ(r.status, 0) << r.console << r.error;
    EXPECT_NE(log_head(r).find(" NL= 20\n" + log + two_layer_bounds), std::string::npos) << log_head(r);
}

TEST(DriverModelChecks, HalfSpaceNotTheFastestInS) {
    const ProgramRun r =
        run_model(model("0.05,256", "0.5", "2", "1,2000,3000,100,1,2500,50,1,1000\n2,2500,3500,200,1,2000,100,1,0\n"),
                  "m.csv\n0\n");
    expect_stopped(r);
    EXPECT_EQ(r.console, two_layer_start + " Number of Layers= 2\n" + layer_heading +
                             " 1  2000.  3000.  100.  1.  2500.  50.  1.  1000.\n" +
                             " 2  2500.  3500.  200.  1.  2000.  100.  1.  0.\n" + indat_head +
                             "  VS(NL).NE.VSMAX, THUS STOP !!!\n");
    EXPECT_EQ(r.file("fort.10"), two_layer_log_start + " IOM,NOM,DOM= 0 25  0.490873852\n NL= 2\n" +
                                     " 1  2000.  3000.  2500.  1000.\n 2  2500.  3500.  2000.  0.\n" + indat_head +
                                     "  VS(NL).NE.VSMAX, THUS STOP !!!\n");
}

TEST(DriverModelChecks, HalfSpaceNotTheFastestInP) {
    const ProgramRun r =
        run_model(model("0.05,256", "0.5", "2", "1,2000,4000,100,1,1000,50,1,1000\n2,2500,3500,200,1,2000,100,1,0\n"),
                  "m.csv\n0\n");
    expect_stopped(r);
    EXPECT_TRUE(ends_with(r.console, " 2  2500.  3500.  200.  1.  2000.  100.  1.  0.\n" + indat_head +
                                         "  VP(NL).NE.VPMAX, THUS STOP !!!\n"))
        << r.console;
    EXPECT_TRUE(ends_with(r.file("fort.10"),
                          " 2  2500.  3500.  2000.  0.\n" + indat_head + "  VP(NL).NE.VPMAX, THUS STOP !!!\n"));
}

TEST(DriverModelChecks, BothFailReportsOnlyS) {
    const ProgramRun r =
        run_model(model("0.05,256", "0.5", "2", "1,2000,4000,100,1,2500,50,1,1000\n2,2500,3500,200,1,2000,100,1,0\n"),
                  "m.csv\n0\n");
    expect_stopped(r);
    EXPECT_TRUE(ends_with(r.console, indat_head + "  VS(NL).NE.VSMAX, THUS STOP !!!\n")) << r.console;
    EXPECT_EQ(r.console.find("VP(NL)"), std::string::npos);
}

// A refused value: the rule on console and log, then a stop.
void expect_refused(const ProgramRun& r, const std::string& rule) {
    expect_stopped(r);
    const std::string message = indat_head + "  " + rule + ", THUS STOP !!!\n";
    EXPECT_TRUE(ends_with(r.console, message)) << r.console;
    EXPECT_TRUE(ends_with(r.file("fort.10"), message)) << r.file("fort.10");
}

TEST(DriverRefusals, SamplingValues) {
    expect_refused(run_model(model("0.05,256", "0.5", "0", ""), "m.csv\n0\n"), "NL must be at least 1");
    expect_refused(run_model(model("0.05,256", "0.5", "-3", ""), "m.csv\n0\n"), "NL must be at least 1");
    expect_refused(run_model(model("0.,256", "0.5", "2", two_layers), "m.csv\n0\n"),
                   "DT must be a positive finite number");
    expect_refused(run_model(model("-0.05,256", "0.5", "2", two_layers), "m.csv\n0\n"),
                   "DT must be a positive finite number");
    expect_refused(run_model(model("1e999,256", "0.5", "2", two_layers), "m.csv\n0\n"),
                   "DT must be a positive finite number");
    expect_refused(run_model(model("0.05,256", "0", "2", two_layers), "m.csv\n0\n"),
                   "PERIOD must be a positive finite number");
    expect_refused(run_model(model("0.05,256", "-1.", "2", two_layers), "m.csv\n0\n"),
                   "PERIOD must be a positive finite number");
    expect_refused(run_model(model("1e300,256", "0.5", "2", two_layers), "m.csv\n0\n"),
                   "NOM=NT*DT/PERIOD must fit an integer");
}

TEST(DriverRefusals, DialogueAnswers) {
    const std::string csv = model("0.05,256", "0.5", "2", two_layers);
    expect_refused(run_model(csv, "m.csv\n1\n0\n"), "FCHK must be a positive finite number");
    expect_refused(run_model(csv, "m.csv\n1\n-2.\n"), "FCHK must be a positive finite number");
    const ProgramRun ncc = run_model(csv, "m.csv\n0\n0.001\n100\n0\n");
    expect_refused(ncc, "NCC must be at least 1");
    EXPECT_TRUE(ends_with(ncc.console, two_layer_range.substr(0, two_layer_range.find(" Increment")) + indat_head +
                                           "  NCC must be at least 1, THUS STOP !!!\n"));
    expect_refused(run_model(csv, "m.csv\n1\n1.0\n0.001\n100\n200\n3000\n0\n"), "NZINT must be at least 1");
    expect_refused(run_model(csv, "m.csv\n0\n1e999\n"), "TOL must be a positive finite number");
    // Answers that cannot give a useful run, refused at their prompt.
    expect_refused(run_model(csv, "m.csv\n2\n"), "ICHK must be 0 or 1");
    expect_refused(run_model(csv, "m.csv\n0\n0\n"), "TOL must be a positive finite number");
    expect_refused(run_model(csv, "m.csv\n0\n-0.001\n"), "TOL must be a positive finite number");
    expect_refused(run_model(csv, "m.csv\n0\n0.001\n0\n"), "ITMAX must be at least 1");
    expect_refused(run_model(csv, "m.csv\n1\n1.0\n0.001\n100\n200\n-1\n"), "DEP must not be negative");
    expect_refused(run_model(csv, "m.csv\n1\n1.0\n0.001\n100\n200\n3000\n701\n"), "NZINT must be at most 700");
}

// Frequencies the kernels cannot evaluate in doubles (wavenumbers that underflow or overflow
// when squared, omega itself overflowing) are refused up front; just inside the limits every
// file stays finite.
TEST(DriverRefusals, FrequenciesOutsideWhatTheModelCanBeEvaluatedAt) {
    const std::string csv = model("0.05,256", "0.5", "2", two_layers);
    const std::string range = "FCHK must be between 3.21492985E-098 and 1.45548178E+102 Hz for this model";
    for (const char* f : {"1e-300", "1e-98", "1e103", "1e308"})
        expect_refused(run_model(csv, "m.csv\n1\n" + std::string(f) + "\n"), range);
    expect_refused(
        run_model(model("1e100,256", "1e101", "2", two_layers), "m.csv\n0\n"),
        "The frequencies of DT, NT and PERIOD must be between 3.21492985E-098 and 1.45548178E+102 Hz for this model");
    for (const char* f : {"1e-97", "1.4e102"}) {
        const ProgramRun run = run_model(csv, "m.csv\n1\n" + std::string(f) + "\n0.001\n100\n200\n3000\n60\n");
        // At 1.4e102 Hz the layer holds far more Love modes than the table's 231, which the
        // mode count sees: the run stops there, as at any frequency with that many modes.
        const bool crowded = std::string(f) == "1.4e102";
        ASSERT_EQ(run.status, crowded ? 1 : 0) << f;
        if (crowded) {
            EXPECT_NE(run.console.find(" FROM PHASE: LOVE MODE.GT.230 !!!"), std::string::npos);
        }
        for (const auto& e : std::filesystem::directory_iterator(run.dir)) {
            const std::string text = read_file(e.path());
            EXPECT_EQ(text.find("NaN"), std::string::npos) << f << " " << e.path();
            EXPECT_EQ(text.find("Infinity"), std::string::npos) << f << " " << e.path();
        }
    }
}

// A model file that the run would write over is refused before anything is written, under
// its own name, as a link, or under another spelling.
TEST(DriverRefusals, ModelFileThatIsAnOutputOfTheRun) {
    const std::string csv = model("0.05,256", "0.5", "2", two_layers);
    for (const std::string name : {"fort.10", "om_dat", "Ldisper1.csv", "link", "./HoverV.csv"}) {
        const auto dir = scratch_dir("clash");
        const std::string file = name == "link" ? "mdl_dat" : name.substr(name.find_first_not_of("./"));
        write_file(dir / file, csv);
        if (name == "link") std::filesystem::create_symlink(dir / file, dir / name);
        const ProgramRun r = run_program(dir, name + "\n0\n0.001\n100\n20\n");
        EXPECT_EQ(r.status, 1) << name;
        EXPECT_TRUE(
            ends_with(r.console, indat_head + "  THE MODEL FILE IS THE OUTPUT FILE " + file + ", THUS STOP !!!\n"))
            << r.console;
        EXPECT_EQ(read_file(dir / file), csv) << name;
        EXPECT_FALSE(std::filesystem::exists(dir / (file == "fort.10" ? "om_dat" : "fort.10"))) << name;
    }
}

// Nothing an earlier run wrote is left to pass for this run's: neither a check run's own
// files after a normal run, nor the results of a complete run after a stopped one.
TEST(DriverRefusals, EarlierOutputsAreRemovedAtTheStart) {
    const auto dir = scratch_dir("stale");
    write_file(dir / "m.csv", model("0.05,256", "0.5", "2", two_layers));
    ASSERT_EQ(run_program(dir, "m.csv\n1\n1.0\n0.001\n100\n20\n3000\n20\n").status, 0);
    ASSERT_TRUE(std::filesystem::exists(dir / "vl1_dat"));
    ASSERT_EQ(run_program(dir, "m.csv\n0\n0.001\n100\n20\n").status, 0);
    for (const char* check_only : {"vl1_dat", "vzn_dat", "sclc_dat", "sec-Ray.csv", "Rstr.csv"})
        EXPECT_FALSE(std::filesystem::exists(dir / check_only)) << check_only;
    const ProgramRun stopped = run_program(dir, "m.csv\n0\n0\n");
    EXPECT_EQ(stopped.status, 1);
    for (const char* result : {"om_dat", "mdl_dat", "grpr_dat", "Ldisper1.csv", "HoverV.csv"})
        EXPECT_FALSE(std::filesystem::exists(dir / result)) << result;
    EXPECT_TRUE(std::filesystem::exists(dir / "m.csv"));
}

TEST(DriverRefusals, LayerValues) {
    auto with_first = [](const std::string& line) {
        return model("0.05,256", "0.5", "2", line + "\n2,2500,3500,200,1,2000,100,1,0\n");
    };
    expect_refused(run_model(with_first("1,0,1800,100,1,1000,50,1,1000"), "m.csv\n0\n"),
                   "RHO(1) must be a positive finite number");
    expect_refused(run_model(with_first("1,-2,1800,100,1,1000,50,1,1000"), "m.csv\n0\n"),
                   "RHO(1) must be a positive finite number");
    expect_refused(run_model(with_first("1,2000,1800,100,1,0,50,1,1000"), "m.csv\n0\n"),
                   "VS(1) must be a positive finite number");
    expect_refused(run_model(with_first("1,2000,1000,100,1,1000,50,1,1000"), "m.csv\n0\n"), "VP(1) must exceed VS(1)");
    expect_refused(run_model(with_first("1,2000,1800,100,1,1000,50,1,-1"), "m.csv\n0\n"),
                   "THK(1) must not be negative");
    expect_refused(run_model(with_first("1,2000,1800,100,1,1000,50,1,1e13"), "m.csv\n0\n"),
                   "THK(1) must be at most 1000000000000 m");
    expect_refused(run_model(with_first("1,1e999,1800,100,1,1000,50,1,1000"), "m.csv\n0\n"),
                   "RHO(1) must be a positive finite number");
    expect_refused(run_model(with_first("1,2000,1800,1e999,1,1000,50,1,1000"), "m.csv\n0\n"),
                   "QP(1) must be a finite number");
    expect_refused(
        run_model(model("0.05,256", "0.5", "2", "1,2000,1800,100,1,1000,50,1,1000\n2,2500,1e999,200,1,2000,100,1,0\n"),
                  "m.csv\n0\n"),
        "VP(2) must be a finite number");
}

TEST(DriverRefusals, WhatTheModelAllowsStillRuns) {
    // A zero thickness, a negative half-space thickness, 700 depth partitions.
    const ProgramRun r = run_model(model("0.05,256", "0.5", "3",
                                         "1,2000,1800,100,1,1000,50,1,0\n2,2000,1800,100,1,1000,50,1,1000\n"
                                         "3,2500,3500,200,1,2000,100,1,-5\n"),
                                   "m.csv\n1\n1.0\n0.001\n3\n20\n3000\n700\n");
    EXPECT_EQ(r.status, 0) << r.console << r.error;
    EXPECT_TRUE(ends_with(r.console, closing_notes + file_lines));
}

const std::string reading_tail = "lately reading sequential formatted external IO\n";

// The program waits at a prompt (its standard input stays open and silent) when the signal
// comes: it says so on the console and at the end of the log, and exits 128 + the signal.
ProgramRun interrupted(const std::string& answers, const std::string& prompt, const std::string& signal) {
    const auto dir = scratch_dir("signal");
    write_file(dir / "m.csv", model("0.05,256", "0.5", "2", two_layers));
    write_file(dir / "answers.in", answers);
    // Job control, so that the background job keeps the default handling of SIGINT; the
    // shell holds the input pipe open, so the program waits at its next prompt.
    write_file(dir / "run.sh", "set -m\nmkfifo in\n'" + std::string(VEMLARI_EXE) +
                                   "' < in > console.out 2> error.out &\npid=$!\nexec 3> in\ncat answers.in >&3\n"
                                   "for i in $(seq 1200); do grep -q '" +
                                   prompt +
                                   "' console.out && break; sleep 0.05; done\n"
                                   "kill -" +
                                   signal + " $pid\nwait $pid\necho $? > status\nexec 3>&-\n");
    EXPECT_EQ(std::system(("cd '" + dir.string() + "' && bash run.sh").c_str()), 0);
    ProgramRun r;
    r.dir = dir;
    r.status = std::stoi(read_file(dir / "status"));
    r.console = read_file(dir / "console.out");
    return r;
}

TEST(DriverStop, InterruptsAreReportedAndEndWithTheirStatus) {
    const ProgramRun at_name = interrupted("", "File Name", "INT");
    EXPECT_EQ(at_name.status, 130);
    EXPECT_TRUE(ends_with(at_name.console, name_prompt + " INTERRUPTED BY SIGINT, THUS STOP !!!\n")) << at_name.console;
    EXPECT_EQ(at_name.file("fort.10"), " INTERRUPTED BY SIGINT, THUS STOP !!!\n");
    const ProgramRun later = interrupted("m.csv\n0\n0.001\n", "Iterations", "TERM");
    EXPECT_EQ(later.status, 143);
    EXPECT_TRUE(ends_with(later.console, tol_itmax_prompts + " INTERRUPTED BY SIGTERM, THUS STOP !!!\n"))
        << later.console;
    EXPECT_TRUE(
        ends_with(later.file("fort.10"), " 2  2500.  3500.  2000.  0.\n INTERRUPTED BY SIGTERM, THUS STOP !!!\n"))
        << later.file("fort.10");
}

TEST(DriverStreamFailures, ModelFileCannotBeOpened) {
    const ProgramRun missing = run_model(model("0.05,256", "0.5", "2", two_layers), "nothere.csv\n0\n");
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.error,
              "open: No such file or directory\napparent state: unit 7 named nothere.csv\n" + reading_tail);
    EXPECT_EQ(missing.console, banner + name_prompt);

    // A directory opens, and would read as an empty file; a NUL byte would cut the name short.
    std::filesystem::create_directory(missing.dir / "d.csv");
    const ProgramRun folder = run_program(missing.dir, "d.csv\n0\n");
    EXPECT_EQ(folder.status, 2);
    EXPECT_EQ(folder.error, "open: Is a directory\napparent state: unit 7 named d.csv\n" + reading_tail);
    write_file(missing.dir / "m", "not the model");
    const ProgramRun nul = run_program(missing.dir, std::string("m\0.csv\n0\n", 9));
    EXPECT_EQ(nul.status, 2);
    EXPECT_EQ(nul.error.substr(0, nul.error.find('\n')), "open: file name holds a NUL byte");

    const ProgramRun blank = run_model(model("0.05,256", "0.5", "2", two_layers), "    \n0\n");
    EXPECT_EQ(blank.status, 2);
    EXPECT_EQ(blank.error, "open: null file name\napparent state: unit 7 (unnamed)\n" + reading_tail);
    EXPECT_EQ(blank.console, banner + name_prompt);
}

TEST(DriverStreamFailures, MalformedValuesInTheModelFile) {
    const std::string tail = "\napparent state: unit 7 named m.csv\n" + reading_tail;
    const ProgramRun real = run_model(model("0.05,256", "0.5x", "2", two_layers), "m.csv\n0\n");
    EXPECT_EQ(real.status, 2);
    EXPECT_EQ(real.error, "invalid number: read unexpected character" + tail);
    EXPECT_EQ(real.console, banner + name_prompt + "\n Delta Time (s) =  0.05, Number of Time = 256\n");

    const ProgramRun integer = run_model(model("0.01,1024.", "0.5", "2", two_layers), "m.csv\n0\n");
    EXPECT_EQ(integer.status, 2);
    EXPECT_EQ(integer.error, "invalid integer: read unexpected character" + tail);
    EXPECT_EQ(integer.console, banner + name_prompt);

    const ProgramRun text = run_model(model("0.05,256", "0.5", "two", two_layers), "m.csv\n0\n");
    EXPECT_EQ(text.status, 2);
    EXPECT_EQ(text.error, "list in: incomprehensible list input" + tail);

    const ProgramRun wide = run_model(model("0.05,4294967296", "0.5", "2", two_layers), "m.csv\n0\n");
    EXPECT_EQ(wide.status, 2);
    EXPECT_EQ(wide.error, "invalid integer: integer out of range" + tail);

    // Trailing empty fields, as a spreadsheet writes them, are harmless.
    const ProgramRun fields =
        run_model(model("0.05,256,,,,", "0.5,,,", "2,,", two_layers), "m.csv\n0\n0.001\n100\n200\n");
    EXPECT_EQ(fields.status, 0);
    EXPECT_NE(fields.console.find(" Delta Time (s) =  0.05, Number of Time = 256\n"), std::string::npos);
}

TEST(DriverStreamFailures, PrematureEndOfTheModelFile) {
    const ProgramRun r = run_model(model("0.05,256", "0.5", "2", "1,2000,1800,100,1,1000,50,1,1000\n"), "m.csv\n0\n");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.error, "list in: end of file\napparent state: unit 7 named m.csv\n" + reading_tail);
    EXPECT_TRUE(ends_with(r.console, layer_heading + " 1  2000.  1800.  100.  1.  1000.  50.  1.  1000.\n"));
    EXPECT_EQ(r.console.find("Data \"mdl_dat"), std::string::npos);
    // The log records already written stay written.
    EXPECT_EQ(r.file("fort.10"), two_layer_log_start + " IOM,NOM,DOM= 0 25  0.490873852\n");
}

TEST(DriverStreamFailures, EndOfKeyboardInput) {
    const std::string csv = model("0.05,256", "0.5", "2", two_layers);
    const ProgramRun none = run_model(csv, "");
    EXPECT_EQ(none.status, 2);
    EXPECT_EQ(none.error, "read start: end of file\napparent state: unit 5 (unnamed)\n" + reading_tail);
    EXPECT_EQ(none.console, banner + name_prompt);

    const ProgramRun early = run_model(csv, "m.csv\n0\n0.001\n");
    EXPECT_EQ(early.status, 2);
    EXPECT_EQ(early.error, "list in: end of file\napparent state: unit 5 (unnamed)\n" + reading_tail);
    EXPECT_TRUE(ends_with(early.console, tol_itmax_prompts)) << early.console;
}

TEST(DriverFileName, LongNameIsUsedWhole) {
    const auto dir = scratch_dir("e2e-name");
    const std::string name = "a_rather_long_model_file_name.csv";
    write_file(dir / name, model("0.05,256", "0.5", "2", two_layers));
    // What a cut at 20 characters would open instead.
    write_file(dir / name.substr(0, 20), "not a model\n");
    const ProgramRun r = run_program(dir, name + "\n0\n0.001\n100\n200\n");
    EXPECT_EQ(r.status, 0) << r.error;
    EXPECT_EQ(dialogue(r), two_layer_start + " Number of Layers= 2\n" + layer_heading + two_layer_echo +
                               tol_itmax_prompts + two_layer_bounds + two_layer_range + " 25 0\n");
}

TEST(DriverFileName, LeadingBlanksBelongToTheNameTrailingOnesDoNot) {
    const auto dir = scratch_dir("e2e-blanks");
    write_file(dir / "  lead.csv", model("0.05,256", "0.5", "2", two_layers));
    const ProgramRun lead = run_program(dir, "  lead.csv   \n0\n0.001\n100\n200\n");
    EXPECT_EQ(lead.status, 0) << lead.error;

    const ProgramRun bare = run_program(dir, "lead.csv\n0\n0.001\n100\n200\n");
    EXPECT_EQ(bare.status, 2);
    EXPECT_EQ(bare.error, "open: No such file or directory\napparent state: unit 7 named lead.csv\n" + reading_tail);

    const ProgramRun crlf = run_program(dir, "  lead.csv\r\n0\r\n0.001\r\n100\r\n200\r\n");
    EXPECT_EQ(crlf.status, 0) << crlf.error;
}

TEST(DriverFileName, CrLfModelFileAndAnswers) {
    std::string csv = model("0.05,256", "0.5", "2", two_layers);
    for (std::size_t at = csv.find('\n'); at != std::string::npos; at = csv.find('\n', at + 2)) csv.insert(at, 1, '\r');
    const ProgramRun r = run_model(csv, "m.csv\r\n0\r\n0.001\r\n100\r\n200\r\n");
    EXPECT_EQ(r.status, 0) << r.error;
    EXPECT_EQ(dialogue(r), two_layer_start + " Number of Layers= 2\n" + layer_heading + two_layer_echo +
                               tol_itmax_prompts + two_layer_bounds + two_layer_range + " 25 0\n");
}

TEST(DriverStreamFailures, ConsoleThatCannotBeWritten) {
    const auto dir = scratch_dir("e2e-full");
    write_file(dir / "two_layer.csv", read_file(testing::examples_dir() / "two_layer.csv"));
    write_file(dir / "answers.in", read_file(testing::examples_dir() / "two_layer.answers"));
    const std::string cmd = "cd '" + dir.string() + "' && '" + VEMLARI_EXE + "' < answers.in > /dev/full 2> error.out";
    const int raw = std::system(cmd.c_str());
    ASSERT_TRUE(WIFEXITED(raw));
    EXPECT_EQ(WEXITSTATUS(raw), 2);
    EXPECT_EQ(read_file(dir / "error.out"),
              "write: can't write file\napparent state: unit 6 (unnamed)\n"
              "lately writing sequential formatted external IO\n");
}

TEST(DriverDepth, ShallowDepthWarnsAndTheRunGoesOn) {
    const ProgramRun r =
        run_model(model("0.05,256", "0.5", "2", two_layers), "m.csv\n1\n1.0\n0.001\n100\n200\n500\n20\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(ends_with(dialogue(r), secular_note + depth_prompt +
                                           "\n  Depth is smaller than the thichness of 1st layer !\n" + nzint_prompt +
                                           eigen_note))
        << r.console;
    EXPECT_TRUE(ends_with(r.console, closing_notes + file_lines));
}

TEST(DriverDataFiles, StaleLongerFilesHoldOnlyThisRun) {
    const auto dir = scratch_dir("e2e-unk");
    write_file(dir / "two_layer.csv", read_file(testing::examples_dir() / "two_layer.csv"));
    const std::string stale(20000, 'x');
    write_file(dir / "fort.10", stale);
    write_file(dir / "om_dat", stale);
    const ProgramRun r = run_program(dir, read_file(testing::examples_dir() / "two_layer.answers"));
    EXPECT_EQ(r.status, 0);
    const std::string log = r.file("fort.10");
    EXPECT_EQ(log.rfind(" FROM indat:\n", 0), 0u);
    EXPECT_EQ(log.find('x'), std::string::npos);
    const std::string om = r.file("om_dat");
    EXPECT_EQ(om.find('x'), std::string::npos);
    // One angular frequency per index 0 .. 25.
    EXPECT_EQ(std::count(om.begin(), om.end(), '\n'), 26);

    // A stopped run replaces the log too.
    write_file(dir / "fort.10", stale);
    const ProgramRun stop = run_program(dir, "two_layer.csv\n1\n0\n");
    EXPECT_EQ(stop.status, 1);
    EXPECT_EQ(stop.file("fort.10").find('x'), std::string::npos);
}

}  // namespace
}  // namespace vemlari
