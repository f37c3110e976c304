// Free-form input: separators, empty values, slash, repeat counts, exponents, line
// handling and the error reports of a failed read, on the keyboard and on a model file.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>

#include "program/list_input.h"
#include "records/run_stop.h"
#include "records/streams.h"
#include "run_helpers.h"

namespace vemlari {
namespace {

using testing::scratch_dir;
using testing::write_file;

struct Keyboard {
    explicit Keyboard(const std::string& text) : in(text), st(in, out, err, scratch_dir("list-input")) {}
    std::istringstream in;
    std::ostringstream out;
    std::ostringstream err;
    Streams st;
};

// The report a failed read throws; empty when the read succeeded.
template <class F>
std::string failure_of(F&& f) {
    try {
        f();
    } catch (const StreamFailure& e) {
        return e.report();
    }
    return {};
}

std::string keyboard_report(const std::string& first_line) {
    return first_line + "\napparent state: unit 5 (unnamed)\nlately reading sequential formatted external IO\n";
}

TEST(ListInputSeparators, CommaBlankTabAndLineEnd) {
    Keyboard k("1,2 3\t4\n5\n");
    int a = 0, b = 0, c = 0, d = 0, e = 0;
    read_list(k.st, unit::keyboard, {a, b, c, d, e});
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 2);
    EXPECT_EQ(c, 3);
    EXPECT_EQ(d, 4);
    EXPECT_EQ(e, 5);
}

TEST(ListInputSeparators, CommaWithBlanksIsOneSeparator) {
    Keyboard k("  1 ,  2\t,\t3 ,4\n");
    int a = 0, b = 0, c = 0, d = 0;
    read_list(k.st, unit::keyboard, {a, b, c, d});
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 2);
    EXPECT_EQ(c, 3);
    EXPECT_EQ(d, 4);
}

TEST(ListInputSeparators, LineEndThenCommaIsOneSeparator) {
    Keyboard k("1\n,2\n");
    int a = 0, b = 0;
    read_list(k.st, unit::keyboard, {a, b});
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 2);
}

TEST(ListInputEmptyValues, TwoCommasKeepTheOldValue) {
    Keyboard k("1,,3\n,5,\n7,,,8\n");
    int a = -1, b = -2, c = -3;
    read_list(k.st, unit::keyboard, {a, b, c});
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, -2);
    EXPECT_EQ(c, 3);
    // A comma at the start of a read is an empty first value.
    double x = 9.5, y = 0.0;
    read_list(k.st, unit::keyboard, {x, y});
    EXPECT_EQ(x, 9.5);
    EXPECT_EQ(y, 5.0);
    // Three commas: two empty values in a row.
    int p = 0, q = 42, r = 43, s = 0;
    read_list(k.st, unit::keyboard, {p, q, r, s});
    EXPECT_EQ(p, 7);
    EXPECT_EQ(q, 42);
    EXPECT_EQ(r, 43);
    EXPECT_EQ(s, 8);
}

TEST(ListInputEmptyValues, CommaAtLineEndThenCommaIsEmpty) {
    Keyboard k("1,\n,2\n");
    int a = 0, b = 77, c = 0;
    read_list(k.st, unit::keyboard, {a, b, c});
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 77);
    EXPECT_EQ(c, 2);
}

TEST(ListInputSlash, EndsTheReadAndTheRestKeepValues) {
    Keyboard k("1, 2.5 / 9, 9\n3\n4/\n/\n6\n");
    int a = 0;
    double b = 0.0, c = -1.0;
    int d = -2;
    read_list(k.st, unit::keyboard, {a, b, c, d});
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 2.5);
    EXPECT_EQ(c, -1.0);
    EXPECT_EQ(d, -2);
    // The rest of the line after the slash is gone: the next read takes "3".
    int e = 0;
    read_list(k.st, unit::keyboard, {e});
    EXPECT_EQ(e, 3);
    int f = 0, g = 11;
    read_list(k.st, unit::keyboard, {f, g});
    EXPECT_EQ(f, 4);
    EXPECT_EQ(g, 11);
    int h = 12;
    read_list(k.st, unit::keyboard, {h});
    EXPECT_EQ(h, 12);
    read_list(k.st, unit::keyboard, {h});
    EXPECT_EQ(h, 6);
}

TEST(ListInputRepeat, CountTimesValueAndCountTimesNull) {
    Keyboard k("3*7,2.5\n2*,1\n2*1.5D1 4\n");
    int a = 0, b = 0, c = 0;
    double d = 0.0;
    read_list(k.st, unit::keyboard, {a, b, c, d});
    EXPECT_EQ(a, 7);
    EXPECT_EQ(b, 7);
    EXPECT_EQ(c, 7);
    EXPECT_EQ(d, 2.5);
    int p = 5, q = 6, r = 0;
    read_list(k.st, unit::keyboard, {p, q, r});
    EXPECT_EQ(p, 5);
    EXPECT_EQ(q, 6);
    EXPECT_EQ(r, 1);
    double x = 0.0, y = 0.0, z = 0.0;
    read_list(k.st, unit::keyboard, {x, y, z});
    EXPECT_EQ(x, 15.0);
    EXPECT_EQ(y, 15.0);
    EXPECT_EQ(z, 4.0);
}

TEST(ListInputRepeat, RepeatLongerThanTheListEndsWithTheList) {
    Keyboard k("5*2\n8\n");
    int a = 0, b = 0;
    read_list(k.st, unit::keyboard, {a, b});
    EXPECT_EQ(a, 2);
    EXPECT_EQ(b, 2);
    read_list(k.st, unit::keyboard, {a});
    EXPECT_EQ(a, 8);
}

TEST(ListInputNumbers, RealFormsWithEAndDExponents) {
    Keyboard k("1.5D3 2.5e-3 -4E+2 +.5 7 1.d0 3.25d-2 1e999\n");
    double v[8] = {};
    read_list(k.st, unit::keyboard, {v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]});
    EXPECT_EQ(v[0], 1500.0);
    EXPECT_EQ(v[1], 0.0025);
    EXPECT_EQ(v[2], -400.0);
    EXPECT_EQ(v[3], 0.5);
    EXPECT_EQ(v[4], 7.0);
    EXPECT_EQ(v[5], 1.0);
    EXPECT_EQ(v[6], 0.0325);
    // Too large for a double: read as infinity, refused later by the model checks.
    EXPECT_TRUE(std::isinf(v[7]));
}

TEST(ListInputNumbers, IntegerSignsAndLimits) {
    Keyboard k("-2147483648 +2147483647 -0\n");
    int a = 0, b = 0, c = 5;
    read_list(k.st, unit::keyboard, {a, b, c});
    EXPECT_EQ(a, -2147483647 - 1);
    EXPECT_EQ(b, 2147483647);
    EXPECT_EQ(c, 0);
}

TEST(ListInputNumbers, IntegerWithPointOrExponentIsRefused) {
    for (const char* text : {"1024.\n", "1e3\n", "10D2\n", "12x\n", "1.5\n", "-\n"}) {
        Keyboard k(text);
        int n = 0;
        EXPECT_EQ(failure_of([&] { read_list(k.st, unit::keyboard, {n}); }),
                  keyboard_report("invalid integer: read unexpected character"))
            << text;
    }
}

TEST(ListInputNumbers, IntegerBeyond32BitsIsRefused) {
    for (const char* text : {"2147483648\n", "-2147483649\n", "99999999999999999999999\n"}) {
        Keyboard k(text);
        int n = 0;
        EXPECT_EQ(failure_of([&] { read_list(k.st, unit::keyboard, {n}); }),
                  keyboard_report("invalid integer: integer out of range"))
            << text;
    }
}

TEST(ListInputNumbers, MalformedRealIsRefused) {
    for (const char* text : {"1.5x\n", "1.5E\n", "2.0e+\n", ".\n", "1..2\n", "+\n"}) {
        Keyboard k(text);
        double x = 0.0;
        EXPECT_EQ(failure_of([&] { read_list(k.st, unit::keyboard, {x}); }),
                  keyboard_report("invalid number: read unexpected character"))
            << text;
    }
}

TEST(ListInputNumbers, TextWhereAValueIsNeeded) {
    for (const char* text : {"abc\n", "y\n", "dt,nt\n"}) {
        Keyboard k(text);
        double x = 0.0;
        EXPECT_EQ(failure_of([&] { read_list(k.st, unit::keyboard, {x}); }),
                  keyboard_report("list in: incomprehensible list input"))
            << text;
    }
}

TEST(ListInputLines, ShortLineContinuesAndRestOfLineIsDiscarded) {
    Keyboard k("\n1\n\n2, 3, 4, junk that is never looked at\n5\n");
    int a = 0, b = 0;
    read_list(k.st, unit::keyboard, {a, b});
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 2);
    int c = 0;
    read_list(k.st, unit::keyboard, {c});
    EXPECT_EQ(c, 5);
}

TEST(ListInputLines, TrailingEmptyFieldsReadLikeTheBareValues) {
    Keyboard k("0.01,1024,,,,\n7\n");
    double dt = 0.0;
    int nt = 0;
    read_list(k.st, unit::keyboard, {dt, nt});
    EXPECT_EQ(dt, 0.01);
    EXPECT_EQ(nt, 1024);
    int next = 0;
    read_list(k.st, unit::keyboard, {next});
    EXPECT_EQ(next, 7);
}

TEST(ListInputLines, CrLfLineEnds) {
    Keyboard k("0.01,1024\r\n1024\r\n3\r\n,\r\n4\r\nname.csv  \r\n");
    double dt = 0.0;
    int nt = 0;
    read_list(k.st, unit::keyboard, {dt, nt});
    EXPECT_EQ(dt, 0.01);
    EXPECT_EQ(nt, 1024);
    int n = 0;
    read_list(k.st, unit::keyboard, {n});
    EXPECT_EQ(n, 1024);
    int a = 0, b = 0;
    read_list(k.st, unit::keyboard, {a, b});
    EXPECT_EQ(a, 3);
    EXPECT_EQ(b, 4);
    EXPECT_EQ(read_name(k.st, unit::keyboard), "name.csv");
}

TEST(ListInputLines, SkipLineConsumesOneWholeLine) {
    Keyboard k("1, 2, 3\n4\n");
    skip_line(k.st, unit::keyboard);
    int a = 0;
    read_list(k.st, unit::keyboard, {a});
    EXPECT_EQ(a, 4);
    EXPECT_EQ(failure_of([&] { skip_line(k.st, unit::keyboard); }), keyboard_report("list in: end of file"));
}

TEST(ListInputEnd, EndOfInputBeforeAllValues) {
    {
        Keyboard k("");
        int a = 0;
        EXPECT_EQ(failure_of([&] { read_list(k.st, unit::keyboard, {a}); }), keyboard_report("list in: end of file"));
    }
    {
        // Values that were read before the end stay read.
        Keyboard k("1,2\n");
        int a = 0, b = 0, c = 0;
        EXPECT_EQ(failure_of([&] {
                      read_list(k.st, unit::keyboard, {a, b, c});
                  }),
                  keyboard_report("list in: end of file"));
        EXPECT_EQ(a, 1);
        EXPECT_EQ(b, 2);
    }
    {
        // A last line without its line end still counts.
        Keyboard k("5");
        int a = 0;
        read_list(k.st, unit::keyboard, {a});
        EXPECT_EQ(a, 5);
    }
}

TEST(ListInputName, WholeLineTrailingBlanksRemovedLeadingKept) {
    Keyboard k("a_model_file_name_longer_than_twenty.csv\n  lead.csv   \t\n\n");
    EXPECT_EQ(read_name(k.st, unit::keyboard), "a_model_file_name_longer_than_twenty.csv");
    EXPECT_EQ(read_name(k.st, unit::keyboard), "  lead.csv");
    EXPECT_EQ(read_name(k.st, unit::keyboard), "");
    EXPECT_EQ(failure_of([&] { read_name(k.st, unit::keyboard); }), keyboard_report("read start: end of file"));
}

// A console that passes its text on only when flushed.
class HeldBuffer : public std::stringbuf {
public:
    std::string flushed;

protected:
    int sync() override {
        flushed = str();
        return 0;
    }
};

TEST(ListInputName, ConsoleIsFlushedBeforeTheKeyboardIsRead) {
    HeldBuffer held;
    std::ostream console(&held);
    std::istringstream in("x\n3\n");
    std::ostringstream err;
    Streams st(in, console, err, scratch_dir("list-flush"));
    st.put(unit::console, " prompt", "");
    EXPECT_EQ(held.flushed, "");
    EXPECT_EQ(read_name(st, unit::keyboard), "x");
    EXPECT_EQ(held.flushed, " prompt\n");
    st.put(unit::console, " second", "");
    int n = 0;
    read_list(st, unit::keyboard, {n});
    EXPECT_EQ(held.flushed, " prompt\n second\n");
}

TEST(ListInputModelFile, ReportsNameTheModelFile) {
    const auto dir = scratch_dir("list-model");
    write_file(dir / "m.csv", "title\n0.01x,1024\n0.05,abc\n12.5,3.0\n");
    std::istringstream in;
    std::ostringstream out, err;
    Streams st(in, out, err, dir);
    st.open(unit::model, "m.csv  ", OpenStatus::old);
    skip_line(st, unit::model);
    double dt = 0.0;
    int nt = 0;
    const std::string tail = "\napparent state: unit 7 named m.csv\nlately reading sequential formatted external IO\n";
    EXPECT_EQ(failure_of([&] {
                  read_list(st, unit::model, {dt, nt});
              }),
              "invalid number: read unexpected character" + tail);
    EXPECT_EQ(failure_of([&] { read_list(st, unit::model, {dt, nt}); }), "list in: incomprehensible list input" + tail);
    EXPECT_EQ(dt, 0.05);
    EXPECT_EQ(failure_of([&] {
                  read_list(st, unit::model, {dt, nt});
              }),
              "invalid integer: read unexpected character" + tail);
    EXPECT_EQ(failure_of([&] { read_list(st, unit::model, {dt}); }), "list in: end of file" + tail);
}

TEST(ListInputModelFile, OpenFailures) {
    const auto dir = scratch_dir("list-open");
    std::istringstream in;
    std::ostringstream out, err;
    Streams st(in, out, err, dir);
    EXPECT_EQ(failure_of([&] { st.open(unit::model, "missing.csv", OpenStatus::old); }),
              "open: No such file or directory\napparent state: unit 7 named missing.csv\n"
              "lately reading sequential formatted external IO\n");
    EXPECT_EQ(failure_of([&] { st.open(unit::model, "   ", OpenStatus::old); }),
              "open: null file name\napparent state: unit 7 (unnamed)\n"
              "lately reading sequential formatted external IO\n");
}

}  // namespace
}  // namespace vemlari
