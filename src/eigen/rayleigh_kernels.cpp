// Rayleigh-mode kernels. With r1, r2 the horizontal and vertical displacement, the
// Lagrangian density is
//   l = 1/2 om^2 rho (r1^2 + r2^2) - 1/2 k^2 ((lam + 2 mu) r1^2 + mu r2^2)
//       - k (lam r1 r2' - mu r2 r1') - 1/2 ((lam + 2 mu) r2'^2 + mu r1'^2),
// its momenta p1 = k mu r2 - mu r1', p2 = -k lam r1 - (lam + 2 mu) r2' (minus the
// tractions) and its Hamiltonian density H = p1 r1' + p2 r2' - l.
#include "eigen/layer_integrals.h"
#include "eigen/phase_kernels.h"
#include "eigen/rayleigh_amplitudes.h"

namespace vemlari::detail {

namespace {

struct Elastic {
    double rho, lam, mu, om2, wn;
};

// H from the displacements and their depth derivatives at one point.
double hamiltonian(const Elastic& e, cplx r1, cplx r2, cplx d1, cplx d2) {
    auto re = [](double x) { return cplx{x, 0.0}; };
    const double l2m = e.lam + 2.0 * e.mu;
    const cplx lag = re(0.5 * e.om2 * e.rho) * (r1 * r1 + r2 * r2) -
                     re(0.5 * e.wn * e.wn) * (re(l2m) * r1 * r1 + re(e.mu) * r2 * r2) -
                     re(e.wn) * (re(e.lam) * r1 * d2 - re(e.mu) * r2 * d1) -
                     re(0.5) * (re(l2m) * d2 * d2 + re(e.mu) * d1 * d1);
    const cplx p1 = re(e.wn * e.mu) * r2 - re(e.mu) * d1;
    const cplx p2 = -(re(e.wn * e.lam) * r1) - re(l2m) * d2;
    return (p1 * d1 + p2 * d2 - lag).re;
}

// sum_m x_m f_m for depth-function values f.
cplx at(const cplx x[4], const cplx f[4], int n) {
    cplx sum{};
    for (int m = 0; m < n; ++m) sum = sum + x[m] * f[m];
    return sum;
}

}  // namespace

void rayleigh_kernels(double om, double wn, const Nstrc& s, const RayleighCoefficients& k, PhaseKernels& out) {
    out.resize(s.nl);
    const double om2 = om * om, k2 = wn * wn, c = om / wn;
    RayleighAmplitudes a(om, wn, s, k.grtry, k.top, k.grury);
    double i1 = 0.0, i2 = 0.0, i3 = 0.0;
    double h_above = 0.0;  // H at the bottom of the layer above
    // Until the conversion: drho, dvp, dvs hold dL/drho, dL/dlam, dL/dmu of each layer, dh
    // the jump of H across the interface at the layer's bottom.
    for (int j = 1; j <= s.nl; ++j) {
        if (j == 1)
            a.start();
        else
            a.enter_layer(j);
        const auto jj = static_cast<std::size_t>(j - 1);
        const bool hs = a.in_half_space();
        const int n = hs ? 2 : 4;
        const double h = s.thk[j];
        const Elastic e{s.rho[j], s.rho[j] * (s.vp[j] * s.vp[j] - 2.0 * s.vs[j] * s.vs[j]),
                        s.rho[j] * s.vs[j] * s.vs[j], om2, wn};
        const cplx amp[4] = {a.cdp, a.cds, a.cup, a.cus};
        // Depth derivatives of the four depth functions over themselves.
        const cplx slope[4] = {-a.cmp, -a.cms, a.cmp, a.cms};
        cplx x1[4], x2[4], d1[4], d2[4];
        for (int m = 0; m < 4; ++m) {
            x1[m] = a.er(1, m + 1) * amp[m];
            x2[m] = a.er(2, m + 1) * amp[m];
            d1[m] = slope[m] * x1[m];
            d2[m] = slope[m] * x2[m];
        }
        cplx jm[4][4];
        layer_integrals(a.cmp, a.cms, h, hs, jm);
        const double r11 = layer_product(x1, x1, jm, n).re;
        const double r22 = layer_product(x2, x2, jm, n).re;
        const double r1d2 = layer_product(x1, d2, jm, n).re;
        const double r2d1 = layer_product(x2, d1, jm, n).re;
        const double d11 = layer_product(d1, d1, jm, n).re;
        const double d22 = layer_product(d2, d2, jm, n).re;

        // Values of the depth functions at the layer's top and bottom.
        const cplx one{1.0, 0.0};
        const cplx ep = hs ? one : phase_factor(a.cmp, h);
        const cplx es = hs ? one : phase_factor(a.cms, h);
        if (j > 1) {
            const cplx top[4] = {one, one, ep, es};
            out.dh[jj - 1] = hamiltonian(e, at(x1, top, n), at(x2, top, n), at(d1, top, n), at(d2, top, n)) - h_above;
        }
        if (!hs) {
            const cplx bottom[4] = {ep, es, one, one};
            h_above = hamiltonian(e, at(x1, bottom, n), at(x2, bottom, n), at(d1, bottom, n), at(d2, bottom, n));
        }
        out.drho[jj] = 0.5 * om2 * (r11 + r22);
        out.dvp[jj] = -0.5 * k2 * r11 - wn * r1d2 - 0.5 * d22;
        out.dvs[jj] = -0.5 * k2 * (2.0 * r11 + r22) + wn * r2d1 - 0.5 * (2.0 * d22 + d11);
        i1 += 0.5 * e.rho * (r11 + r22);
        i2 += 0.5 * ((e.lam + 2.0 * e.mu) * r11 + e.mu * r22);
        i3 += e.lam * r1d2 - e.mu * r2d1;
    }
    // dL/dk = -(2 k I2 + I3); dc = -(c / k) dL / (-dL/dk).
    const double f = -(c / wn) / (2.0 * wn * i2 + i3);
    double below = 0.0;  // sum of the jumps at and below the current layer's bottom
    for (int j = s.nl; j >= 1; --j) {
        const auto jj = static_cast<std::size_t>(j - 1);
        const double alpha = s.vp[j], beta = s.vs[j], rho = s.rho[j];
        const double dlam = f * out.dvp[jj];
        const double dmu = f * out.dvs[jj];
        const double drho = f * out.drho[jj];
        out.dvp[jj] = 2.0 * rho * alpha * dlam;
        out.dvs[jj] = 2.0 * rho * beta * (dmu - 2.0 * dlam);
        out.drho[jj] = drho + (alpha * alpha - 2.0 * beta * beta) * dlam + beta * beta * dmu;
        if (j < s.nl) below += out.dh[jj];
        out.dh[jj] = j < s.nl ? f * below : 0.0;
    }
    out.u = (i2 + i3 / (2.0 * wn)) / (c * i1);
}

}  // namespace vemlari::detail
