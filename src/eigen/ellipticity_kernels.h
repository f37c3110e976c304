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
// dc/dp the mode's variational kernel. dh/dc is a central difference of the closed-form
// field (step 1e-6 c). For a field built from the free surface, dh/dp follows the change
// of the stack's reflection from the layer up to the surface by the adjoint of the
// coefficient recursion (EllipticityWork::partials): each layer value costs the
// coefficients of its two interfaces, so the kernels cost a few evaluations of the field
// whatever the layers. A mode referred to a deeper interface is taken from the free surface
// when that field holds it (its H/V agrees to 1e-9); otherwise dh/dp is a central
// difference of the whole field per value (cost growing as the square of the layers).
// Steps: 1e-6 of each value, thicknesses 1e-6 of 1 / k. No mode is searched again.
#include <vector>

#include "eigen/mode_coefficients.h"
#include "eigen/phase_kernels.h"
#include "model/nstrc.h"

namespace vemlari::detail {

// Entry j - 1 for layer j = 1 .. nl; dh of the half-space is 0. Units: per (m/s), per
// density unit, per m.
struct EllipticityKernels {
    std::vector<double> dvs, dvp, drho, dh;
};

// Scratch of the kernels, kept from mode to mode.
class EllipticityWork {
public:
    // dh/dp at fixed phase velocity om / wn of the field built from the free surface of a
    // model of at least two layers, into `out` (sized); `s` and `k` as below.
    void partials(double om, double wn, Nstrc& s, RayleighCoefficients& k, EllipticityKernels& out);

private:
    std::vector<Mat4> e;         // layer matrices of the model
    std::vector<Mat2> d, w;      // layer phase factors; the adjoint W_l of each interface
    std::vector<cplx> cms, cmp;  // vertical wavenumbers
    Mrtry scratch;               // the coefficients of the two interfaces a value moves
};

// The kernels of the mode at (om, c), its field built from the top of layer `top` (1: the
// free surface), with its phase-velocity kernels `dc`. `s` is the model: its values are
// moved one at a time and put back as they were. `k` and `work` are scratch.
void ellipticity_kernels(double om, double c, int top, const PhaseKernels& dc, Nstrc& s, RayleighCoefficients& k,
                         EllipticityWork& work, EllipticityKernels& out);

}  // namespace vemlari::detail
