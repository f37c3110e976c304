#pragma once
// One Love mode at one frequency, after love_coefficients(om, wn) has filled `k`. Each call writes only
// the entries of its own mode (and frequency), so modes can be computed side by side.
#include "eigen/eigen_tables.h"
#include "eigen/layer_walk.h"
#include "eigen/mode_coefficients.h"

namespace vemlari {

// vl1(iz, md), vl2(iz, md) for iz = 1 .. grid.npts: real parts of displacement and stress.
void love_eigenfunctions(double om, double wn, const Nstrc& s, const LoveCoefficients& k, const DepthGrid& grid, int md,
                         Vctl& v);

// Energy integral I1 into e1l(io, md) and group velocity U = I2 / (c I1) into ugl(io, md).
void love_energy(double om, double wn, double c, const Nstrc& s, const LoveCoefficients& k, int io, int md, Uegl& u);

}  // namespace vemlari
