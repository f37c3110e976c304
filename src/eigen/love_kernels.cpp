// Love-mode kernels. With v the SH displacement, l = 1/2 (om^2 rho - k^2 mu) v^2 - 1/2 mu v'^2
// is the Lagrangian density, p = -mu v' (minus the shear stress) its momentum and
// H = p v' - l = -1/2 mu v'^2 - 1/2 (om^2 rho - k^2 mu) v^2 its Hamiltonian density.
#include "eigen/love_amplitudes.h"
#include "eigen/phase_kernels.h"

namespace vemlari::detail {

namespace {

// H at one point of a layer from the displacement and its depth derivative there.
double hamiltonian(double om2, double k2, double rho, double mu, cplx v, cplx dv) {
    const cplx a = cplx{-0.5 * mu, 0.0} * dv * dv;
    const cplx b = cplx{-0.5 * (om2 * rho - k2 * mu), 0.0} * v * v;
    return (a + b).re;
}

}  // namespace

void love_kernels(double om, double wn, const Nstrc& s, const LoveCoefficients& k, PhaseKernels& out) {
    out.resize(s.nl);
    const double om2 = om * om, k2 = wn * wn, c = om / wn;
    LoveAmplitudes a(om, wn, s, k.grtlv, k.top, k.grulv);
    double i1 = 0.0, i2 = 0.0;
    double h_above = 0.0;  // H at the bottom of the layer above
    // Until the conversion: drho holds dL/drho and dvs dL/dmu of each layer, dh the jump of
    // H across the interface at the layer's bottom.
    for (int j = 1; j <= s.nl; ++j) {
        if (j == 1)
            a.start();
        else
            a.enter_layer(j);
        const auto jj = static_cast<std::size_t>(j - 1);
        const double rho = s.rho[j], mu = a.mu;
        // v = x0 exp(-nu (z-u)) + x1 exp(-nu (b-z)), v' likewise with d.
        const cplx x0 = a.cds, x1 = a.cus;
        const cplx d0 = -(a.nu * x0), d1 = a.nu * x1;
        cplx vv, ww, v_top, dv_top;
        if (a.in_half_space()) {
            const cplx two_nu = cplx{2.0, 0.0} * a.nu;
            vv = x0 * x0 / two_nu;
            ww = d0 * d0 / two_nu;
            v_top = x0;
            dv_top = d0;
        } else {
            const double h = s.thk[j];
            const cplx e = phase_factor(a.nu, h);
            const cplx j00 = (cplx{1.0, 0.0} - phase_factor(cplx{2.0, 0.0} * a.nu, h)) / (cplx{2.0, 0.0} * a.nu);
            const cplx j01 = cplx{h, 0.0} * e;
            vv = (x0 * x0 + x1 * x1) * j00 + cplx{2.0, 0.0} * x0 * x1 * j01;
            ww = (d0 * d0 + d1 * d1) * j00 + cplx{2.0, 0.0} * d0 * d1 * j01;
            v_top = x0 + x1 * e;
            dv_top = d0 + d1 * e;
        }
        if (j > 1) out.dh[jj - 1] = hamiltonian(om2, k2, rho, mu, v_top, dv_top) - h_above;
        if (!a.in_half_space()) {
            const cplx e = phase_factor(a.nu, s.thk[j]);
            h_above = hamiltonian(om2, k2, rho, mu, x0 * e + x1, d0 * e + d1);
        }
        out.drho[jj] = 0.5 * om2 * vv.re;
        out.dvs[jj] = -0.5 * (k2 * vv.re + ww.re);
        i1 += 0.5 * rho * vv.re;
        i2 += 0.5 * mu * vv.re;
    }
    // dL/dk = -2 k I2; dc = -(c / k) dL / (-dL/dk).
    const double f = -(c / wn) / (2.0 * wn * i2);
    double below = 0.0;  // sum of the jumps at and below the current layer's bottom
    for (int j = s.nl; j >= 1; --j) {
        const auto jj = static_cast<std::size_t>(j - 1);
        const double beta = s.vs[j], rho = s.rho[j];
        const double dmu = f * out.dvs[jj];
        const double drho = f * out.drho[jj];
        out.dvs[jj] = 2.0 * rho * beta * dmu;
        out.drho[jj] = drho + beta * beta * dmu;
        out.dvp[jj] = 0.0;
        if (j < s.nl) below += out.dh[jj];
        out.dh[jj] = j < s.nl ? f * below : 0.0;
    }
    out.u = i2 / (c * i1);
}

}  // namespace vemlari::detail
