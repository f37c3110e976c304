// Kernels and attenuation of every mode. As for the mode properties, each frequency depends
// only on its own phase velocities, so frequencies are computed side by side, each job with
// its own kernel records, writing only its own frequency's entries.
//
// Group-velocity kernels: from U = c / (1 - (om / c) dc/dom), at fixed frequency
//   dU/dm = (U / c) (2 - U / c) dc/dm + (U / c)^2 om d/dom (dc/dm),
// the last derivative along the mode, by central differences at om (1 +- 1e-4) of kernels
// computed at the mode's own roots there (predicted from U, refined on the secular
// function): no model parameter is perturbed. On the examples they agree with central
// differences of the group velocity in each parameter to 3e-6 of the mode's largest
// p dU/dp, the differences' own error included. The thickness kernels follow the same
// formula: U depends on the thicknesses only through c(om) as on any other parameter.
//
// H/V kernels (Rayleigh waves): eigen/ellipticity_kernels.h, at the same root.
#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <vector>

#include "api/admission.h"
#include "api/cancel_check.h"
#include "eigen/ellipticity_kernels.h"
#include "eigen/mode_root.h"
#include "eigen/phase_kernels.h"
#include "eigen/transverse_mode.h"
#include "eigen/transverse_mode_kernels.h"
#include "eigen/water_mode.h"
#include "model/nstrc.h"
#include "parallel/per_frequency.h"
#include "vemlari/sensitivity.h"

namespace vemlari {

using namespace detail;

namespace {

constexpr double relative_step = 1e-4;
// Relative distance from a layer's S velocity within which a mode that cannot be followed
// in frequency counts as not moving with it.
constexpr double near_velocity = 1e-12;

struct Slot {
    LoveCoefficients love;
    RayleighCoefficients rayleigh;
    SecularWork secular;
    PhaseKernels at, up, down;
    EllipticityKernels hv;
    EllipticityWork hv_work;
    // The model, whose values the H/V kernels move one at a time and put back.
    Nstrc moved;
    std::optional<WaterMode> water;
};

// With water on top (`fluid` layers), Love waves are those of the solid layers (`love`) and
// Rayleigh waves read from the stiffness of the whole model (`s`).
struct Job {
    const Model& model;
    const Nstrc& s;
    const Nstrc& love;
    int fluid;
    const Modes& modes;
    Kernels& out;
    bool ellipticity;
};

void phase_kernels(Wave wave, double om, double c, int top, const Nstrc& s, Slot& w, PhaseKernels& k) {
    const double wn = om / c;
    if (wave == Wave::love) {
        love_coefficients(om, wn, top, s, w.love);
        love_kernels(om, wn, s, w.love, k);
    } else {
        rayleigh_coefficients(om, wn, top, s, w.rayleigh);
        rayleigh_kernels(om, wn, s, w.rayleigh, k);
    }
}

// 1/Q of the layer's velocity, 0 for an elastic one.
double inverse(double q) { return q > 0.0 ? 1.0 / q : 0.0; }

// The root near c0 and the layer at whose top its secular function is referred: `top`
// first, then the top of every deeper layer, then the free surface (the counted search may
// take a root at an interface where the mode is a pole, not a zero, of the secular
// function). False, leaving both alone, if none has a root within `reach` of c0.
bool refine(Wave wave, double om, double c0, double reach, const Nstrc& s, SecularWork& w, int& top, double& c) {
    if (polish_root(wave, om, c0, reach, top, s, w, c)) return true;
    for (int n = 2; n <= s.nl; ++n) {
        const int t = n < s.nl ? n : 1;
        if (t != top && polish_root(wave, om, c0, reach, t, s, w, c)) {
            top = t;
            return true;
        }
    }
    return false;
}

// om d/dom of the kernels along the mode, from kernels at roots om (1 + n 1e-4) away:
// central differences, or second-order one-sided ones where the mode cannot be followed to
// one side (it ends at the half-space's S velocity there). False where neither works.
struct Slope {
    double at = 0.0, up = 0.0, down = 0.0;  // weights of w.at, w.up, w.down
};

bool frequency_slope(Wave wave, double om, double c, double reach, int top, const Nstrc& s, Slot& w, Slope& g) {
    const double dc_dom = (c / om) * (1.0 - c / w.at.u);
    auto follow = [&](int n, PhaseKernels& k) {
        const double dom = n * relative_step * om;
        double c_n = c + dc_dom * dom;
        int t = top;
        if (!refine(wave, om + dom, c_n, reach, s, w.secular, t, c_n)) return false;
        phase_kernels(wave, om + dom, c_n, t, s, w, k);
        return true;
    };
    const double h = 1.0 / (2.0 * relative_step);
    if (follow(1, w.up)) {
        if (follow(-1, w.down)) {
            g = {0.0, h, -h};
            return true;
        }
        if (!follow(2, w.down)) return false;
        g = {-3.0 * h, 4.0 * h, -h};
        return true;
    }
    if (!follow(-1, w.down) || !follow(-2, w.up)) return false;
    g = {3.0 * h, h, -4.0 * h};
    return true;
}

// Whether c lies within `near_velocity` of a layer's S velocity.
bool at_layer_velocity(double c, const Nstrc& s) {
    for (int j = 1; j <= s.nl; ++j)
        if (std::fabs(c - s.vs[static_cast<std::size_t>(j)]) <= near_velocity * c) return true;
    return false;
}

// Roots stay closer to mode md than to its neighbours.
double mode_gap(const std::vector<double>& row, std::size_t md) {
    const double c = row[md];
    double gap = 1e-2 * c;
    if (md > 0) gap = std::fmin(gap, c - row[md - 1]);
    if (md + 1 < row.size()) gap = std::fmin(gap, row[md + 1] - c);
    return gap;
}

void attenuation(const Model& model, double om, double c, ModeKernels& out) {
    double q = 0.0;
    for (std::size_t i = 0; i < model.size(); ++i) {
        const Layer& l = model[i];
        double p = l.vp * out.dc_dvp[i], s = l.vs * out.dc_dvs[i];
        if (!out.dc_dvph.empty()) {
            p += horizontal_vp(l) * out.dc_dvph[i];
            s += horizontal_vs(l) * out.dc_dvsh[i];
        }
        q += p / c * inverse(l.qp) + s / c * inverse(l.qs);
    }
    out.inverse_q = q;
    out.gamma = om * q / (2.0 * c);
}

// A Rayleigh mode of a model with water on top: kernels from the stiffness (water_mode.h) at
// the root, and along the mode at om (1 +- 1e-4) for the group-velocity kernels.
void water_kernels(const Job& j, Slot& w, double om, const std::vector<double>& row, std::size_t md, int found_at,
                   ModeKernels& out) {
    if (!w.water) w.water.emplace(j.s);
    WaterMode& m = *w.water;
    const double gap = mode_gap(row, md);
    double c = row[md];
    m.polish(om, row[md], 0.5 * gap, found_at, c);
    m.kernels(om, c, found_at, w.at);
    const PhaseKernels& k = w.at;
    out.dc_dvs = k.dvs;
    out.dc_dvp = k.dvp;
    out.dc_drho = k.drho;
    out.dc_dh = k.dh;
    const double dc_dom = (c / om) * (1.0 - c / k.u);
    auto follow = [&](int n, PhaseKernels& at) {
        const double dom = n * relative_step * om;
        double c_n = c + dc_dom * dom;
        if (!m.polish(om + dom, c_n, 0.25 * gap, found_at, c_n)) return false;
        m.kernels(om + dom, c_n, found_at, at);
        return true;
    };
    out.du_defined = follow(1, w.up) && follow(-1, w.down);
    const double r = k.u / c, h = 1.0 / (2.0 * relative_step);
    auto group = [&](const std::vector<double>& dc, const std::vector<double>& up, const std::vector<double>& down,
                     std::vector<double>& du) {
        du.assign(dc.size(), std::numeric_limits<double>::quiet_NaN());
        if (!out.du_defined) return;
        for (std::size_t i = 0; i < dc.size(); ++i) du[i] = r * (2.0 - r) * dc[i] + r * r * h * (up[i] - down[i]);
    };
    group(k.dvs, w.up.dvs, w.down.dvs, out.du_dvs);
    group(k.dvp, w.up.dvp, w.down.dvp, out.du_dvp);
    group(k.drho, w.up.drho, w.down.drho, out.du_drho);
    group(k.dh, w.up.dh, w.down.dh, out.du_dh);
    // The H/V kernels are not given with water on top.
    for (auto* v : {&out.dhv_dvs, &out.dhv_dvp, &out.dhv_drho, &out.dhv_dh})
        v->assign(k.dvs.size(), std::numeric_limits<double>::quiet_NaN());
    attenuation(j.model, om, c, out);
}

// Love kernels of a model with water on top have the water's entries first, all 0.
void water_entries(int fluid, ModeKernels& out) {
    for (auto* v :
         {&out.dc_dvs, &out.dc_dvp, &out.dc_drho, &out.dc_dh, &out.du_dvs, &out.du_dvp, &out.du_drho, &out.du_dh})
        v->insert(v->begin(), static_cast<std::size_t>(fluid), 0.0);
    for (auto* v : {&out.dhv_dvs, &out.dhv_dvp, &out.dhv_drho, &out.dhv_dh})
        v->assign(out.dc_dvs.size(), std::numeric_limits<double>::quiet_NaN());
}

// A mode of a model with radially anisotropic layers: the velocity kernels from the energy
// integrals of its layers (eigen/transverse_mode.h) at the phase velocity found.
void transverse_entries(const Job& j, Wave wave, double om, double c, int found_at, ModeKernels& out) {
    const TransverseModeKernels k = transverse_mode_kernels(transverse_mode(wave, om, c, found_at, j.s), om, c, j.s);
    out.dc_dvs = k.dc_dvsv;
    out.dc_dvp = k.dc_dvpv;
    out.dc_drho = k.dc_drho_velocities;
    out.dc_dvsh = k.dc_dvsh;
    out.dc_dvph = k.dc_dvph;
    out.dc_deta = k.dc_deta;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (auto* v : {&out.dc_dh, &out.du_dvs, &out.du_dvp, &out.du_drho, &out.du_dh, &out.dhv_dvs, &out.dhv_dvp,
                    &out.dhv_drho, &out.dhv_dh})
        v->assign(k.dc_dvsv.size(), nan);
    out.du_defined = false;
    attenuation(j.model, om, c, out);
}

void mode_kernels(const Job& j, Slot& w, Wave wave, double om, const std::vector<double>& row, std::size_t md,
                  int found_at, ModeKernels& out) {
    if (j.model.transversely_isotropic()) {
        transverse_entries(j, wave, om, row[md], found_at, out);
        return;
    }
    if (wave == Wave::rayleigh && j.fluid > 0) {
        water_kernels(j, w, om, row, md, found_at, out);
        return;
    }
    const Nstrc& s = wave == Wave::love ? j.love : j.s;
    found_at = std::max(found_at - j.fluid, 1);
    const std::size_t nl = static_cast<std::size_t>(s.nl);
    const double c_found = row[md];
    const double gap = mode_gap(row, md);
    // The search stops once |F| is below its tolerance; the kernels hold at the root itself.
    double c = c_found;
    int top = found_at > 1 ? found_at : 1;
    if (!refine(wave, om, c_found, 0.5 * gap, s, w.secular, top, c))
        top = field_anchor(wave, om, c, found_at, s, w.secular);
    phase_kernels(wave, om, c, top, s, w, w.at);
    const PhaseKernels& k = w.at;
    out.dc_dvs = k.dvs;
    out.dc_dvp = k.dvp;
    out.dc_drho = k.drho;
    out.dc_dh = k.dh;
    const double r = k.u / c;
    // A lone half-space has no length scale: its kernels do not change with frequency. Nor,
    // to double precision, do those of a mode that cannot be followed because it stays
    // within rounding of a layer's S velocity (the Love fundamental at very low frequency
    // at the half-space's, modes at very high frequency at the slowest layer's: that
    // layer's S wave): the other layers and thicknesses hold a share of the mode of about
    // its distance from that velocity, below 1e-12, and so does the slope.
    Slope g;
    bool constant = s.nl == 1;
    bool along = constant || frequency_slope(wave, om, c, 0.25 * gap, top, s, w, g);
    if (!along && at_layer_velocity(c, s)) along = constant = true;
    out.du_defined = along;
    auto group = [&](const std::vector<double>& dc, const std::vector<double>& up, const std::vector<double>& down,
                     std::vector<double>& du) {
        du.assign(nl, std::numeric_limits<double>::quiet_NaN());
        if (!along) return;
        for (std::size_t i = 0; i < nl; ++i) {
            const double slope = constant ? 0.0 : g.at * dc[i] + g.up * up[i] + g.down * down[i];
            du[i] = r * (2.0 - r) * dc[i] + r * r * slope;
        }
    };
    group(k.dvs, w.up.dvs, w.down.dvs, out.du_dvs);
    group(k.dvp, w.up.dvp, w.down.dvp, out.du_dvp);
    group(k.drho, w.up.drho, w.down.drho, out.du_drho);
    group(k.dh, w.up.dh, w.down.dh, out.du_dh);
    if (wave == Wave::rayleigh && j.ellipticity) {
        ellipticity_kernels(om, c, top, k, w.moved, w.rayleigh, w.hv_work, w.hv);
        out.dhv_dvs = w.hv.dvs;
        out.dhv_dvp = w.hv.dvp;
        out.dhv_drho = w.hv.drho;
        out.dhv_dh = w.hv.dh;
    } else {
        for (auto* v : {&out.dhv_dvs, &out.dhv_dvp, &out.dhv_drho, &out.dhv_dh})
            v->assign(nl, std::numeric_limits<double>::quiet_NaN());
    }
    if (j.fluid > 0) water_entries(j.fluid, out);
    attenuation(j.model, om, c, out);
}

void frequency(const Job& j, Slot& w, std::size_t k) {
    const double om = j.modes.frequencies.property_angular(k);
    if (j.ellipticity && w.moved.nl == 0) w.moved = j.s;
    for (Wave wave : {Wave::love, Wave::rayleigh}) {
        const WaveModes& wm = j.modes[wave];
        std::vector<ModeKernels>& row = (wave == Wave::love ? j.out.love : j.out.rayleigh).modes[k];
        row.resize(wm.phase_velocity[k].size());
        for (std::size_t md = 0; md < row.size() && !cancelled(j.modes.options); ++md)
            mode_kernels(j, w, wave, om, wm.phase_velocity[k], md, wm.found_at[k][md], row[md]);
    }
}

}  // namespace

Kernels sensitivity_kernels(const Model& model, const Modes& modes, int threads, bool ellipticity) {
    if (threads < 1) throw Error(Error::Rule::option, "the number of threads must be at least 1");
    check_modes(model, modes);
    check_no_water_over_anisotropy(model, "sensitivity kernels");
    const std::size_t n = modes.frequencies.size();
    const Nstrc s = nstrc_of(model), love = solid_part(model);
    Kernels out;
    out.love.modes.assign(n, {});
    out.rayleigh.modes.assign(n, {});
    const Job job{model, s, love, static_cast<int>(model.fluid_layers()), modes, out, ellipticity};
    for_each_frequency<Slot>(n, threads, [&](std::size_t k, Slot& w) {
        if (!cancelled(modes.options)) frequency(job, w, k);
    });
    stop_if_cancelled(modes.options);
    return out;
}

}  // namespace vemlari
