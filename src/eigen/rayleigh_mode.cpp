#include "eigen/rayleigh_mode.h"

#include "eigen/rayleigh_amplitudes.h"

namespace vemlari::detail {

void rayleigh_eigenfunctions(double om, double wn, const Nstrc& s, const RayleighCoefficients& k, const DepthGrid& grid,
                             double* const out[4]) {
    RayleighAmplitudes a(om, wn, s, k.grtry, k.top, k.grury);
    a.start();
    LayerWalk walk;
    walk.start(s);
    for (int iz = 1; iz <= grid.npts; ++iz) {
        const double z = grid.dz * (iz - 1);
        if (walk.step(z, s, grid.dep)) a.enter_layer(walk.lay);
        cplx r[4];
        a.field(z, walk.udep, walk.bdep, r);
        for (int q = 0; q < 4; ++q) out[q][iz - 1] = r[q].re;
    }
}

double rayleigh_hv(double om, double wn, const Nstrc& s, const RayleighCoefficients& k) {
    double h = 0.0, v = 0.0, shear = 0.0, normal = 0.0;
    double* const out[4] = {&h, &v, &shear, &normal};
    rayleigh_eigenfunctions(om, wn, s, k, DepthGrid{0.0, 0.0, 1}, out);
    return -h / v;
}

}  // namespace vemlari::detail
