#include "dispersion/slow_layer_tops.h"

namespace vemlari::detail {

SlowLayerTops slow_layer_tops(const Nstrc& s) {
    SlowLayerTops t;
    double fastest = s.vs[1];
    for (int j = 2; j <= s.nl - 1; ++j) {
        if (s.vs[j] < fastest) t.layer.push_back(j);
        if (s.vs[j] > fastest) fastest = s.vs[j];
    }
    return t;
}

}  // namespace vemlari::detail
