#include "dispersion/step_rule.h"

#include <cmath>

namespace vemlari::detail {

StepWindows::StepWindows(const Nstrc& s) {
    for (int il = 1; il <= s.nl; ++il) {
        low.push_back(0.99 * s.vs[il]);
        fine.push_back(1.1 * s.vs[il]);
        coarse.push_back(1.5 * s.vs[il]);
    }
}

double step_rule(double p, double q, double dcc, const StepWindows& w, const ModeTrend& trend, double cmin) {
    double dccn = dcc;
    // In layer order: a later layer's coarse window overrides an earlier one's fine window.
    for (std::size_t i = 0; i < w.low.size(); ++i) {
        if (w.low[i] < p && q < w.coarse[i]) dccn = dcc / 5.0;
        if (w.low[i] < p && q < w.fine[i]) dccn = dcc / 20.0;
    }
    if (trend.applies) {
        const double dccl = std::fabs(trend.before_last - trend.last);
        if (dccl < dccn) dccn = dccl;
        if (dccn < dcc / 100.0) dccn = dcc / 100.0;
        if (dccn > dcc) dccn = dcc;
        if (trend.last < cmin / 10.0) dccn = dcc;
    }
    return dccn;
}

}  // namespace vemlari::detail
