#include "python/src/wave_table.h"

#include <algorithm>
#include <limits>
#include <sstream>
#include <string>

namespace vemlari::python {

void check_result_size(std::size_t results, std::size_t rows, std::size_t cols, std::size_t layers) {
    const double per_cell = 52.0 + (layers > 0 ? 56.0 * static_cast<double>(layers) + 16.0 : 0.0);
    const double bytes = static_cast<double>(results) * static_cast<double>(rows) * static_cast<double>(cols) * per_cell;
    if (bytes > static_cast<double>(max_result_bytes)) {
        std::ostringstream what;
        what.precision(3);
        what << "the result would take " << bytes / (1 << 30) << " GiB (" << rows << " frequencies x " << cols
             << " modes" << (results > 1 ? " x " + std::to_string(results) + " models" : std::string()) << "), more than the "
             << max_result_bytes / (1 << 30) << " GiB a call may take: ask for fewer frequencies or modes";
        throw Error(Error::Rule::request, what.str());
    }
}

WaveTable wave_table(const Model& model, const Frequencies& frequencies, Wave wave, const SearchOptions& options) {
    const Modes modes = find_modes(model, frequencies, options);
    return tabulate(modes, mode_properties(model, modes, options.threads), wave, options.highest_mode);
}

WaveTable tabulate(const Modes& modes, const Properties& props, Wave wave, int highest_mode) {
    const Frequencies& frequencies = modes.frequencies;
    const WaveModes& wm = modes[wave];
    const WaveProperties& wp = props[wave];
    WaveTable t;
    t.wave = wave;
    t.rows = frequencies.size();
    for (const auto& row : wm.phase_velocity) t.cols = std::max(t.cols, row.size());
    if (highest_mode >= 0) t.cols = static_cast<std::size_t>(highest_mode) + 1;
    check_result_size(1, t.rows, t.cols, 0);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::size_t cells = t.rows * t.cols;
    for (auto* v : {&t.phase_velocity, &t.group_velocity, &t.energy_integral, &t.response, &t.ellipticity,
                    &t.ellipticity_signed})
        v->assign(cells, nan);
    t.found_at.assign(cells, 0);
    for (std::size_t k = 0; k < t.rows; ++k) {
        t.frequency.push_back(frequencies.frequency(k));
        for (std::size_t j = 0; j < std::min(wm.phase_velocity[k].size(), t.cols); ++j) {
            const std::size_t at = k * t.cols + j;
            const ModeProperties& q = wp.modes[k][j];
            t.phase_velocity[at] = wm.phase_velocity[k][j];
            t.found_at[at] = wm.found_at[k][j];
            t.group_velocity[at] = q.group_velocity;
            t.energy_integral[at] = q.energy_integral;
            t.response[at] = q.response;
            t.ellipticity[at] = q.ellipticity;
            t.ellipticity_signed[at] = q.ellipticity_signed;
        }
        t.diagnostics.insert(t.diagnostics.end(), wm.diagnostics[k].begin(), wm.diagnostics[k].end());
        t.diagnostics.insert(t.diagnostics.end(), wp.diagnostics[k].begin(), wp.diagnostics[k].end());
    }
    return t;
}

}  // namespace vemlari::python
