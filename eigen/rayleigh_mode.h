#pragma once
// One Rayleigh mode at one frequency, after rayleigh_coefficients(om, wn) has filled `k`. Each call writes
// only the entries of its own mode (and frequency), so modes can be computed side by side.
#include "eigen/eigen_tables.h"
#include "eigen/layer_walk.h"
#include "eigen/mode_coefficients.h"

namespace vemlari {

// vr1 .. vr4(iz, md) for iz = 1 .. grid.npts (1: the surface point only).
void rayleigh_eigenfunctions(double om, double wn, const Nstrc& s, const RayleighCoefficients& k, const DepthGrid& grid, int md,
                             Vclr& v);

// Energy integral I1 into e1r(io, md) and group velocity U = (I2 + I3 / 2k) / (c I1) into
// ugr(io, md).
void rayleigh_energy(double om, double wn, double c, const Nstrc& s, const RayleighCoefficients& k, int io, int md, Uegr& u);

// H/V ratio at the free surface from the eigenfunctions before their plot normalisation.
inline void rayleigh_hv(int io, int md, const Vclr& v, Uegr& u) {
    const double r = v.vr1(1, md) / v.vr2(1, md);
    u.hvr(io, md) = r < 0.0 ? -r : r;
}

}  // namespace vemlari
