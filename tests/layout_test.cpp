#include "records/layout.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace vemlari {
namespace {

struct Collect : RecordSink {
    std::vector<std::string> records;
    std::string last_layout;
    void put(int, std::string_view record, std::string_view layout) override {
        records.emplace_back(record);
        last_layout = layout;
    }
};

std::vector<std::string> run(const char* tmpl, std::initializer_list<LayoutValue> values) {
    Collect c;
    const Layout layout(tmpl);
    layout.write(c, unit::console, values);
    EXPECT_EQ(c.last_layout, tmpl);
    return c.records;
}

using Lines = std::vector<std::string>;

TEST(Layout, DataFileRowsEndWithCommaUnlessGroupExhausted) {
    const Layout row("(F8.4,500(',',E12.4))");
    std::vector<LayoutValue> v{0.25, 1.5, -2.0};
    Collect c;
    row.write(c, 20, v);
    ASSERT_EQ(c.records.size(), 1u);
    EXPECT_EQ(c.records[0], "  0.2500,  0.1500E+01, -0.2000E+01,");

    v.assign(501, LayoutValue(1.0));
    row.write(c, 20, v);
    ASSERT_EQ(c.records.size(), 2u);
    std::string full = "  1.0000";
    for (int k = 0; k < 500; ++k) full += ",  0.1000E+01";
    EXPECT_EQ(c.records[1], full);
}

TEST(Layout, Headings) {
    EXPECT_EQ(run("('Freq (Hz)',500(',C',I3))", {1, 2, 3}), Lines{"Freq (Hz),C  1,C  2,C  3,C"});
    EXPECT_EQ(run("('depth (km)',400(',',I3,' mode'))", {2, 1, 0}), Lines{"depth (km),  2 mode,  1 mode,  0 mode,"});
    EXPECT_EQ(run("('depth (km)',400(',',I3,' mode (h),',I3,' mode (v)'))", {0, 0}),
              Lines{"depth (km),  0 mode (h),  0 mode (v),"});
}

TEST(Layout, FourFieldsNoTrailingComma) {
    EXPECT_EQ(run("(E15.7,3(',',E15.7))", {1.0, -2.0, 0.0, 123.4567}),
              Lines{"  0.1000000E+01, -0.2000000E+01,  0.0000000E+00,  0.1234567E+03"});
    EXPECT_EQ(run("(E15.7)", {0.99999999}), Lines{"  0.1000000E+01"});
    EXPECT_EQ(run("(I5)", {-42}), Lines{"  -42"});
}

TEST(Layout, SlashesAndBanner) {
    EXPECT_EQ(run("(/, ' x')", {}), (Lines{"", " x"}));
    EXPECT_EQ(run("(/,/,' \"vemlari\" computes the normal mode solutions',/,"
                  "'   (the phase and group velocities, and eigen vectors of',/,"
                  "'    the Love and Rayleigh waves).')",
                  {}),
              (Lines{"", "", " \"vemlari\" computes the normal mode solutions",
                     "   (the phase and group velocities, and eigen vectors of", "    the Love and Rayleigh waves)."}));
    EXPECT_EQ(run("(/,' VSMAX, VPMAX =',2F9.3)", {3500.0, 6000.0}), (Lines{"", " VSMAX, VPMAX = 3500.000 6000.000"}));
    EXPECT_EQ(run("('a'//'b')", {}), (Lines{"a", "", "b"}));
    EXPECT_EQ(run("(/'x')", {}), (Lines{"", "x"}));
    EXPECT_EQ(run("('it''s')", {}), Lines{"it's"});
}

TEST(Layout, ConsoleProgressLine) {
    EXPECT_EQ(run("(' Mode,Iter,Phase Vel,Amp=',I3,I5,F9.2,F9.3)", {2, 17, 3456.789, 0.0004}),
              Lines{" Mode,Iter,Phase Vel,Amp=  2   17  3456.79    0.000"});
    EXPECT_EQ(run("(' f =',F10.5,' c =',F8.3)", {0.1, -0.0}), Lines{" f =   0.10000 c =   0.000"});
}

TEST(Layout, ValuesUsedUp) {
    // A template that starts with a data item and gets no values: one empty record.
    EXPECT_EQ(run("(E15.7)", {}), Lines{""});
    EXPECT_EQ(run("(I3,' tail')", {}), Lines{""});
    // Texts after the last used field are still written up to the next data item.
    EXPECT_EQ(run("(I3,' a',/,' b',I3,' c')", {1}), (Lines{"  1 a", " b"}));
}

TEST(Layout, ExtraValuesRestartAtLastGroup) {
    EXPECT_EQ(run("(I3,2(',',I2),';')", {1, 2, 3, 4, 5, 6}), (Lines{"  1, 2, 3;", ", 4, 5;", ", 6,"}));
    // Without a group the walk starts over from the beginning.
    EXPECT_EQ(run("('x',I2)", {1, 2, 3}), (Lines{"x 1", "x 2", "x 3"}));
    // The last group of the outermost list, not a nested one.
    EXPECT_EQ(run("(1('a',I1),2('b',1('c',I1)))", {1, 2, 3, 4, 5}), (Lines{"a1bc2bc3", "bc4bc5"}));
}

TEST(Layout, WrongValueTypeIsAProgrammingError) {
    Collect c;
    EXPECT_THROW(Layout("(I3)").write(c, 6, {1.5}), std::logic_error);
    EXPECT_THROW(Layout("(F8.3)").write(c, 6, {3}), std::logic_error);
    EXPECT_THROW(Layout("(E12.4)").write(c, 6, {3}), std::logic_error);
    // Values that no data item can take.
    EXPECT_THROW(Layout("('x')").write(c, 6, {3}), std::logic_error);
}

TEST(Layout, MalformedTemplatesAreRejected) {
    for (const char* bad :
         {"I3", "(I3", "(I3,)", "(I3 F8.3)", "(X3)", "('open)", "(F8)", "(E12.0)", "(0I3)", "(I3))", "(I0)"})
        EXPECT_THROW(Layout{bad}, std::invalid_argument) << bad;
    EXPECT_NO_THROW(Layout{"()"});
}

}  // namespace
}  // namespace vemlari
