#include "eigen/rayleigh_mode.h"

#include "eigen/rayleigh_amplitudes.h"

namespace vemlari {

void rayleigh_eigenfunctions(double om, double wn, const Nstrc& s, const RayleighCoefficients& k, const DepthGrid& grid, int md,
                             Vclr& v) {
    RayleighAmplitudes a(om, wn, s, k.grtry, k.top, k.grury);
    a.start();
    LayerWalk walk;
    walk.start(s);
    for (int iz = 1; iz <= grid.npts; ++iz) {
        const double z = grid.dz * (iz - 1);
        if (walk.step(z, s, grid.dep)) a.enter_layer(walk.lay);
        cplx r[4];
        a.field(z, walk.udep, walk.bdep, r);
        v.vr1(iz, md) = r[0].re;
        v.vr2(iz, md) = r[1].re;
        v.vr3(iz, md) = r[2].re;
        v.vr4(iz, md) = r[3].re;
    }
}

}  // namespace vemlari
