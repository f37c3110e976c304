#include "records/number_images.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>

namespace vemlari {
namespace {

std::string I(int w, long long v) {
    std::string s;
    append_I(s, w, v);
    return s;
}
std::string F(int w, int d, double v) {
    std::string s;
    append_F(s, w, d, v);
    return s;
}
std::string E(int w, int d, double v) {
    std::string s;
    append_E(s, w, d, v);
    return s;
}
std::string free_real(double v) {
    std::string s;
    append_free_real(s, v);
    return s;
}
std::string free_int(long long v) {
    std::string s;
    append_free_int(s, v);
    return s;
}

const double inf = std::numeric_limits<double>::infinity();
const double nan = std::numeric_limits<double>::quiet_NaN();

TEST(NumberImagesI, RightJustifiedOrAsterisks) {
    EXPECT_EQ(I(3, 7), "  7");
    EXPECT_EQ(I(3, -12), "-12");
    EXPECT_EQ(I(3, 1000), "***");
    EXPECT_EQ(I(3, -100), "***");
    EXPECT_EQ(I(5, 0), "    0");
    EXPECT_EQ(I(1, 9), "9");
}

TEST(NumberImagesF, ExamplesAndLeadingZero) {
    EXPECT_EQ(F(9, 3, 3500), " 3500.000");
    EXPECT_EQ(F(8, 4, 0.25), "  0.2500");
    EXPECT_EQ(F(8, 4, 0.5), "  0.5000");
    EXPECT_EQ(F(8, 4, -0.00001), "  0.0000");
    EXPECT_EQ(F(8, 3, 6.2832), "   6.283");
    EXPECT_EQ(F(9, 2, 12345678.9), "*********");
    EXPECT_EQ(F(5, 4, 0.5), ".5000");
    EXPECT_EQ(F(4, 4, 0.5), "****");
    EXPECT_EQ(F(6, 4, -0.5), "-.5000");
    EXPECT_EQ(F(5, 4, -0.5), "*****");
    EXPECT_EQ(F(10, 5, -1.234567), "  -1.23457");
    // Rounding may carry into a new integer digit.
    EXPECT_EQ(F(8, 3, 9.9996), "  10.000");
    EXPECT_EQ(F(5, 3, 9.9996), "*****");
    EXPECT_EQ(F(4, 0, 12.6), " 13.");
}

TEST(NumberImagesE, Examples) {
    EXPECT_EQ(E(15, 7, 123.4567), "  0.1234567E+03");
    EXPECT_EQ(E(15, 7, -0.001), " -0.1000000E-02");
    EXPECT_EQ(E(15, 7, 0.0), "  0.0000000E+00");
    EXPECT_EQ(E(15, 7, 0.99999999), "  0.1000000E+01");
    EXPECT_EQ(E(12, 4, 6.02e23), "  0.6020E+24");
    EXPECT_EQ(E(12, 4, 1e-120), "  0.1000-119");
    EXPECT_EQ(E(12, 4, 1e120), "  0.1000+121");
    EXPECT_EQ(E(12, 4, -123.45), " -0.1235E+03");
    EXPECT_EQ(E(12, 4, 1e99), "  0.1000+100");
    EXPECT_EQ(E(12, 4, 1e98), "  0.1000E+99");
}

TEST(NumberImagesE, NarrowFields) {
    EXPECT_EQ(E(10, 4, 1.5), "0.1500E+01");
    EXPECT_EQ(E(9, 4, 1.5), ".1500E+01");
    EXPECT_EQ(E(8, 4, 1.5), "********");
    EXPECT_EQ(E(11, 4, -1.5), "-0.1500E+01");
    EXPECT_EQ(E(10, 4, -1.5), "-.1500E+01");
    EXPECT_EQ(E(9, 4, -1.5), "*********");
}

TEST(NumberImages, NegativeZeroHasNoSign) {
    EXPECT_EQ(F(8, 4, -0.0), "  0.0000");
    EXPECT_EQ(F(5, 4, -0.0), ".0000");
    EXPECT_EQ(E(15, 7, -0.0), "  0.0000000E+00");
    EXPECT_EQ(E(10, 4, -0.0), "0.0000E+00");
    EXPECT_EQ(free_real(-0.0), "  0.");
    std::string bare;
    append_free_real_bare(bare, -0.0);
    EXPECT_EQ(bare, "0.");
}

TEST(NumberImages, NonFinite) {
    EXPECT_EQ(F(9, 3, nan), "      NaN");
    EXPECT_EQ(F(9, 3, inf), " Infinity");
    EXPECT_EQ(F(9, 3, -inf), "-Infinity");
    EXPECT_EQ(F(8, 3, -inf), "    -Inf");
    EXPECT_EQ(E(5, 1, inf), "  Inf");
    EXPECT_EQ(E(3, 1, -inf), "***");
    EXPECT_EQ(E(2, 1, nan), "**");
    EXPECT_EQ(free_real(nan), " NaN");
    EXPECT_EQ(free_real(inf), "  Infinity");
    EXPECT_EQ(free_real(-inf), " -Infinity");
}

TEST(NumberImagesFree, Examples) {
    EXPECT_EQ(free_real(0.01), "  0.01");
    EXPECT_EQ(free_real(1500), "  1500.");
    EXPECT_EQ(free_real(-2.5), " -2.5");
    EXPECT_EQ(free_real(0), "  0.");
    EXPECT_EQ(free_real(2 * M_PI / 10.24), "  0.613592315");
    EXPECT_EQ(free_real(1e-5), "  1.E-005");
    EXPECT_EQ(free_real(1e9), "  1.E+009");
    EXPECT_EQ(free_real(1.5e10), "  1.5E+010");
    EXPECT_EQ(free_real(123456789), "  123456789.");
    EXPECT_EQ(free_real(0.0001), "  0.0001");
    EXPECT_EQ(free_real(-1.25e-300), " -1.25E-300");
    // Rounding to nine digits can push the value into the exponent form.
    EXPECT_EQ(free_real(999999999.7), "  1.E+009");
    EXPECT_EQ(free_int(1024), " 1024");
    EXPECT_EQ(free_int(-3), " -3");
}

// Turns an exponent image without its letter ("0.1000-119") back into one strtod reads.
double parse_back(std::string s) {
    const auto p = s.find_last_of("+-");
    if (p != std::string::npos && p > 0 && s[p - 1] != 'E' && s[p - 1] != ' ') s.insert(p, 1, 'E');
    char* end = nullptr;
    const double v = std::strtod(s.c_str(), &end);
    EXPECT_EQ(*end, '\0') << s;
    return v;
}

// Random magnitudes over the whole double range: each image reads back within half a unit
// in its last shown digit, and its form follows the value's decimal exponent.
TEST(NumberImages, RandomValuesReadBack) {
    std::mt19937_64 gen(20240611);
    std::uniform_real_distribution<double> mant(-1.0, 1.0);
    std::uniform_int_distribution<int> expo(-300, 300);
    for (int k = 0; k < 20000; ++k) {
        const double v = mant(gen) * std::pow(10.0, expo(gen));
        if (v == 0) continue;

        const std::string e = E(15, 7, v);
        ASSERT_EQ(e.size(), 15u);
        const auto point = e.find("0.");
        ASSERT_NE(point, std::string::npos) << e;
        EXPECT_NE(e[point + 2], '0') << e;  // normalised mantissa
        const double pe = parse_back(e);
        EXPECT_LE(std::fabs(pe - v), 5e-7 * std::fabs(v) * (1 + 1e-9)) << e << " " << v;

        const std::string f = free_real(v);
        const double pf = parse_back(f);
        EXPECT_LE(std::fabs(pf - v), 5e-9 * std::fabs(v) * (1 + 1e-9)) << f << " " << v;
        const int x = static_cast<int>(std::floor(std::log10(std::fabs(pf))));
        EXPECT_EQ(f.find('E') == std::string::npos, x >= -4 && x <= 8) << f;
        EXPECT_NE(f.find('.'), std::string::npos) << f;
        // At most nine significant digits (leading zeros of a small fixed value do not count).
        std::size_t digits = 0;
        for (std::size_t i = 0; i < f.size() && f[i] != 'E'; ++i)
            if (std::isdigit(static_cast<unsigned char>(f[i])) && (digits > 0 || f[i] != '0')) ++digits;
        EXPECT_LE(digits, 9u) << f;
    }
}

}  // namespace
}  // namespace vemlari
