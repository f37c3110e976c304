#pragma once
// One Rayleigh mode at one frequency, after rayleigh_coefficients(om, wn) has filled `k`.
#include "eigen/layer_walk.h"
#include "eigen/love_mode.h"
#include "eigen/mode_coefficients.h"

namespace vemlari::detail {

// The four components at the grid points iz = 0 .. grid.npts - 1 (real parts): horizontal
// and vertical displacement, shear and normal traction. `r` holds four arrays of npts.
void rayleigh_eigenfunctions(double om, double wn, const Nstrc& s, const RayleighCoefficients& k, const DepthGrid& grid,
                             double* const r[4]);

// I1 and U = (I2 + I3 / 2k) / (c I1).
ModeEnergy rayleigh_energy(double om, double wn, double c, const Nstrc& s, const RayleighCoefficients& k);

// H/V ratio at the free surface with its sign: -horizontal / vertical displacement of
// rayleigh_eigenfunctions, whose two components have opposite signs where the particle
// motion is retrograde (the Rayleigh wave of a half-space): positive retrograde, negative
// prograde.
double rayleigh_hv(double om, double wn, const Nstrc& s, const RayleighCoefficients& k);

}  // namespace vemlari::detail
