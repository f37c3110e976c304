#pragma once
// Entry points of the lane kernels, one set per instruction set, in plain data so that the
// units built for a wide instruction set share no inline code with the rest of the library.
#include "kernels/layer_arrays.h"

namespace vemlari::detail {

// Lanes of one call of a lane kernel.
constexpr int lane_width = 8;

struct LaneArgs {
    double om;
    const double* wn;  // lane_width wavenumbers om / c
    int top;           // 1: referred to the free surface; else the top of layer `top`
    LayerArrays layers;
    double sm2;     // Rayleigh normalisation (rho(1) vs(1)^2)^2
    void* scratch;  // 64-byte aligned, lane_scratch_bytes(nl)
    double* re;     // lane_width results
    double* im;
};

// Eight records of nl + 1 entries (TD, TU, RD, RU, GTD, GRD, GTU, GRU), each entry a 2 x 2
// block of complex lanes.
constexpr long lane_scratch_bytes(int nl) {
    return static_cast<long>(nl + 1) * 8 * 4 * 2 * lane_width * static_cast<long>(sizeof(double));
}

// Bit i set: the Love reverberation term of lane i came close enough to zero that the
// scalar kernel may report it.
unsigned love_lanes_portable(const LaneArgs& a);
void rayleigh_lanes_portable(const LaneArgs& a);
// Only where the processor has AVX-512F.
unsigned love_lanes_avx512(const LaneArgs& a);
void rayleigh_lanes_avx512(const LaneArgs& a);

}  // namespace vemlari::detail
