#include "records/free_form.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vemlari {
namespace {

struct Collect : RecordSink {
    std::vector<std::string> records;
    void put(int unit, std::string_view record, std::string_view layout) override {
        EXPECT_EQ(unit, unit::log);
        EXPECT_TRUE(layout.empty());
        records.emplace_back(record);
    }
};

TEST(FreeForm, TextsAndNumbers) {
    Collect c;
    write_free(c, unit::log, {"Delta Time (s) =", 0.01, ", Number of Time =", 1024});
    ASSERT_EQ(c.records.size(), 1u);
    EXPECT_EQ(c.records[0], " Delta Time (s) =  0.01, Number of Time = 1024");
}

TEST(FreeForm, EmptyStatementWritesEmptyRecord) {
    Collect c;
    write_free(c, unit::log, {});
    ASSERT_EQ(c.records.size(), 1u);
    EXPECT_EQ(c.records[0], "");
}

TEST(FreeForm, ComplexItem) {
    Collect c;
    write_free(c, unit::log, {std::complex<double>{5.0e-16, 0.0}});
    write_free(c, unit::log, {"det =", std::complex<double>{-2.5, -0.0}});
    EXPECT_EQ(c.records[0], " (5.E-016,0.)");
    EXPECT_EQ(c.records[1], " det = (-2.5,0.)");
}

TEST(FreeForm, NineRealsWrapBefore80) {
    Collect c;
    const double v = 0.123456789;  // image "  0.123456789", 13 characters
    write_free(c, unit::log, {v, v, v, v, v, v, v, v, v});
    ASSERT_EQ(c.records.size(), 2u);
    std::string six, three;
    for (int k = 0; k < 6; ++k) six += "  0.123456789";
    for (int k = 0; k < 3; ++k) three += "  0.123456789";
    EXPECT_EQ(c.records[0], six);  // 78 characters: a seventh would reach 91
    EXPECT_EQ(c.records[1], three);
}

TEST(FreeForm, WrapCountsItemLengths) {
    Collect c;
    const std::string a70(70, 'a');
    const std::string_view t70 = a70;
    // 71 + 8 digits = 79 stays; the blank of the integer brings the record to 80.
    write_free(c, unit::log, {t70, 12345678});
    ASSERT_EQ(c.records.size(), 1u);
    EXPECT_EQ(c.records[0].size(), 80u);
    // 71 + 9 digits = 80 wraps, and the integer starts the new record with its blank.
    write_free(c, unit::log, {t70, -123456789});
    ASSERT_EQ(c.records.size(), 3u);
    EXPECT_EQ(c.records[1], " " + a70);
    EXPECT_EQ(c.records[2], " -123456789");
    // A text that starts a wrapped record gets its blank.
    const std::string b9(9, 'b');
    const std::string_view t9 = b9;
    write_free(c, unit::log, {t70, t9});
    ASSERT_EQ(c.records.size(), 5u);
    EXPECT_EQ(c.records[4], " " + b9);
    write_free(c, unit::log, {t70, t9.substr(0, 8)});
    ASSERT_EQ(c.records.size(), 6u);
    EXPECT_EQ(c.records[5], " " + a70 + b9.substr(0, 8));
    // The first item never wraps, however long.
    const std::string c100(100, 'c');
    const std::string_view t100 = c100;
    write_free(c, unit::log, {t100});
    ASSERT_EQ(c.records.size(), 7u);
    EXPECT_EQ(c.records[6], " " + c100);
}

}  // namespace
}  // namespace vemlari
