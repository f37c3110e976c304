#pragma once
// Rayleigh waves in a transversely isotropic layer (vertical symmetry axis) for the mode
// count: the layer's dynamic stiffness (or, for a thin layer, its propagator) and the
// half-space's, in the variables and scaling of kernels/mode_count.h.
//
// With A, C, F, L over mu_N and w = rho c^2 / mu_N, the motion (U, W, Tx, Tz) obeys, in the
// scaled depth s = wn z,
//     U' = W + Tx / L,                 W' = (Tz - F U) / C,
//     Tx' = ((A C - F^2) / C - w) U + F / C Tz,   Tz' = -w W - Tx,
// whose partial waves exp(+-q s) have q^2 a root of
//     L C q^4 + [L (w - L) + C (w - A) + (F + L)^2] q^2 + (w - A)(w - L) = 0:
// two real roots of either sign or a complex-conjugate pair. The layer is not taken apart
// into them: a slice thin enough for its propagator's Taylor series to converge fast gives
// the stiffness of the slice, and the layer's stiffness follows by doubling the slice (its
// middle node condensed), each doubling adding the negative pivots of that node to the
// clamped-layer count, exactly as the count adds layers. Coincident or complex roots, thick
// or thin layers need no case of their own, and nothing overflows.
#include "kernels/mode_count.h"

namespace vemlari::detail {

// Layer l's element at c^2 and wn (the propagator blocks for a layer thinner than a slice);
// with `clamped`, its clamped-layer count.
void transverse_element(double c2, double wn, int l, const Nstrc& s, const CountWork& w, bool clamped,
                        RayleighElement& e);

// The half-space's stiffness below its top2 (both partial waves decaying), from the sum and
// the product of the two vertical wavenumbers, real whether the roots are real or a conjugate
// pair.
Sym2 transverse_half_space(double c2, const Nstrc& s, const CountWork& w);

// The same from constants over mu_N and w = rho c^2 / mu_N.
Sym2 transverse_half_space_stiffness(const TransverseModuli& m, double w);

// The Rayleigh velocity (m/s) of a transversely isotropic half-space of these constants (in
// any consistent unit) and density, to a few rounding errors.
double transverse_rayleigh_velocity(const TransverseModuli& m, double density);

}  // namespace vemlari::detail
