// Kernels of one mode of a transversely isotropic model.
#include "eigen/transverse_mode_kernels.h"

#include <limits>

namespace vemlari::detail {

// At fixed frequency, omega^2 int rho |u|^2 = E(k) is stationary in the field: a change of a
// constant X of layer j moves k by -dE/dX / (dE/dk), and c = omega / k by (c / k) dE/dX /
// (dE/dk); a change of density by -(c / k) omega^2 int_j |u|^2 / (dE/dk).
TransverseModeKernels transverse_mode_kernels(const TransverseMode& t, double om, double c, const Nstrc& s) {
    const auto n = static_cast<std::size_t>(s.nl);
    TransverseModeKernels r;
    for (auto* v : {&r.dc_da, &r.dc_dc, &r.dc_df, &r.dc_dl, &r.dc_dn, &r.dc_drho, &r.dc_dvpv, &r.dc_dvph, &r.dc_dvsv,
                    &r.dc_dvsh, &r.dc_deta, &r.dc_drho_velocities})
        v->assign(n, t.valid ? 0.0 : std::numeric_limits<double>::quiet_NaN());
    if (!t.valid) return r;
    const double k = om / c, scale = c / k / t.de_dk;
    for (std::size_t i = 0; i < n; ++i) {
        const LayerEnergy& e = t.layer[i + 1];
        const double da = scale * e.a, dc = scale * e.c, df = scale * e.f, dl = scale * e.l, dn = scale * e.n;
        const double drho = -scale * om * om * e.rho;
        r.dc_da[i] = da;
        r.dc_dc[i] = dc;
        r.dc_df[i] = df;
        r.dc_dl[i] = dl;
        r.dc_dn[i] = dn;
        r.dc_drho[i] = drho;
        // A = rho vph^2, C = rho vpv^2, L = rho vsv^2, N = rho vsh^2, F = eta (A - 2L).
        const double rho = s.rho[i + 1], vph = s.vph[i + 1], vpv = s.vp[i + 1], vsv = s.vs[i + 1], vsh = s.vsh[i + 1],
                     eta = s.eta[i + 1];
        const LayerModuli m = layer_moduli(s, static_cast<int>(i + 1));
        r.dc_dvph[i] = 2.0 * rho * vph * (da + eta * df);
        r.dc_dvpv[i] = 2.0 * rho * vpv * dc;
        r.dc_dvsv[i] = 2.0 * rho * vsv * (dl - 2.0 * eta * df);
        r.dc_dvsh[i] = 2.0 * rho * vsh * dn;
        r.dc_deta[i] = (m.a - 2.0 * m.l) * df;
        r.dc_drho_velocities[i] = drho + (m.a * da + m.c * dc + m.f * df + m.l * dl + m.n * dn) / rho;
    }
    return r;
}

}  // namespace vemlari::detail
