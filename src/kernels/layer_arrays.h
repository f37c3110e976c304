#pragma once
// The layered model as the kernels read it: plain arrays indexed from 1 as in Nstrc
// (entry nl is the half-space), shared by the kernels of one lane and of a vector of lanes.
namespace vemlari::detail {

struct LayerArrays {
    int nl;
    const double* rho;
    const double* vp;
    const double* vs;
    const double* thk;
    // om^2 / vs^2 and om^2 / vp^2 at the kernels' om, formed once by a caller that evaluates
    // many wavenumbers at one frequency (the same operations); null: formed at each use.
    const double* ws2 = nullptr;
    const double* wp2 = nullptr;
};

}  // namespace vemlari::detail
