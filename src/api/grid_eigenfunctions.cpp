// One mode's field on a regular depth grid: the layer walk of the eigen stage, one layer
// entered per point.
#include "vemlari/grid_eigenfunctions.h"

#include <cmath>
#include <string>

#include "api/admission.h"
#include "eigen/love_mode.h"
#include "eigen/rayleigh_mode.h"
#include "model/nstrc.h"

namespace vemlari {

using namespace detail;

Eigenfunctions grid_eigenfunctions(const Model& model, const Modes& modes, Wave wave, std::size_t frequency, int mode,
                                   const RegularDepths& grid) {
    if (model.transversely_isotropic() || model.fluid_layers() > 0)
        throw Error(Error::Rule::request, "the eigenfunctions on a depth grid take isotropic solid layers only");
    if (!(std::isfinite(grid.step) && grid.step >= 0.0 && std::isfinite(grid.depth) && grid.depth >= 0.0) ||
        grid.points < 1)
        throw Error(Error::Rule::request, "a depth grid needs a finite step and depth >= 0 m and one point at least");
    check_mode_entry(model, modes, wave, frequency, mode);
    const WaveModes& w = modes[wave];
    const auto md = static_cast<std::size_t>(mode);
    const double om = modes.frequencies.property_angular(frequency);
    const double wn = om / w.phase_velocity[frequency][md];
    const int top = w.found_at[frequency][md];
    const Nstrc s = nstrc_of(model);
    const DepthGrid g{grid.step, grid.depth, grid.points};
    const auto n = static_cast<std::size_t>(grid.points);

    Eigenfunctions e;
    e.wave = wave;
    for (int i = 0; i < grid.points; ++i) e.depth.push_back(grid.step * i);
    if (wave == Wave::love) {
        LoveCoefficients k;
        love_coefficients(om, wn, top, s, k);
        e.displacement.resize(n);
        e.stress.resize(n);
        love_eigenfunctions(om, wn, s, k, g, e.displacement.data(), e.stress.data());
        return e;
    }
    RayleighCoefficients k;
    rayleigh_coefficients(om, wn, top, s, k);
    for (std::vector<double>* v : {&e.horizontal, &e.vertical, &e.shear, &e.normal}) v->resize(n);
    double* const out[4] = {e.horizontal.data(), e.vertical.data(), e.shear.data(), e.normal.data()};
    rayleigh_eigenfunctions(om, wn, s, k, g, out);
    return e;
}

}  // namespace vemlari
