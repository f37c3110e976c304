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
    std::vector<double> phase_velocity, group_velocity, energy_integral, response, ellipticity,
        ellipticity_signed;
    std::vector<std::int32_t> found_at;
    // The search's and then the properties' diagnostics, frequency after frequency.
    std::vector<Diagnostic> diagnostics;
};

// The most memory the arrays of one call's results may take (2 GiB): one wave's table needs
// 52 bytes a cell (n_frequencies x n_modes cells), its kernels 56 more per layer and 16.
inline constexpr std::size_t max_result_bytes = std::size_t{1} << 31;

// Throws Error (Rule::request, a ValueError in Python) when `results` tables of rows x cols
// cells, with kernels of `layers` layers (0: none), would take more than max_result_bytes:
// checked before they are made, and before the search when the modes asked for are known.
void check_result_size(std::size_t results, std::size_t rows, std::size_t cols, std::size_t layers);

// The options choose the wave. Columns: highest_mode + 1 when the options set it, else the
// largest number of modes found at one frequency.
WaveTable wave_table(const Model& model, const Frequencies& frequencies, Wave wave, const SearchOptions& options);

// The same table of modes and properties already computed; highest_mode as in SearchOptions.
WaveTable tabulate(const Modes& modes, const Properties& properties, Wave wave, int highest_mode);

}  // namespace vemlari::python
