// The velocity bounds of the search, as the library derives them from the model.
#include "program/run.h"
#include "vemlari/scan_range.h"

namespace vemlari {

Model model_of(const LayerTable& t) {
    std::vector<Layer> layers;
    for (int l = 1; l <= t.nl; ++l) layers.push_back({t.thk[l], t.vp[l], t.vs[l], t.rho[l]});
    return Model(std::move(layers));
}

ScanRange derive_scan_range(Run& run) {
    const ScanRange r = scan_range(model_of(run.layers));
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
