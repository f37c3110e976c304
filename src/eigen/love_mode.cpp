#include "eigen/love_mode.h"

#include "eigen/love_amplitudes.h"

namespace vemlari::detail {

void love_eigenfunctions(double om, double wn, const Nstrc& s, const LoveCoefficients& k, const DepthGrid& grid,
                         double* disp, double* stress) {
    LoveAmplitudes a(om, wn, s, k.grtlv, k.top, k.grulv);
    a.start();
    LayerWalk walk;
    walk.start(s);
    for (int iz = 1; iz <= grid.npts; ++iz) {
        const double z = grid.dz * (iz - 1);
        if (walk.step(z, s, grid.dep)) a.enter_layer(walk.lay);
        cplx v, tau;
        a.field(z, walk.udep, walk.bdep, v, tau);
        disp[iz - 1] = v.re;
        stress[iz - 1] = tau.re;
    }
}

// Closed-form integrals of the squared complex displacement (a square, not a squared
// modulus) over every layer, the half-space down to infinite depth.
ModeEnergy love_energy(double om, double wn, double c, const Nstrc& s, const LoveCoefficients& k) {
    LoveAmplitudes a(om, wn, s, k.grtlv, k.top, k.grulv);
    double e1 = 0.0;
    double e2 = 0.0;
    for (int j = 1; j <= s.nl; ++j) {
        if (j == 1)
            a.start();
        else
            a.enter_layer(j);
        const cplx two_nu = cplx{2.0, 0.0} * a.nu;
        cplx dr1;
        if (a.in_half_space()) {
            dr1 = a.cds * a.cds / two_nu;
        } else {
            const double h = s.thk[j];
            const cplx one{1.0, 0.0};
            dr1 = (a.cds * a.cds + a.cus * a.cus) * (one - phase_factor(two_nu, h)) / two_nu +
                  cplx{2.0, 0.0} * a.cds * a.cus * cplx{h, 0.0} * phase_factor(a.nu, h);
        }
        e1 += s.rho[j] * dr1.re;
        e2 += a.mu * dr1.re;
    }
    e1 /= 2.0;
    e2 /= 2.0;
    return {e1, e2 / (e1 * c)};
}

}  // namespace vemlari::detail
