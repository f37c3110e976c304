#include "kernels/secular_lanes.h"

#include <cstdint>

namespace vemlari::detail {

bool lane_path_available(LanePath p) {
    if (p == LanePath::portable) return true;
#if defined(__x86_64__) && defined(__GNUC__)
    return __builtin_cpu_supports("avx512f");
#else
    return false;
#endif
}

LanePath best_lane_path() { return lane_path_available(LanePath::avx512) ? LanePath::avx512 : LanePath::portable; }

SecularLanes::SecularLanes(const Nstrc& s, int jobs) : s_(s) {
    const std::size_t n = static_cast<std::size_t>(s.nl) + 1;
    ws2_.resize(n);
    wp2_.resize(n);
    stride_ = static_cast<std::size_t>(lane_scratch_bytes(s.nl));
    scratch_.resize(stride_ * static_cast<std::size_t>(jobs) + 64);
    const auto at = reinterpret_cast<std::uintptr_t>(scratch_.data());
    base_ = scratch_.data() + ((64 - at % 64) % 64);
}

void SecularLanes::set_frequency(double om) {
    om_ = om;
    const double om2 = om * om;
    for (int j = 1; j <= s_.nl; ++j) {
        const double vs2 = s_.vs[j] * s_.vs[j];
        const double vp2 = s_.vp[j] * s_.vp[j];
        ws2_[j] = om2 / vs2;
        wp2_[j] = om2 / vp2;
    }
}

LaneArgs SecularLanes::args(const double* wn, int n, int top, int job, double* wn_lanes, double* re, double* im) const {
    // Lanes past n repeat the last velocity: a valid evaluation whose result is dropped.
    for (int i = 0; i < lane_width; ++i) wn_lanes[i] = wn[i < n ? i : n - 1];
    LaneArgs a{};
    a.om = om_;
    a.wn = wn_lanes;
    a.top = top;
    a.layers = {s_.nl, s_.rho.data(), s_.vp.data(), s_.vs.data(), s_.thk.data(), ws2_.data(), wp2_.data()};
    a.scratch = base_ + stride_ * static_cast<std::size_t>(job);
    a.re = re;
    a.im = im;
    return a;
}

unsigned SecularLanes::love(const double* wn, int n, int top, int job, cplx* f, LanePath p) const {
    alignas(64) double w[lane_width], re[lane_width], im[lane_width];
    const LaneArgs a = args(wn, n, top, job, w, re, im);
    const unsigned near = p == LanePath::avx512 ? love_lanes_avx512(a) : love_lanes_portable(a);
    for (int i = 0; i < n; ++i) f[i] = {re[i], im[i]};
    return near & ((1u << n) - 1u);
}

void SecularLanes::rayleigh(const double* wn, int n, int top, double sm2, int job, cplx* f, LanePath p) const {
    alignas(64) double w[lane_width], re[lane_width], im[lane_width];
    LaneArgs a = args(wn, n, top, job, w, re, im);
    a.sm2 = sm2;
    if (p == LanePath::avx512) {
        rayleigh_lanes_avx512(a);
    } else {
        rayleigh_lanes_portable(a);
    }
    for (int i = 0; i < n; ++i) f[i] = {re[i], im[i]};
}

}  // namespace vemlari::detail
