#pragma once
// Layers slower than some layer above them. A mode trapped in such a layer reaches the free
// surface only through evanescent layers, so it is sought at the layer's top as well.
#include <array>

#include "driver/run_state.h"

namespace vemlari {

struct SlowLayerTops {
    std::array<int, nml> layer{};  // in depth order, each 2 .. nl - 1
    int n = 0;
};

// By S velocity; the half-space is left out, since nothing below it can reflect.
SlowLayerTops slow_layer_tops(const Nstrc& s);

}  // namespace vemlari
