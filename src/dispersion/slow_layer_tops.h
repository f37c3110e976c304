#pragma once
// Layers slower than some layer above them. A mode trapped in such a layer reaches the free
// surface only through evanescent layers, so it is sought at the layer's top as well.
#include <vector>

#include "model/nstrc.h"

namespace vemlari::detail {

struct SlowLayerTops {
    std::vector<int> layer;  // in depth order, each 2 .. nl - 1
};

// By S velocity; the half-space is left out, since nothing below it can reflect.
SlowLayerTops slow_layer_tops(const Nstrc& s);

}  // namespace vemlari::detail
