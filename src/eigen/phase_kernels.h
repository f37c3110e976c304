#pragma once
// Phase-velocity kernels of one mode at fixed frequency, from the variational principle:
// the mode makes the Lagrangian L(om, k) = om^2 I1 - k^2 I2 - k I3 - I4 of its
// eigenfunctions vanish and stationary, so a change of the model moves k by
// dL / (-dL/dk) with the eigenfunctions held fixed, and c = om / k by -(c / k) of that.
// A layer's share of dL is an integral over the layer of products of its fields, taken in
// closed form; a thickness moves every interface below the layer, and moving an interface
// changes L by the jump of the Hamiltonian density p r' - l across it, in the
// displacements and tractions that are continuous there.
#include <vector>

#include "eigen/mode_coefficients.h"

namespace vemlari::detail {

// Entry j - 1 for layer j = 1 .. nl; dh of the half-space is 0.
struct PhaseKernels {
    std::vector<double> dvs, dvp, drho, dh;
    double u = 0.0;  // group velocity (I2 + I3 / 2k) / (c I1) of the same integrals (m/s)

    void resize(int nl) {
        for (auto* v : {&dvs, &dvp, &drho, &dh}) v->assign(static_cast<std::size_t>(nl), 0.0);
    }
};

// After love_coefficients(om, wn) / rayleigh_coefficients(om, wn) have filled `k`; c = om / wn.
// Love kernels have dvp = 0. `out` is resized to the model.
void love_kernels(double om, double wn, const Nstrc& s, const LoveCoefficients& k, PhaseKernels& out);
void rayleigh_kernels(double om, double wn, const Nstrc& s, const RayleighCoefficients& k, PhaseKernels& out);

}  // namespace vemlari::detail
