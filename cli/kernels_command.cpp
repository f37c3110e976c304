// vemlari kernels: a row per model, wave, mode, frequency and layer.
#include <algorithm>

#include "cli/commands.h"
#include "cli/mode_frequencies.h"
#include "cli/search_options.h"
#include "cli/table_run.h"
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
    columns
};

// Mode after mode, each at every frequency where it exists, its layers from the top.
Block block_of(const std::string& name, const Sensitivities& s, Wave w) {
    const WaveModes& wm = s.modes[w];
    const WaveProperties& wp = s.properties[w];
    const WaveKernels& wk = s.kernels[w];
    Block b{name, w, 0, std::vector<std::vector<double>>(columns)};
    std::size_t most = 0;
    for (const std::vector<double>& at : wm.phase_velocity) most = std::max(most, at.size());
    for (std::size_t md = 0; md < most; ++md)
        for (std::size_t k = 0; k < wm.phase_velocity.size(); ++k) {
            if (md >= wm.phase_velocity[k].size()) continue;
            const ModeKernels& q = wk.modes[k][md];
            for (std::size_t j = 0; j < q.dc_dvs.size(); ++j) {
                const double row[columns] = {static_cast<double>(md),
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
                                             q.gamma};
                for (int c = 0; c < columns; ++c) b.values[c].push_back(row[c]);
                ++b.rows;
            }
        }
    return b;
}

}  // namespace

int run_kernels(const KernelsRequest& r, std::istream& in, std::ostream& out, std::ostream& err, bool terminal) {
    TableJob job;
    job.columns = {"mode",    "frequency", "phase_velocity", "group_velocity", "layer",   "dc_dvs",    "dc_dvp",
                   "dc_drho", "dc_dh",     "du_dvs",         "du_dvp",         "du_drho", "inverse_q", "gamma"};
    job.frequencies = [&](const ModelEntry& e) { return frequency_count(r.modes, e); };
    job.fastest_half_space = r.modes.search.scan;
    job.compute = [&](const ModelEntry& e, int threads, const std::function<void()>& frequency_done) {
        check_table_size(TableKind::kernels, r.modes, e);
        SearchOptions o = search_options(r.modes.common, r.modes.search, threads, frequency_done);
        o.highest_mode = r.modes.highest_mode;
        const Sensitivities s = sensitivities(*e.model, frequencies_of(r.modes, e), o, r.physical_dispersion);
        std::vector<Block> blocks;
        for (Wave w : {Wave::love, Wave::rayleigh})
            if (s.modes[w].searched) blocks.push_back(block_of(e.name, s, w));
        return blocks;
    };
    return run_table(r.modes.common, job, in, out, err, terminal);
}

}  // namespace vemlari::cli
