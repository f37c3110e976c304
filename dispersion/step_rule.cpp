#include "dispersion/step_rule.h"

#include <cmath>

namespace vemlari {

namespace {

double root_of(const ModeHistory& h, std::size_t k, int md) {
    const std::vector<double>& row = h[k];
    return static_cast<std::size_t>(md) < row.size() ? row[static_cast<std::size_t>(md)] : 0.0;
}

}  // namespace

double step_rule(double p, double q, std::size_t k, int md, double dcc, const Nstrc& s, const ModeHistory& history,
                 std::size_t capacity, double cmin) {
    double dccn = dcc;
    for (int il = 1; il <= s.nl; ++il) {
        if (0.99 * s.vs[il] < p && q < 1.5 * s.vs[il]) dccn = dcc / 5.0;
        if (0.99 * s.vs[il] < p && q < 1.1 * s.vs[il]) dccn = dcc / 20.0;
    }
    if (k >= 3 && static_cast<std::size_t>(md) < capacity) {
        const double dccl = std::fabs(root_of(history, k - 2, md) - root_of(history, k - 1, md));
        if (dccl < dccn) dccn = dccl;
        if (dccn < dcc / 100.0) dccn = dcc / 100.0;
        if (dccn > dcc) dccn = dcc;
        if (root_of(history, k - 1, md) < cmin / 10.0) dccn = dcc;
    }
    return dccn;
}

}  // namespace vemlari
