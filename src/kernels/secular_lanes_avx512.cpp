// The lane kernels on AVX-512F: eight doubles per instruction. This unit alone is built for
// AVX-512F, by the pragma below whatever the build system (with -ffp-contract=off like the
// rest: no fused multiply-add); it is called only where the processor reports AVX-512F.
// Other compilers and processors get entry points to the portable lanes, never called.
#include <math.h>  // before the pragma: the library's headers keep the default target

#include "kernels/lane_kernels.h"

#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#pragma GCC target("avx512f")
namespace vemlari::detail {
namespace {

typedef double V __attribute__((vector_size(8 * sizeof(double))));
constexpr int W = 8;

// vsqrtpd on all eight lanes, in the current rounding mode (4); the pass-through operand of
// the masked form is never used.
inline V sqrt_lanes(V x) { return __builtin_ia32_sqrtpd512_mask(x, x, static_cast<unsigned char>(-1), 4); }

}  // namespace
}  // namespace vemlari::detail

#define VSQRT sqrt_lanes
#include "kernels/secular_lanes_impl.h"

namespace vemlari::detail {

unsigned love_lanes_avx512(const LaneArgs& a) { return love(a); }
void rayleigh_lanes_avx512(const LaneArgs& a) { rayleigh(a); }

}  // namespace vemlari::detail

#else

namespace vemlari::detail {

unsigned love_lanes_avx512(const LaneArgs& a) { return love_lanes_portable(a); }
void rayleigh_lanes_avx512(const LaneArgs& a) { rayleigh_lanes_portable(a); }

}  // namespace vemlari::detail

#endif
