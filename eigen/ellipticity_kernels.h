#pragma once
// Partial derivatives of a Rayleigh mode's signed H/V at fixed frequency with respect to
// every layer's S velocity, P velocity, density and thickness.
//
// Off a root the field that rayleigh_hv builds (the down-going waves chosen to free the
// surface of shear traction, or from the trapping interface's null vector, then scaled to
// unit vertical surface displacement) still exists and is smooth in the phase velocity and
// in every layer value: its H/V, h(om, c, m), extends the mode's H/V off the mode. Along
// the mode c moves with the model, so at fixed frequency
//   d(H/V)/dp = dh/dp at fixed c + dh/dc at fixed model times dc/dp,
// dc/dp the mode's variational kernel. The two partials of h are central differences of
// the closed-form field, steps 1e-6 of each value (thicknesses: of 1 / k), each a pair of
// evaluations of the coefficients: no mode is searched again.
#include <vector>

#include "eigen/mode_coefficients.h"
#include "eigen/phase_kernels.h"
#include "model/nstrc.h"

namespace vemlari {

// Entry j - 1 for layer j = 1 .. nl; dh of the half-space is 0. Units: per (m/s), per
// density unit, per m.
struct EllipticityKernels {
    std::vector<double> dvs, dvp, drho, dh;
};

// The kernels of the mode at (om, c), its field built from the top of layer `top` (1: the
// free surface), with its phase-velocity kernels `dc`. `s` is the model: its values are
// moved one at a time and put back as they were. `k` is scratch.
void ellipticity_kernels(double om, double c, int top, const PhaseKernels& dc, Nstrc& s, RayleighCoefficients& k,
                         EllipticityKernels& out);

}  // namespace vemlari
