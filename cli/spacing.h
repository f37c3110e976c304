#pragma once
// n values from a to b, both included (n >= 2, a < b): evenly spaced, or with even ratios
// (a > 0). The last is b itself, whatever the rounding on the way.
#include <vector>

namespace vemlari::cli {

std::vector<double> spaced(double a, double b, int n, bool logarithmic = false);

}  // namespace vemlari::cli
