#include <cmath>

#include "model/frhf.h"
#include "vemlari/scan_range.h"

namespace vemlari {

using namespace detail;

ScanRange scan_range(const Model& model) {
    ScanRange r;
    const int nl = static_cast<int>(model.size());
    r.vsmin = model[model.size() - 1].vs;
    r.vsmax = 0.0;
    // Fluid layers on top carry no S wave: the range is that of the solid layers.
    for (int il = static_cast<int>(model.fluid_layers()) + 1; il <= nl; ++il) {
        const Layer& l = model[static_cast<std::size_t>(il - 1)];
        if (l.vs <= r.vsmin) {
            r.vsmin = l.vs;
            r.slowest = il;
        }
        if (l.vs >= r.vsmax) {
            r.vsmax = l.vs;
            r.fastest = il;
        }
        r.vpmax = std::fmax(r.vpmax, l.vp);
    }
    const Layer& slow = model[static_cast<std::size_t>(r.slowest - 1)];
    const Layer& fast = model[static_cast<std::size_t>(r.fastest - 1)];
    r.ccmin = frhf(slow.vp, slow.vs);
    r.ccmax = frhf(fast.vp, fast.vs);
    if (nl != 1) {
        r.cmin = r.ccmin - r.ccmin / 100.0;
        r.cmax = r.vsmax + r.vsmax / 100.0;
    }
    return r;
}

double half_space_rayleigh_velocity(double vp, double vs) { return frhf(vp, vs); }

}  // namespace vemlari
