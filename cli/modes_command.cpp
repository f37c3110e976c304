// vemlari modes: a row per model, wave, mode and frequency.
#include <algorithm>

#include "cli/commands.h"
#include "cli/mode_frequencies.h"
#include "cli/search_options.h"
#include "cli/spherical.h"
#include "cli/table_run.h"
#include "vemlari/compute.h"

namespace vemlari::cli {

namespace {

enum Column {
    mode,
    frequency,
    phase_velocity,
    group_velocity,
    energy_integral,
    response,
    ellipticity,
    found_at,
    ellipticity_signed,
    seafloor_ellipticity,
    columns
};

// Mode after mode, each at every frequency where it exists, so that a curve is one run of rows.
Block block_of(const std::string& name, const Modes& m, const Properties& p, Wave w) {
    const WaveModes& wm = m[w];
    const WaveProperties& wp = p[w];
    Block b{name, w, 0, std::vector<std::vector<double>>(columns)};
    const bool love = w == Wave::love;
    if (love)
        for (int c : {ellipticity, ellipticity_signed, seafloor_ellipticity}) b.values[c].clear();
    std::size_t most = 0;
    for (const std::vector<double>& at : wm.phase_velocity) most = std::max(most, at.size());
    for (std::size_t md = 0; md < most; ++md)
        for (std::size_t k = 0; k < wm.phase_velocity.size(); ++k) {
            if (md >= wm.phase_velocity[k].size()) continue;
            const ModeProperties& q = wp.modes[k][md];
            const double row[columns] = {static_cast<double>(wm.mode[k][md]),
                                         m.frequencies.frequency(k),
                                         wm.phase_velocity[k][md],
                                         q.group_velocity,
                                         q.energy_integral,
                                         q.response,
                                         q.ellipticity,
                                         static_cast<double>(wm.found_at[k][md]),
                                         q.ellipticity_signed,
                                         q.seafloor_ellipticity};
            for (int c = 0; c < columns; ++c)
                if (!love || (c != ellipticity && c != ellipticity_signed && c != seafloor_ellipticity))
                    b.values[c].push_back(row[c]);
            ++b.rows;
        }
    return b;
}

}  // namespace

int run_modes(const ModesRequest& r, std::istream& in, std::ostream& out, std::ostream& err, bool terminal) {
    TableJob job;
    job.columns = {"mode",     "frequency",   "phase_velocity", "group_velocity",     "energy_integral",
                   "response", "ellipticity", "found_at",       "ellipticity_signed", "seafloor_ellipticity"};
    job.frequencies = [&](const ModelEntry& e) { return frequency_count(r, e) * searches(r.sphere, r.common); };
    job.fastest_half_space = r.search.scan;
    job.compute = [&](const ModelEntry& e, int threads, const std::function<void()>& frequency_done) {
        check_table_size(TableKind::modes, r, e);
        SearchOptions o = search_options(r.common, r.search, threads, frequency_done);
        o.highest_mode = r.highest_mode;
        o.mode_set = r.mode_set;
        std::vector<Block> blocks;
        if (r.sphere.on) {
            for (Wave w : {Wave::love, Wave::rayleigh}) {
                if (!asked(r.common, w)) continue;
                const FlatModel flat = flatten(*e.model, w, r.sphere.radius);
                const Modes m = find_modes(flat.model, frequencies_of(r, e), one_wave(o, w));
                blocks.push_back(block_of(e.name, m, mode_properties(flat.model, m, threads), w));
            }
            return blocks;
        }
        const Modes m = find_modes(*e.model, frequencies_of(r, e), o);
        const Properties p = mode_properties(*e.model, m, threads);
        for (Wave w : {Wave::love, Wave::rayleigh})
            if (m[w].searched) blocks.push_back(block_of(e.name, m, p, w));
        return blocks;
    };
    return run_table(r.common, job, in, out, err, terminal);
}

}  // namespace vemlari::cli
