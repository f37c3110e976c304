#include "eigen/layer_integrals.h"
#include "eigen/rayleigh_amplitudes.h"
#include "eigen/rayleigh_mode.h"

namespace vemlari::detail {

namespace {

// Integral of r_p r_q over the layer (a product of complex values, not of moduli).
cplx layer_product(const Mat4& er, const cplx amp[4], const cplx jj[4][4], int n, int p, int q) {
    cplx x[4], y[4];
    for (int m = 0; m < 4; ++m) {
        x[m] = er(p, m + 1) * amp[m];
        y[m] = er(q, m + 1) * amp[m];
    }
    return vemlari::detail::layer_product(x, y, jj, n);
}

}  // namespace

ModeEnergy rayleigh_energy(double om, double wn, double c, const Nstrc& s, const RayleighCoefficients& k) {
    RayleighAmplitudes a(om, wn, s, k.grtry, k.top, k.grury);
    double e1 = 0.0, e2 = 0.0, e3 = 0.0;
    for (int j = 1; j <= s.nl; ++j) {
        if (j == 1)
            a.start();
        else
            a.enter_layer(j);
        const bool hs = a.in_half_space();
        cplx jj[4][4];
        layer_integrals(a.cmp, a.cms, s.thk[j], hs, jj);
        const cplx amp[4] = {a.cdp, a.cds, a.cup, a.cus};
        const int n = hs ? 2 : 4;
        const cplx dr1 = layer_product(a.er, amp, jj, n, 1, 1);
        const cplx dr2 = layer_product(a.er, amp, jj, n, 2, 2);
        const cplx dr14 = layer_product(a.er, amp, jj, n, 1, 4);
        const cplx dr23 = layer_product(a.er, amp, jj, n, 2, 3);
        const double mu = s.rho[j] * s.vs[j] * s.vs[j];
        const double lam = s.rho[j] * s.vp[j] * s.vp[j] - 2.0 * mu;
        const double lm2 = lam + 2.0 * mu;
        e1 += s.rho[j] * (dr1.re + dr2.re);
        e2 += mu * dr2.re + lm2 * dr1.re;
        e3 += lam * (dr14.re - wn * lam * dr1.re) / lm2 - mu * wn * dr2.re - dr23.re;
    }
    e1 /= 2.0;
    e2 /= 2.0;
    return {e1, (e3 / (2.0 * wn) + e2) / (e1 * c)};
}

}  // namespace vemlari::detail
