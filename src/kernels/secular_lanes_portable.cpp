// The lane kernels for any processor: GCC vectors of eight doubles, which the compiler maps
// onto whatever vector unit the build targets.
#include "kernels/lane_kernels.h"

// The eight-double vectors never cross a call to another unit, so the ABI their size would
// have without AVX-512 does not matter.
#pragma GCC diagnostic ignored "-Wpsabi"

namespace vemlari::detail {
namespace {

typedef double V __attribute__((vector_size(8 * sizeof(double))));
constexpr int W = 8;

inline V sqrt_lanes(V x) {
    V r;
    for (int i = 0; i < W; ++i) r[i] = __builtin_sqrt(x[i]);
    return r;
}

}  // namespace
}  // namespace vemlari::detail

#define VSQRT sqrt_lanes
#include "kernels/secular_lanes_impl.h"

namespace vemlari::detail {

unsigned love_lanes_portable(const LaneArgs& a) { return love(a); }
void rayleigh_lanes_portable(const LaneArgs& a) { rayleigh(a); }

}  // namespace vemlari::detail
