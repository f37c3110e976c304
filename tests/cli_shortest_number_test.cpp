// The table's one number image reads back to the same double, with no digit more than needed.
#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "cli/shortest_number.h"

namespace vemlari::cli {
namespace {

std::string image(double v) {
    std::string s;
    append_shortest(s, v);
    return s;
}

int significant_digits(const std::string& s) {
    int n = 0;
    bool leading = true;
    for (char c : s) {
        if (c == 'e') break;
        if (c < '0' || c > '9') continue;
        if (c != '0') leading = false;
        if (!leading) ++n;
    }
    return n;
}

TEST(CliShortestNumber, ReadsBackExactlyAndNothingShorterWould) {
    std::vector<double> values = {0.0,
                                  -0.0,
                                  1.0,
                                  3.0,
                                  4500.0,
                                  0.1,
                                  1.0 / 3.0,
                                  DBL_MIN,
                                  DBL_MAX,
                                  -DBL_MAX,
                                  5e-324,
                                  1e22,
                                  9007199254740993.0,
                                  2.5e-13,
                                  M_PI,
                                  -2.0 / 3.0 * 1e-300};
    std::mt19937_64 rng(14);
    while (values.size() < 20000) {
        const double v = std::bit_cast<double>(rng());
        if (std::isfinite(v)) values.push_back(v);
    }
    for (double v : values) {
        const std::string s = image(v);
        ASSERT_EQ(std::bit_cast<std::uint64_t>(std::strtod(s.c_str(), nullptr)), std::bit_cast<std::uint64_t>(v)) << s;
        // Whole numbers below 1e21 show every digit, as printf's %f would; the others show
        // as few significant digits as reading back allows.
        const int digits = significant_digits(s);
        if (s.find_first_of(".e") == std::string::npos || digits < 2) continue;
        char shorter[64];
        std::snprintf(shorter, sizeof shorter, "%.*e", digits - 2, v);
        EXPECT_NE(std::strtod(shorter, nullptr), v) << s << " is not the shortest: " << shorter;
    }
}

TEST(CliShortestNumber, WholeNumbersAndTheValuesThatAreNoNumbers) {
    EXPECT_EQ(image(3.0), "3");
    EXPECT_EQ(image(4500.0), "4500");
    EXPECT_EQ(image(0.1), "0.1");
    EXPECT_EQ(image(-0.0), "-0");
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(image(nan), "nan");
    EXPECT_EQ(image(-nan), "nan");
    EXPECT_EQ(image(std::numeric_limits<double>::infinity()), "inf");
    EXPECT_EQ(image(-std::numeric_limits<double>::infinity()), "-inf");
}

}  // namespace
}  // namespace vemlari::cli
