// vemlari kernels: a row per model, wave, mode, frequency and layer.
#include <algorithm>
#include <string>

#include "cli/commands.h"
#include "cli/mode_frequencies.h"
#include "cli/search_options.h"
#include "cli/shortest_number.h"
#include "cli/spherical.h"
#include "cli/table_run.h"
#include "vemlari/error.h"
#include "vemlari/sensitivity.h"

namespace vemlari::cli {

namespace {

enum Column {
    mode,
    frequency,
    phase_velocity,
    group_velocity,
    layer,
    dc_dvs,
    dc_dvp,
    dc_drho,
    dc_dh,
    du_dvs,
    du_dvp,
    du_drho,
    inverse_q,
    gamma,
    du_dh,
    dhv_dvs,
    dhv_dvp,
    dhv_drho,
    dhv_dh,
    dc_dvsh,
    dc_dvph,
    dc_deta,
    columns
};

// Mode after mode, each at every frequency where it exists, its layers from the top.
Block block_of(const std::string& name, const Sensitivities& s, Wave w, bool ellipticity) {
    const WaveModes& wm = s.modes[w];
    const WaveProperties& wp = s.properties[w];
    const WaveKernels& wk = s.kernels[w];
    Block b{name, w, 0, std::vector<std::vector<double>>(columns)};
    // H/V kernels, of Rayleigh waves only, when asked; the anisotropic ones of a model with
    // radially anisotropic layers; else empty columns.
    std::size_t most = 0;
    for (const std::vector<double>& at : wm.phase_velocity) most = std::max(most, at.size());
    for (std::size_t md = 0; md < most; ++md)
        for (std::size_t k = 0; k < wm.phase_velocity.size(); ++k) {
            if (md >= wm.phase_velocity[k].size()) continue;
            const ModeKernels& q = wk.modes[k][md];
            for (std::size_t j = 0; j < q.dc_dvs.size(); ++j) {
                const double row[columns] = {static_cast<double>(wm.mode[k][md]),
                                             s.modes.frequencies.frequency(k),
                                             wm.phase_velocity[k][md],
                                             wp.modes[k][md].group_velocity,
                                             static_cast<double>(j + 1),
                                             q.dc_dvs[j],
                                             q.dc_dvp[j],
                                             q.dc_drho[j],
                                             q.dc_dh[j],
                                             q.du_dvs[j],
                                             q.du_dvp[j],
                                             q.du_drho[j],
                                             q.inverse_q,
                                             q.gamma,
                                             q.du_dh[j],
                                             q.dhv_dvs[j],
                                             q.dhv_dvp[j],
                                             q.dhv_drho[j],
                                             q.dhv_dh[j],
                                             q.dc_dvsh.empty() ? 0.0 : q.dc_dvsh[j],
                                             q.dc_dvph.empty() ? 0.0 : q.dc_dvph[j],
                                             q.dc_deta.empty() ? 0.0 : q.dc_deta[j]};
                for (int c = 0; c < columns; ++c) {
                    const bool hv = c >= dhv_dvs && c <= dhv_dh, anisotropic = c >= dc_dvsh;
                    if (hv ? w == Wave::rayleigh && ellipticity : !anisotropic || !q.dc_deta.empty())
                        b.values[c].push_back(row[c]);
                }
                ++b.rows;
            }
        }
    return b;
}

std::string number(double v) {
    std::string text;
    append_shortest(text, v);
    return text;
}

// Why the velocities moved to `hz` make no model: the relation, and the values it was given.
std::string dispersion_fault(const Model& model, double hz, const Error& e) {
    const std::string at = "at " + number(hz) + " Hz, physical dispersion ";
    const bool s = e.quantity() == "vs";
    if (e.layer() < 1 || !(s || e.quantity() == "vp") || e.value() > 0.0) return at + "gives " + e.what();
    const Layer& l = model[static_cast<std::size_t>(e.layer() - 1)];
    const std::string v = e.quantity(), f = s ? "Fs" : "Fp", q = s ? "Qs" : "Qp";
    return at + "makes layer " + std::to_string(e.layer()) + "'s " + v + " " + number(e.value()) +
           " m/s, not a positive velocity: " + v + "(f) = " + v + "(" + f + ") (1 + ln(f / " + f + ") / (pi " + q +
           ")) with " + v + "(" + f + ") = " + number(s ? l.vs : l.vp) + " m/s, " + f + " = " +
           number(s ? l.fs : l.fp) + " Hz, " + q + " = " + number(s ? l.qs : l.qp);
}

// The library names the layer that dispersion made invalid, not the frequency: find it.
[[noreturn]] void refuse_dispersed(const Model& model, const Frequencies& frequencies, const Error& e) {
    for (std::size_t k = 0; k < frequencies.size(); ++k) {
        const double hz = frequencies.frequency(k);
        if (!(hz > 0.0)) continue;
        try {
            (void)dispersed_model(model, hz);
        } catch (const Error& at) {
            throw Refusal(dispersion_fault(model, hz, at));
        }
    }
    throw e;
}

}  // namespace

int run_kernels(const KernelsRequest& r, std::istream& in, std::ostream& out, std::ostream& err, bool terminal) {
    TableJob job;
    job.columns = {"mode",      "frequency", "phase_velocity", "group_velocity", "layer",   "dc_dvs",
                   "dc_dvp",    "dc_drho",   "dc_dh",          "du_dvs",         "du_dvp",  "du_drho",
                   "inverse_q", "gamma",     "du_dh",          "dhv_dvs",        "dhv_dvp", "dhv_drho",
                   "dhv_dh",    "dc_dvsh",   "dc_dvph",        "dc_deta"};
    const Sphere& sphere = r.modes.sphere;
    job.frequencies = [&](const ModelEntry& e) {
        return frequency_count(r.modes, e) * searches(sphere, r.modes.common);
    };
    job.fastest_half_space = r.modes.search.scan;
    job.compute = [&](const ModelEntry& e, int threads, const std::function<void()>& frequency_done) {
        check_table_size(TableKind::kernels, r.modes, e);
        SearchOptions o = search_options(r.modes.common, r.modes.search, threads, frequency_done);
        o.highest_mode = r.modes.highest_mode;
        o.mode_set = r.modes.mode_set;
        const Frequencies& f = frequencies_of(r.modes, e);
        auto found = [&](const Model& model, const SearchOptions& options) {
            try {
                return sensitivities(model, f, options, r.physical_dispersion, r.ellipticity);
            } catch (const Error& error) {
                // A model read and validated fails only where dispersion moved its velocities.
                if (r.physical_dispersion && error.layer() > 0) refuse_dispersed(model, f, error);
                throw;
            }
        };
        std::vector<Block> blocks;
        if (sphere.on) {
            // Each wave on its flat model, its kernels summed back onto the model's layers.
            for (Wave w : {Wave::love, Wave::rayleigh}) {
                if (!asked(r.modes.common, w)) continue;
                const FlatModel flat = flatten(*e.model, w, sphere.radius);
                Sensitivities s = found(flat.model, one_wave(o, w));
                for (std::vector<ModeKernels>& row : (w == Wave::love ? s.kernels.love : s.kernels.rayleigh).modes)
                    for (ModeKernels& k : row) k = spherical_kernels(flat, k);
                blocks.push_back(block_of(e.name, s, w, r.ellipticity));
            }
            return blocks;
        }
        const Sensitivities s = found(*e.model, o);
        for (Wave w : {Wave::love, Wave::rayleigh})
            if (s.modes[w].searched) blocks.push_back(block_of(e.name, s, w, r.ellipticity));
        return blocks;
    };
    return run_table(r.modes.common, job, in, out, err, terminal);
}

}  // namespace vemlari::cli
