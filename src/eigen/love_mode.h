#pragma once
// One Love mode at one frequency, after love_coefficients(om, wn) has filled `k`.
#include "eigen/layer_walk.h"
#include "eigen/mode_coefficients.h"

namespace vemlari::detail {

// Energy integral I1 and group velocity U of one mode.
struct ModeEnergy {
    double e1 = 0.0;
    double u = 0.0;
};

// disp[iz], stress[iz] for iz = 0 .. grid.npts - 1: real parts of displacement and shear
// stress at depth grid.dz * iz.
void love_eigenfunctions(double om, double wn, const Nstrc& s, const LoveCoefficients& k, const DepthGrid& grid,
                         double* disp, double* stress);

// I1 and U = I2 / (c I1).
ModeEnergy love_energy(double om, double wn, double c, const Nstrc& s, const LoveCoefficients& k);

}  // namespace vemlari::detail
