// The velocity bounds of the search, as the library derives them from the model.
#include "program/run.h"
#include "vemlari/scan_range.h"

namespace vemlari {

Model model_of(const Nstrc& s) {
    std::vector<Layer> layers;
    for (int l = 1; l <= s.nl; ++l) layers.push_back({s.thk[l], s.vp[l], s.vs[l], s.rho[l]});
    return Model(std::move(layers));
}

ScanRange derive_scan_range(Run& run) {
    const ScanRange r = scan_range(model_of(run.nstrc));
    Minmax& mm = run.minmax;
    mm.vsmin = r.vsmin;
    mm.vsmax = r.vsmax;
    mm.ccmin = r.ccmin;
    mm.ccmax = r.ccmax;
    mm.cmin = r.cmin;
    mm.cmax = r.cmax;
    return r;
}

}  // namespace vemlari
