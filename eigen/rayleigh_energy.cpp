#include "eigen/rayleigh_amplitudes.h"
#include "eigen/rayleigh_mode.h"

namespace vemlari {

namespace {

// Integrals J(m, n) over one layer of the products of its depth functions
// exp(-nup (z-u)), exp(-nus (z-u)), exp(-nup (b-z)), exp(-nus (b-z)), m, n = 0 .. 3.
void layer_kernels(cplx nup, cplx nus, double h, bool half_space, cplx jj[4][4]) {
    const cplx one{1.0, 0.0};
    const cplx half{0.5, 0.0};
    if (half_space) {
        jj[0][0] = half / nup;
        jj[1][1] = half / nus;
        jj[0][1] = jj[1][0] = one / (nup + nus);
        return;
    }
    const cplx ep = phase_factor(nup, h);
    const cplx es = phase_factor(nus, h);
    const cplx hh{h, 0.0};
    jj[0][0] = jj[2][2] = (one - phase_factor(cplx{2.0, 0.0} * nup, h)) * half / nup;
    jj[1][1] = jj[3][3] = (one - phase_factor(cplx{2.0, 0.0} * nus, h)) * half / nus;
    jj[0][1] = jj[1][0] = jj[2][3] = jj[3][2] = (one - phase_factor(nup + nus, h)) / (nup + nus);
    jj[0][2] = jj[2][0] = hh * ep;
    jj[0][3] = jj[3][0] = jj[1][2] = jj[2][1] = (es - ep) / (nup - nus);
    jj[1][3] = jj[3][1] = hh * es;
}

// Integral of r_p r_q over the layer (a product of complex values, not of moduli).
cplx layer_product(const Mat4& er, const cplx amp[4], const cplx jj[4][4], int n, int p, int q) {
    cplx sum{};
    for (int m = 0; m < n; ++m) {
        const cplx ap = er(p, m + 1) * amp[m];
        for (int l = 0; l < n; ++l) sum = sum + ap * (er(q, l + 1) * amp[l]) * jj[m][l];
    }
    return sum;
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
        layer_kernels(a.cmp, a.cms, s.thk[j], hs, jj);
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

}  // namespace vemlari
