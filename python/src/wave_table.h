#pragma once
// One wave's modes and their properties as dense tables, computed without Python (so
// without the GIL).
#include <cstddef>
#include <cstdint>
#include <vector>

#include "vemlari/vemlari.h"

namespace vemlari::python {

struct WaveTable {
    Wave wave = Wave::rayleigh;
    std::size_t rows = 0;           // frequencies
    std::size_t cols = 0;           // modes
    std::vector<double> frequency;  // Hz
    // [row * cols + mode]; NaN (found_at: 0) where the mode does not exist at that frequency.
    std::vector<double> phase_velocity, group_velocity, energy_integral, response, ellipticity;
    std::vector<std::int32_t> found_at;
    // The search's and then the properties' diagnostics, frequency after frequency.
    std::vector<Diagnostic> diagnostics;
};

// The options choose the wave. Columns: highest_mode + 1 when the options set it, else the
// largest number of modes found at one frequency.
WaveTable wave_table(const Model& model, const Frequencies& frequencies, Wave wave, const SearchOptions& options);

// The same table of modes and properties already computed; highest_mode as in SearchOptions.
WaveTable tabulate(const Modes& modes, const Properties& properties, Wave wave, int highest_mode);

}  // namespace vemlari::python
