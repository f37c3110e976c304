// Kernels and attenuation of every mode. As for the mode properties, each frequency depends
// only on its own phase velocities, so frequencies are computed side by side, each job with
// its own kernel records, writing only its own frequency's entries.
//
// Group-velocity kernels: from U = c / (1 - (om / c) dc/dom), at fixed frequency
//   dU/dm = (U / c) (2 - U / c) dc/dm + (U / c)^2 om d/dom (dc/dm),
// the last derivative along the mode, by central differences at om (1 +- 1e-4) of kernels
// computed at the mode's own roots there (predicted from U, refined on the secular
// function): no model parameter is perturbed. Its error, measured against finite
// differences of the group velocity, is below 1e-6 of the largest entry.
#include <cmath>
#include <limits>
#include <memory>
#include <mutex>
#include <vector>

#include "eigen/mode_root.h"
#include "eigen/phase_kernels.h"
#include "model/nstrc.h"
#include "parallel/worker_pool.h"
#include "vemlari/sensitivity.h"

namespace vemlari {

namespace {

constexpr double relative_step = 1e-4;

struct Slot {
    LoveCoefficients love;
    RayleighCoefficients rayleigh;
    SecularWork secular;
    PhaseKernels at, up, down;
};

struct Job {
    const Model& model;
    const Nstrc& s;
    const Modes& modes;
    Kernels& out;
    std::vector<std::unique_ptr<Slot>> slots;
    std::vector<int> free;
    std::mutex mutex;
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

void mode_kernels(const Job& j, Slot& w, Wave wave, double om, double c_found, int top, ModeKernels& out) {
    const Nstrc& s = j.s;
    const std::size_t nl = static_cast<std::size_t>(s.nl);
    // The search stops once |F| is below its tolerance; the kernels hold at the root itself.
    double c = c_found;
    if (s.nl > 1) polish_root(wave, om, c_found, 1e-4 * c_found, top, s, w.secular, c);
    phase_kernels(wave, om, c, top, s, w, w.at);
    const PhaseKernels& k = w.at;
    out.dc_dvs = k.dvs;
    out.dc_dvp = k.dvp;
    out.dc_drho = k.drho;
    out.dc_dh = k.dh;
    const double u = k.u;
    const double r = u / c;
    out.du_dvs.assign(nl, 0.0);
    out.du_dvp.assign(nl, 0.0);
    out.du_drho.assign(nl, 0.0);
    // A lone half-space has no length scale: its kernels do not change with frequency.
    bool along = s.nl > 1;
    if (along) {
        const double dom = relative_step * om;
        const double dc_dom = (c / om) * (1.0 - c / u);
        for (int side : {1, -1}) {
            const double om_s = om + side * dom;
            const double predicted = c + side * dc_dom * dom;
            double c_s = predicted;
            if (!polish_root(wave, om_s, predicted, 1e-6 * c, top, s, w.secular, c_s)) {
                along = false;
                break;
            }
            phase_kernels(wave, om_s, c_s, top, s, w, side > 0 ? w.up : w.down);
        }
    }
    const double nan = std::numeric_limits<double>::quiet_NaN();
    auto group = [&](const std::vector<double>& dc, const std::vector<double>& up, const std::vector<double>& down,
                     std::vector<double>& du) {
        for (std::size_t i = 0; i < nl; ++i) {
            const double slope = s.nl == 1 ? 0.0 : along ? (up[i] - down[i]) / (2.0 * relative_step) : nan;
            du[i] = r * (2.0 - r) * dc[i] + r * r * slope;
        }
    };
    group(k.dvs, w.up.dvs, w.down.dvs, out.du_dvs);
    group(k.dvp, w.up.dvp, w.down.dvp, out.du_dvp);
    group(k.drho, w.up.drho, w.down.drho, out.du_drho);
    double q = 0.0;
    for (std::size_t i = 0; i < nl; ++i) {
        const Layer& l = j.model[i];
        q += l.vp / c * k.dvp[i] * inverse(l.qp) + l.vs / c * k.dvs[i] * inverse(l.qs);
    }
    out.inverse_q = q;
    out.gamma = om * q / (2.0 * c);
}

void frequency(void* context, int i) {
    Job& j = *static_cast<Job*>(context);
    int slot;
    {
        std::lock_guard<std::mutex> lock(j.mutex);
        slot = j.free.back();
        j.free.pop_back();
    }
    Slot& w = *j.slots[static_cast<std::size_t>(slot)];
    const auto k = static_cast<std::size_t>(i);
    const double om = j.modes.frequencies.property_angular(k);
    for (Wave wave : {Wave::love, Wave::rayleigh}) {
        const WaveModes& wm = j.modes[wave];
        std::vector<ModeKernels>& row = (wave == Wave::love ? j.out.love : j.out.rayleigh).modes[k];
        row.resize(wm.phase_velocity[k].size());
        for (std::size_t md = 0; md < row.size(); ++md)
            mode_kernels(j, w, wave, om, wm.phase_velocity[k][md], wm.found_at[k][md], row[md]);
    }
    std::lock_guard<std::mutex> lock(j.mutex);
    j.free.push_back(slot);
}

}  // namespace

Kernels sensitivity_kernels(const Model& model, const Modes& modes, int threads) {
    if (threads < 1) throw Error(Error::Rule::option, "the number of threads must be at least 1");
    const std::size_t n = modes.frequencies.size();
    if (modes.love.phase_velocity.size() != n || modes.rayleigh.phase_velocity.size() != n)
        throw Error(Error::Rule::request, "the modes do not come from find_modes on these frequencies");
    const Nstrc s = nstrc_of(model);
    Kernels out;
    out.love.modes.assign(n, {});
    out.rayleigh.modes.assign(n, {});
    Job job{model, s, modes, out, {}, {}, {}};
    for (int t = 0; t < threads; ++t) {
        job.slots.push_back(std::make_unique<Slot>());
        job.free.push_back(t);
    }
    WorkerPool pool(threads);
    pool.run(static_cast<int>(n), frequency, &job);
    return out;
}

}  // namespace vemlari
