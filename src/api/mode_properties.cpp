// Group velocity, energy integral, medium response and H/V of every mode, frequency by
// frequency side by side.
#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <vector>

#include "api/admission.h"
#include "api/cancel_check.h"
#include "eigen/love_mode.h"
#include "eigen/mode_root.h"
#include "eigen/rayleigh_mode.h"
#include "eigen/transverse_mode.h"
#include "eigen/water_mode.h"
#include "model/nstrc.h"
#include "parallel/per_frequency.h"
#include "vemlari/compute.h"

namespace vemlari {

using namespace detail;

namespace {

double response(double om, const ModeEnergy& e) { return e.u > 1e-05 && e.e1 > 1e-05 ? 0.25 / (om * e.u * e.e1) : 0.0; }

struct Slot {
    LoveCoefficients love;
    RayleighCoefficients rayleigh;
    SecularWork secular;
    std::optional<WaterMode> water;
};

// With water on top, Love waves are those of the solid layers (`love`, whose layer tops are
// those of the model less the `fluid` layers) and Rayleigh waves read from the stiffness.
struct Job {
    const Nstrc& s;
    const Nstrc& love;
    int fluid;
    const Modes& modes;
    Properties& out;
};

void love_frequency(const Job& j, Slot& w, std::size_t k, double om) {
    const WaveModes& wm = j.modes.love;
    std::vector<ModeProperties>& row = j.out.love.modes[k];
    row.resize(wm.phase_velocity[k].size());
    for (std::size_t md = 0; md < row.size() && !cancelled(j.modes.options); ++md) {
        const double c = wm.phase_velocity[k][md];
        const double wn = om / c;
        const int found = std::max(wm.found_at[k][md] - j.fluid, 1);
        love_coefficients(om, wn, field_anchor(Wave::love, om, c, found, j.love, w.secular), j.love, w.love);
        for (int n = 0; n < w.love.grtlv.nwarn; ++n) {
            Diagnostic d;
            d.kind = Diagnostic::Kind::near_singular;
            d.wave = Wave::love;
            d.frequency = k;
            d.mode = static_cast<int>(md);
            d.phase_velocity = c;
            d.angular_frequency = om;
            d.wavenumber = wn;
            const cplx t = w.love.grtlv.warnD[static_cast<std::size_t>(n)];
            d.term = {t.re, t.im};
            j.out.love.diagnostics[k].push_back(d);
        }
        const ModeEnergy e = love_energy(om, wn, c, j.love, w.love);
        const double nan = std::numeric_limits<double>::quiet_NaN();
        row[md] = {e.u, e.e1, response(om, e), nan, nan, nan};
    }
}

void rayleigh_frequency(const Job& j, Slot& w, std::size_t k, double om) {
    const WaveModes& wm = j.modes.rayleigh;
    std::vector<ModeProperties>& row = j.out.rayleigh.modes[k];
    row.resize(wm.phase_velocity[k].size());
    for (std::size_t md = 0; md < row.size() && !cancelled(j.modes.options); ++md) {
        const double c = wm.phase_velocity[k][md];
        const double wn = om / c;
        if (j.fluid > 0) {
            if (!w.water) w.water.emplace(j.s);
            const WaterModeProperties p = w.water->properties(om, c, wm.found_at[k][md]);
            row[md] = {p.u, p.e1, response(om, {p.e1, p.u}), 0.0, 0.0, p.seafloor_hv};
            continue;
        }
        rayleigh_coefficients(om, wn, field_anchor(Wave::rayleigh, om, c, wm.found_at[k][md], j.s, w.secular), j.s,
                              w.rayleigh);
        const double hv = rayleigh_hv(om, wn, j.s, w.rayleigh);
        const ModeEnergy e = rayleigh_energy(om, wn, c, j.s, w.rayleigh);
        row[md] = {e.u, e.e1, response(om, e), std::fabs(hv), hv, std::fabs(hv)};
    }
}

// A model with transversely isotropic layers: every mode from its slices (eigen/transverse_mode.h);
// the Love modes of one with water on top those of its solid layers.
void transverse_frequency(const Job& j, Wave wave, std::size_t k, double om) {
    const WaveModes& wm = j.modes[wave];
    std::vector<ModeProperties>& row = (wave == Wave::love ? j.out.love : j.out.rayleigh).modes[k];
    row.resize(wm.phase_velocity[k].size());
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (std::size_t md = 0; md < row.size(); ++md) {
        const double c = wm.phase_velocity[k][md];
        const bool love = wave == Wave::love;
        const TransverseMode t =
            transverse_mode(wave, om, c, std::max(wm.found_at[k][md] - (love ? j.fluid : 0), 1), love ? j.love : j.s);
        if (!t.valid) {
            row[md] = {nan, nan, nan, nan, nan, nan};
            continue;
        }
        const ModeEnergy e{0.5 * t.inertia, t.group_velocity};
        // u_x = U and u_z = i W (z down) with W = 1 at the surface: retrograde where U < 0.
        const double hv = wave == Wave::love ? nan : -t.horizontal;
        row[md] = {e.u, e.e1, response(om, e), std::fabs(hv), hv, std::fabs(hv)};
    }
}

}  // namespace

Properties mode_properties(const Model& model, const Modes& modes, int threads) {
    if (threads < 1) throw Error(Error::Rule::option, "the number of threads must be at least 1");
    check_modes(model, modes);
    const std::size_t n = modes.frequencies.size();
    const Nstrc s = nstrc_of(model), love = solid_part(model);
    Properties p;
    for (WaveProperties* w : {&p.love, &p.rayleigh}) {
        w->modes.assign(n, {});
        w->diagnostics.assign(n, {});
    }
    const Job job{s, love, static_cast<int>(model.fluid_layers()), modes, p};
    for_each_frequency<Slot>(n, threads, [&](std::size_t k, Slot& w) {
        if (cancelled(modes.options)) return;
        const double om = modes.frequencies.property_angular(k);
        if (model.transversely_isotropic()) {
            // Rayleigh modes under water from the stiffness, whatever the layers below.
            transverse_frequency(job, Wave::love, k, om);
            if (job.fluid > 0)
                rayleigh_frequency(job, w, k, om);
            else
                transverse_frequency(job, Wave::rayleigh, k, om);
            return;
        }
        love_frequency(job, w, k, om);
        rayleigh_frequency(job, w, k, om);
    });
    stop_if_cancelled(modes.options);
    return p;
}

}  // namespace vemlari
