#include "python/src/wave_table.h"

#include <algorithm>
#include <limits>
#include <numeric>
#include <sstream>
#include <string>

namespace vemlari::python {

std::size_t WaveTable::column(int mode) const {
    return static_cast<std::size_t>(std::lower_bound(modes.begin(), modes.end(), mode) - modes.begin());
}

void check_result_size(std::size_t results, std::size_t rows, std::size_t cols, std::size_t layers) {
    const double per_cell = 52.0 + (layers > 0 ? 96.0 * static_cast<double>(layers) + 16.0 : 0.0);
    const double bytes =
        static_cast<double>(results) * static_cast<double>(rows) * static_cast<double>(cols) * per_cell;
    if (bytes > static_cast<double>(max_result_bytes)) {
        std::ostringstream what;
        what.precision(3);
        what << "the result would take " << bytes / (1 << 30) << " GiB (" << rows << " frequencies x " << cols
             << " modes" << (results > 1 ? " x " + std::to_string(results) + " models" : std::string())
             << "), more than the " << max_result_bytes / (1 << 30)
             << " GiB a call may take: ask for fewer frequencies or modes";
        throw Error(Error::Rule::request, what.str());
    }
}

std::vector<WaveTable> wave_tables(const Model& model, const Frequencies& frequencies, const SearchOptions& options) {
    const Modes modes = find_modes(model, frequencies, options);
    const Properties properties = mode_properties(model, modes, options.threads);
    std::vector<WaveTable> tables;
    if (options.love) tables.push_back(tabulate(modes, properties, Wave::love));
    if (options.rayleigh) tables.push_back(tabulate(modes, properties, Wave::rayleigh));
    return tables;
}

std::vector<WaveTable> sphere_tables(const Model& model, const Frequencies& frequencies, const SearchOptions& options,
                                     double radius) {
    std::vector<WaveTable> tables;
    for (Wave w : {Wave::love, Wave::rayleigh}) {
        if (!(w == Wave::love ? options.love : options.rayleigh)) continue;
        const FlatModel flat = flatten(model, w, radius);
        SearchOptions one = options;
        one.love = w == Wave::love;
        one.rayleigh = !one.love;
        const Modes modes = find_modes(flat.model, frequencies, one);
        tables.push_back(tabulate(modes, mode_properties(flat.model, modes, options.threads), w));
    }
    return tables;
}

WaveTable tabulate(const Modes& modes, const Properties& props, Wave wave) {
    const Frequencies& frequencies = modes.frequencies;
    const SearchOptions& o = modes.options;
    const WaveModes& wm = modes[wave];
    const WaveProperties& wp = props[wave];
    WaveTable t;
    t.wave = wave;
    t.rows = frequencies.size();
    if (!o.mode_set.empty()) {
        t.modes = o.mode_set;
        std::sort(t.modes.begin(), t.modes.end());
        t.modes.erase(std::unique(t.modes.begin(), t.modes.end()), t.modes.end());
    } else {
        std::size_t found = 0;
        for (const auto& row : wm.phase_velocity) found = std::max(found, row.size());
        t.modes.resize(o.highest_mode >= 0 ? static_cast<std::size_t>(o.highest_mode) + 1 : found);
        std::iota(t.modes.begin(), t.modes.end(), 0);
    }
    t.cols = t.modes.size();
    check_result_size(1, t.rows, t.cols, 0);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::size_t cells = t.rows * t.cols;
    for (auto* v : {&t.phase_velocity, &t.group_velocity, &t.energy_integral, &t.response, &t.ellipticity,
                    &t.ellipticity_signed, &t.seafloor_ellipticity})
        v->assign(cells, nan);
    t.found_at.assign(cells, 0);
    for (std::size_t k = 0; k < t.rows; ++k) {
        t.frequency.push_back(frequencies.frequency(k));
        t.period.push_back(1.0 / frequencies.frequency(k));
        for (std::size_t j = 0; j < wm.phase_velocity[k].size(); ++j) {
            const std::size_t col = t.column(wm.mode[k][j]);
            if (col >= t.cols || t.modes[col] != wm.mode[k][j]) continue;
            const std::size_t at = k * t.cols + col;
            const ModeProperties& q = wp.modes[k][j];
            t.phase_velocity[at] = wm.phase_velocity[k][j];
            t.found_at[at] = wm.found_at[k][j];
            t.group_velocity[at] = q.group_velocity;
            t.energy_integral[at] = q.energy_integral;
            t.response[at] = q.response;
            t.ellipticity[at] = q.ellipticity;
            t.ellipticity_signed[at] = q.ellipticity_signed;
            t.seafloor_ellipticity[at] = q.seafloor_ellipticity;
        }
        t.diagnostics.insert(t.diagnostics.end(), wm.diagnostics[k].begin(), wm.diagnostics[k].end());
        t.diagnostics.insert(t.diagnostics.end(), wp.diagnostics[k].begin(), wp.diagnostics[k].end());
    }
    return t;
}

}  // namespace vemlari::python
