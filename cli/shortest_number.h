#pragma once
// The one image of every number in a table: the shortest text that reads back (strtod,
// Python's float, pandas) to the same double. Whole numbers show no point ("3", "4500"),
// magnitudes far from 1 an exponent ("1.5e-12"). NaN is "nan", infinities "inf" and
// "-inf", which those readers take back too; the JSON writer puts null in their place.
#include <string>

namespace vemlari::cli {

void append_shortest(std::string& out, double v);

}  // namespace vemlari::cli
