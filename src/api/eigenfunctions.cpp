// One mode's field at any depths: the amplitudes of each layer carried down from the top,
// every layer entered in turn, so that a depth deep below thin layers is still right.
#include <algorithm>
#include <cmath>
#include <string>

#include "api/admission.h"
#include "eigen/love_amplitudes.h"
#include "eigen/mode_coefficients.h"
#include "eigen/mode_root.h"
#include "eigen/rayleigh_amplitudes.h"
#include "eigen/transverse_mode.h"
#include "eigen/water_mode.h"
#include "model/nstrc.h"
#include "vemlari/compute.h"

namespace vemlari {

using namespace detail;

namespace {

void check_depths(std::span<const double> depths) {
    for (std::size_t i = 0; i < depths.size(); ++i) {
        if (!(std::isfinite(depths[i]) && depths[i] >= 0.0))
            throw Error(Error::Rule::request, "depth " + std::to_string(i + 1) + " must be a finite number >= 0 m");
        if (i > 0 && depths[i] < depths[i - 1])
            throw Error(Error::Rule::request, "depths must not decrease: entry " + std::to_string(i + 1));
    }
}

// Current layer and its top and bottom depth; the half-space has no bottom.
struct Walk {
    int lay = 1;
    double udep = 0.0;
    double bdep = 0.0;
    template <class Amplitudes>
    void to(double z, const Nstrc& s, Amplitudes& a) {
        while (lay < s.nl && z > bdep) {
            ++lay;
            udep = bdep;
            bdep = lay == s.nl ? udep : udep + s.thk[lay];
            a.enter_layer(lay);
        }
    }
};

}  // namespace

Eigenfunctions eigenfunctions(const Model& model, const Modes& modes, Wave wave, std::size_t frequency, int mode,
                              std::span<const double> depths) {
    check_mode_entry(model, modes, wave, frequency, mode);
    const WaveModes& w = modes[wave];
    check_depths(depths);
    const double om = modes.frequencies.property_angular(frequency);
    const double c = w.phase_velocity[frequency][static_cast<std::size_t>(mode)];
    const double wn = om / c;
    const int found = w.found_at[frequency][static_cast<std::size_t>(mode)];
    const int fluid = static_cast<int>(model.fluid_layers());
    if (model.transversely_isotropic() && (fluid == 0 || wave == Wave::love)) {
        // Love modes under water: those of the solid layers, none in the water.
        const double floor = water_depth(model);
        std::vector<double> below;
        for (double d : depths) below.push_back(std::fmax(d - floor, 0.0));
        Eigenfunctions e;
        e.wave = wave;
        if (!transverse_eigenfunctions(om, c, std::max(found - fluid, 1), solid_part(model), below, e))
            throw Error(Error::Rule::request, "mode " + std::to_string(mode) + " at frequency entry " +
                                                  std::to_string(frequency) + " has no motion at the free surface");
        e.depth.assign(depths.begin(), depths.end());
        for (std::size_t i = 0; i < depths.size() && fluid > 0; ++i)
            if (depths[i] <= floor) e.displacement[i] = e.stress[i] = 0.0;
        return e;
    }
    Eigenfunctions e;
    if (fluid > 0 && wave == Wave::rayleigh) {
        const Nstrc s = nstrc_of(model);
        WaterMode water(s);
        water.eigenfunctions(om, c, found, depths, e);
        return e;
    }
    // Love waves of a model with water on top: those of its solid layers, none in the water.
    const Nstrc s = solid_part(model);
    const double floor = water_depth(model);
    SecularWork secular;
    const int top = field_anchor(wave, om, c, std::max(found - fluid, 1), s, secular);
    e.wave = wave;
    e.depth.assign(depths.begin(), depths.end());
    Walk walk;
    walk.bdep = s.nl == 1 ? 0.0 : s.thk[1];
    if (wave == Wave::love) {
        LoveCoefficients k;
        love_coefficients(om, wn, top, s, k);
        LoveAmplitudes a(om, wn, s, k.grtlv, k.top, k.grulv);
        a.start();
        for (double depth : depths) {
            if (fluid > 0 && depth <= floor) {
                e.displacement.push_back(0.0);
                e.stress.push_back(0.0);
                continue;
            }
            const double z = depth - floor;
            walk.to(z, s, a);
            cplx v, tau;
            a.field(z, walk.udep, walk.bdep, v, tau);
            e.displacement.push_back(v.re);
            e.stress.push_back(tau.re);
        }
        return e;
    }
    RayleighCoefficients k;
    rayleigh_coefficients(om, wn, top, s, k);
    RayleighAmplitudes a(om, wn, s, k.grtry, k.top, k.grury);
    a.start();
    for (double z : depths) {
        walk.to(z, s, a);
        cplx r[4];
        a.field(z, walk.udep, walk.bdep, r);
        e.horizontal.push_back(r[0].re);
        e.vertical.push_back(r[1].re);
        e.shear.push_back(r[2].re);
        e.normal.push_back(r[3].re);
    }
    return e;
}

}  // namespace vemlari
