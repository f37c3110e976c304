#include "dispersion/step_rule.h"

#include <cmath>

namespace vemlari {

double step_rule(double p, double q, int io, int md, double dcc, const Nstrc& s,
                 const FreqModeTable& cc, double cmin) {
    double dccn = dcc;
    for (int il = 1; il <= s.nl; ++il) {
        if (0.99 * s.vs[il] < p && q < 1.5 * s.vs[il]) dccn = dcc / 5.0;
        if (0.99 * s.vs[il] < p && q < 1.1 * s.vs[il]) dccn = dcc / 20.0;
    }
    // Modes beyond the table have no history.
    if (io >= 3 && md < nmode) {
        const double dccl = std::fabs(cc(io - 2, md) - cc(io - 1, md));
        if (dccl < dccn) dccn = dccl;
        if (dccn < dcc / 100.0) dccn = dcc / 100.0;
        if (dccn > dcc) dccn = dcc;
        if (cc(io - 1, md) < cmin / 10.0) dccn = dcc;
    }
    return dccn;
}

}  // namespace vemlari
