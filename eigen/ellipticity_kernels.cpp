#include "eigen/ellipticity_kernels.h"

#include <cstddef>

#include "eigen/rayleigh_mode.h"

namespace vemlari {

namespace {

constexpr double step = 1e-6;

double surface_hv(double om, double c, int top, const Nstrc& s, RayleighCoefficients& k) {
    const double wn = om / c;
    rayleigh_coefficients(om, wn, top, s, k);
    return rayleigh_hv(om, wn, s, k);
}

// d surface_hv / d value by central differences, `value` (in `s`, or the phase velocity)
// put back bit for bit.
double partial(double& value, double delta, double om, const double& c, int top, const Nstrc& s,
               RayleighCoefficients& k) {
    const double kept = value, up = kept + delta, down = kept - delta;
    value = up;
    const double hv_up = surface_hv(om, c, top, s, k);
    value = down;
    const double hv_down = surface_hv(om, c, top, s, k);
    value = kept;
    return (hv_up - hv_down) / (up - down);
}

}  // namespace

void ellipticity_kernels(double om, double c, int top, const PhaseKernels& dc, Nstrc& s, RayleighCoefficients& k,
                         EllipticityKernels& out) {
    const auto nl = static_cast<std::size_t>(s.nl);
    for (auto* v : {&out.dvs, &out.dvp, &out.drho, &out.dh}) v->assign(nl, 0.0);
    double trial = c;
    const double along_c = partial(trial, step * c, om, trial, top, s, k);
    const double length = c / om;
    for (std::size_t i = 0; i < nl; ++i) {
        const std::size_t j = i + 1;
        out.dvs[i] = partial(s.vs[j], step * s.vs[j], om, c, top, s, k) + along_c * dc.dvs[i];
        out.dvp[i] = partial(s.vp[j], step * s.vp[j], om, c, top, s, k) + along_c * dc.dvp[i];
        out.drho[i] = partial(s.rho[j], step * s.rho[j], om, c, top, s, k) + along_c * dc.drho[i];
        if (j < nl) out.dh[i] = partial(s.thk[j], step * length, om, c, top, s, k) + along_c * dc.dh[i];
    }
}

}  // namespace vemlari
