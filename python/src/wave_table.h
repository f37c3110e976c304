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
    std::vector<int> modes;         // the mode number of each column, increasing
    std::vector<double> frequency;  // Hz
    std::vector<double> period;     // s: as the caller gave them, else 1 / frequency
    // [row * cols + mode]; NaN (found_at: 0) where the mode does not exist at that frequency.
    std::vector<double> phase_velocity, group_velocity, energy_integral, response, ellipticity, ellipticity_signed,
        seafloor_ellipticity;
    std::vector<std::int32_t> found_at;
    // The search's and then the properties' diagnostics, frequency after frequency.
    std::vector<Diagnostic> diagnostics;

    // The column of mode number `mode` (one of `modes`).
    std::size_t column(int mode) const;
};

// The most memory the arrays of one call's results may take (2 GiB): one wave's table needs
// 52 bytes a cell (n_frequencies x n_modes cells), its kernels 96 more per layer and 16.
inline constexpr std::size_t max_result_bytes = std::size_t{1} << 31;

// Throws Error (Rule::request, a ValueError in Python) when `results` tables of rows x cols
// cells, with kernels of `layers` layers (0: none), would take more than max_result_bytes:
// checked before they are made, and before the search when the modes asked for are known.
void check_result_size(std::size_t results, std::size_t rows, std::size_t cols, std::size_t layers);

// The tables of the waves the options ask for (Love first). Columns: the options' mode_set
// (sorted) when given, modes 0 .. highest_mode when set, else 0 .. the largest number of modes
// found at one frequency, less one.
std::vector<WaveTable> wave_tables(const Model& model, const Frequencies& frequencies, const SearchOptions& options);

// On a sphere of `radius` (m): each wave's table from its own flat model (vemlari/flattening.h).
std::vector<WaveTable> sphere_tables(const Model& model, const Frequencies& frequencies, const SearchOptions& options,
                                     double radius);

// One wave's table of modes and properties already computed, columns as above.
WaveTable tabulate(const Modes& modes, const Properties& properties, Wave wave);

}  // namespace vemlari::python
