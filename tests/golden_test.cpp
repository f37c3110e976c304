// Complete outputs of every example run (console, log and all files) against the committed
// golden copies, byte for byte. Set VEMLARI_UPDATE_GOLDEN=1 to rewrite the copies after a
// deliberate change, then check the differences before committing them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

#include "run_helpers.h"

namespace vemlari {
namespace {

namespace fs = std::filesystem;
using testing::read_file;
using testing::run_example;
using testing::write_file;

struct GoldenCase {
    const char* model;
    const char* answers;
};

class Golden : public ::testing::TestWithParam<GoldenCase> {};

std::set<std::string> outputs(const fs::path& dir, const std::string& model) {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) {
        const std::string n = e.path().filename().string();
        if (n != "answers.in" && n != model + ".csv" && n != "error.out") names.insert(n);
    }
    return names;
}

TEST_P(Golden, FreshRunMatchesCommittedOutputs) {
    const GoldenCase& c = GetParam();
    const auto run = run_example(c.model, c.answers);
    ASSERT_EQ(run.status, 0) << run.error;
    EXPECT_EQ(run.error, "");
    std::string tag = c.answers;
    tag = tag.substr(0, tag.find('.'));
    const fs::path golden = fs::path(VEMLARI_SOURCE_DIR) / "tests" / "golden" / tag;
    const auto produced = outputs(run.dir, c.model);
    if (std::getenv("VEMLARI_UPDATE_GOLDEN") != nullptr) {
        fs::remove_all(golden);
        fs::create_directories(golden);
        for (const auto& n : produced) fs::copy_file(run.dir / n, golden / n);
    }
    ASSERT_TRUE(fs::exists(golden)) << golden;
    std::set<std::string> expected;
    for (const auto& e : fs::directory_iterator(golden)) expected.insert(e.path().filename().string());
    EXPECT_EQ(produced, expected);
    for (const auto& n : expected) {
        EXPECT_TRUE(read_file(run.dir / n) == read_file(golden / n)) << tag << ": " << n << " differs";
    }
    fs::remove_all(run.dir);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, Golden,
    ::testing::Values(GoldenCase{"two_layer", "two_layer.answers"}, GoldenCase{"two_layer", "two_layer_check.answers"},
                      GoldenCase{"crust", "crust.answers"}, GoldenCase{"crust", "crust_check.answers"},
                      GoldenCase{"soil", "soil.answers"}, GoldenCase{"soil", "soil_check.answers"},
                      GoldenCase{"halfspace", "halfspace.answers"}, GoldenCase{"low_velocity", "low_velocity.answers"},
                      GoldenCase{"low_velocity", "low_velocity_check.answers"}),
    [](const auto& info) {
        std::string s = info.param.answers;
        s = s.substr(0, s.find('.'));
        for (char& ch : s)
            if (ch == '-') ch = '_';
        return s;
    });

}  // namespace
}  // namespace vemlari
