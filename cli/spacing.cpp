#include "cli/spacing.h"

#include <cmath>

namespace vemlari::cli {

std::vector<double> spaced(double a, double b, int n, bool logarithmic) {
    std::vector<double> v;
    for (int i = 0; i + 1 < n; ++i) {
        const double t = static_cast<double>(i) / (n - 1);
        v.push_back(logarithmic ? a * std::pow(b / a, t) : a + (b - a) * t);
    }
    v.push_back(b);
    return v;
}

}  // namespace vemlari::cli
