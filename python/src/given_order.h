#pragma once
// Results in the order of the frequencies or periods the caller gave: the library computes
// them in increasing frequency (Abscissa::sorted).
#include <cstddef>
#include <vector>

#include "python/src/inputs.h"
#include "python/src/wave_table.h"

namespace vemlari::python {

// Row i of the result becomes row entry[i] of the computation's, rows of `width` values.
template <class T>
void in_given_order(std::vector<T>& v, std::size_t width, const std::vector<std::size_t>& entry) {
    std::vector<T> out(v.size());
    for (std::size_t i = 0; i < entry.size(); ++i)
        for (std::size_t j = 0; j < width; ++j) out[i * width + j] = v[entry[i] * width + j];
    v = std::move(out);
}

// The table's rows in the order given, and the periods as given.
inline void in_given_order(WaveTable& t, const Abscissa& a) {
    if (!a.period.empty()) t.period = a.period;
    if (a.entry.empty()) return;
    in_given_order(t.frequency, 1, a.entry);
    if (a.period.empty()) in_given_order(t.period, 1, a.entry);
    for (auto* v : {&t.phase_velocity, &t.group_velocity, &t.energy_integral, &t.response, &t.ellipticity,
                    &t.ellipticity_signed, &t.seafloor_ellipticity})
        in_given_order(*v, t.cols, a.entry);
    in_given_order(t.found_at, t.cols, a.entry);
    std::vector<std::size_t> row(a.entry.size());
    for (std::size_t i = 0; i < row.size(); ++i) row[a.entry[i]] = i;
    for (Diagnostic& d : t.diagnostics) d.frequency = row[d.frequency];
}

}  // namespace vemlari::python
