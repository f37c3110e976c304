#pragma once
// The secular functions of secular.h at up to `secular_lanes` trial velocities of one
// frequency at once, on the processor's vector lanes. Every lane's result is bit for bit the
// scalar function's at the same (om, wn): the lanes run the one source of the kernels
// (sh_kernel.h, psv_kernel.h) of which the scalar kernels are the one-lane case, without
// fused multiply-adds, with the same scalar exp, sin and cos calls and the correctly
// rounded sqrt. The wide path (AVX-512) is chosen at run time where the
// processor has it; elsewhere the same lanes run in a portable build.
#include <cstddef>
#include <vector>

#include "kernels/complex.h"
#include "kernels/lane_kernels.h"
#include "model/nstrc.h"

namespace vemlari::detail {

constexpr int secular_lanes = lane_width;

enum class LanePath { portable, avx512 };

// The wide path when this processor has it.
LanePath best_lane_path();
bool lane_path_available(LanePath p);

// One model at one frequency and the working space of `jobs` calls that may run
// at the same time (job 0 .. jobs-1). Refers to s, which must outlive it and stay unchanged.
// Allocates at construction only.
class SecularLanes {
public:
    SecularLanes(const Nstrc& s, int jobs);
    // Forms the per-layer constants of om (om^2 / vs^2, om^2 / vp^2).
    void set_frequency(double om);

    // f[i] = love_secular (top = 1) or love_secular_at(om, wn[i], top), i < n <= secular_lanes;
    // needs nl >= 2. Returns a bit per lane whose reverberation term came near zero: only
    // for those can the scalar kernel have recorded a near-singular term (Grtlv::warnD).
    unsigned love(const double* wn, int n, int top, int job, cplx* f, LanePath p) const;
    // f[i] = rayleigh_secular (top = 1, with sm2) or rayleigh_secular_at; needs nl >= 2, om != 0.
    void rayleigh(const double* wn, int n, int top, double sm2, int job, cplx* f, LanePath p) const;

private:
    LaneArgs args(const double* wn, int n, int top, int job, double* wn_lanes, double* re, double* im) const;
    const Nstrc& s_;
    double om_ = 0.0;
    std::vector<double> ws2_, wp2_;
    std::vector<unsigned char> scratch_;
    std::size_t stride_ = 0;
    unsigned char* base_ = nullptr;
};

}  // namespace vemlari::detail
