#pragma once
// The Love and Rayleigh secular functions of secular.cpp over the lanes of V: the kernels of
// sh_kernel.h and psv_kernel.h with the arithmetic of a vector of W lanes, on records in the
// caller's scratch. Included once per instruction set by a unit that defines V, W and VSQRT
// before it. Every instantiation here is over that unit's own types, so it keeps internal
// linkage like lane_complex.h.
#include "kernels/lane_complex.h"
#include "kernels/lane_kernels.h"
#include "kernels/psv_kernel.h"
#include "kernels/sh_kernel.h"

namespace vemlari::detail {
namespace {

using L = Lanes<V, W, VSQRT>;
using C = vc<V>;

inline V load(const double* p) {
    V v;
    for (int i = 0; i < W; ++i) v[i] = p[i];
    return v;
}

inline void store(const LaneArgs& a, C f) {
    for (int i = 0; i < W; ++i) {
        a.re[i] = f.re[i];
        a.im[i] = f.im[i];
    }
}

// The eight records of lane_scratch_bytes, entries of type T.
template <class T>
Records<T> records(const LaneArgs& a) {
    T* p = static_cast<T*>(a.scratch);
    const int n = a.layers.nl + 1;
    return {{p, p + n, p + 2 * n, p + 3 * n}, {p + 4 * n, p + 5 * n}, {p + 6 * n, p + 7 * n}};
}

unsigned love(const LaneArgs& a) {
    // The scalar kernel reports |d| < 1e-15; hypot(x, y) >= max(|x|, |y|), so every lane it
    // reports has both parts below the looser bound here.
    auto near = splat<V>(0.0) != splat<V>(0.0);
    const auto near_pole = [&near](const C& d) { near |= (abs_of(d.re) < 2.0E-15) & (abs_of(d.im) < 2.0E-15); };
    store(a, love_function<L>(a.om, load(a.wn), a.top, a.layers, records<C>(a), near_pole));
    unsigned bits = 0;
    for (int i = 0; i < W; ++i)
        if (near[i]) bits |= 1u << i;
    return bits;
}

void rayleigh(const LaneArgs& a) {
    TopLayer<C> layer1;
    store(a, rayleigh_function<L>(a.om, load(a.wn), a.sm2, a.top, a.layers, records<Block2<C>>(a), layer1));
}

}  // namespace
}  // namespace vemlari::detail
