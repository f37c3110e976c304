// Runs with one thread and with several write the same bytes: console, error stream, log and
// every file, for every example in normal and check mode and for models that stop early.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>
#include <string>

#include "program/run.h"
#include "run_helpers.h"

namespace vemlari {
namespace {

namespace fs = std::filesystem;
using testing::examples_dir;
using testing::read_file;
using testing::scratch_dir;
using testing::write_file;

struct Outcome {
    int status;
    std::map<std::string, std::string> files;  // console and error streams included
};

Outcome run_with(int threads, const std::string& model_csv, const std::string& answers) {
    const fs::path dir = scratch_dir("threads");
    write_file(dir / "model.csv", model_csv);
    std::istringstream keyboard(answers);
    std::ostringstream console, error;
    Outcome o;
    o.status = run_vemlari(keyboard, console, error, dir, threads);
    o.files["<console>"] = console.str();
    o.files["<error>"] = error.str();
    for (const auto& e : fs::directory_iterator(dir)) o.files[e.path().filename().string()] = read_file(e.path());
    fs::remove_all(dir);
    return o;
}

// The example's answers with the model file name replaced.
std::string answers_for(const std::string& answers_file) {
    std::string a = read_file(examples_dir() / answers_file);
    return "model.csv" + a.substr(a.find('\n'));
}

void expect_same_for_thread_counts(const std::string& model_csv, const std::string& answers) {
    const Outcome one = run_with(1, model_csv, answers);
    for (int threads : {2, 3, 5}) {
        const Outcome many = run_with(threads, model_csv, answers);
        EXPECT_EQ(one.status, many.status) << threads;
        ASSERT_EQ(one.files.size(), many.files.size()) << threads;
        for (const auto& [name, text] : one.files) {
            EXPECT_TRUE(many.files.count(name) && many.files.at(name) == text)
                << name << " with " << threads << " threads";
        }
    }
}

TEST(ThreadCounts, EveryExampleInNormalAndCheckMode) {
    const std::pair<const char*, const char*> cases[] = {
        {"two_layer", "two_layer.answers"}, {"two_layer", "two_layer_check.answers"},
        {"crust", "crust.answers"},         {"crust", "crust_check.answers"},
        {"soil", "soil.answers"},           {"soil", "soil_check.answers"},
        {"halfspace", "halfspace.answers"}};
    for (const auto& [model, answers] : cases) {
        SCOPED_TRACE(answers);
        expect_same_for_thread_counts(read_file(examples_dir() / (std::string(model) + ".csv")), answers_for(answers));
    }
}

// Several scans per frequency (one from the top of each slow layer), all of them batched.
TEST(ThreadCounts, SlowLayerExampleAlike) {
    for (const char* answers : {"low_velocity.answers", "low_velocity_check.answers"}) {
        SCOPED_TRACE(answers);
        expect_same_for_thread_counts(read_file(examples_dir() / "low_velocity.csv"), answers_for(answers));
    }
}

TEST(ThreadCounts, WarningsStopsAndNonConvergence) {
    const std::string head = "t\nh\n0.05,256\nx\n0.5\n\n\n";
    // Nothing converges: every candidate writes its messages to console and log.
    expect_same_for_thread_counts(head + "2\nh\n1,2000,1800,100,1,1000,50,1,1000\n2,2500,3500,200,1,2000,100,1,0\n",
                                  "model.csv\n0\n1e-300\n30\n100\n");
    // Equal S velocities: no Love range at all.
    expect_same_for_thread_counts(head + "2\nh\n1,2000,1800,100,1,1000,50,1,100\n2,2500,3500,200,1,1000,100,1,0\n",
                                  "model.csv\n0\n0.001\n100\n50\n");
    // A stop in the model reader and a stream failure.
    expect_same_for_thread_counts(head + "2\nh\n1,2000,1800,100,1,3000,50,1,100\n2,2500,3500,200,1,2000,100,1,0\n",
                                  "model.csv\n0\n0.001\n100\n50\n");
    expect_same_for_thread_counts(head + "2\nh\n1,2000,1800,100,1,1000,50,1,100\n", "model.csv\n0\n0.001\n100\n50\n");
}

TEST(ThreadCounts, ModeLimitStopsTheRunAlike) {
    // A 100 km layer at 1.5 Hz traps about 290 Love modes: more than the table holds.
    const std::string model =
        "t\nh\n0.05,256\nx\n0.5\n\n\n2\nh\n1,2000,1800,100,1,1000,50,1,100000\n2,2500,9000,200,1,5000,100,1,0\n";
    const std::string answers = "model.csv\n1\n1.5\n0.001\n100\n4000\n1000\n10\n";
    const Outcome one = run_with(1, model, answers);
    EXPECT_EQ(one.status, 1);
    const std::string& console = one.files.at("<console>");
    EXPECT_EQ(console.substr(console.size() - 46), "  FROM PHASE: LOVE MODE.GT.230 !!!!!!!!!!!!!!\n");
    EXPECT_EQ(console.find("Data \"mdl_dat"), std::string::npos);
    expect_same_for_thread_counts(model, answers);
}

}  // namespace
}  // namespace vemlari
