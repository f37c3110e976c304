#pragma once
// The frequencies of a modes or kernels request for one model: the command line's, else the
// model file's own grid, and the size of the table they make.
#include <cstddef>

#include "cli/requests.h"
#include "cli/table_run.h"
#include "cli/table_size.h"

namespace vemlari::cli {

inline const Frequencies& frequencies_of(const ModesRequest& r, const ModelEntry& e) {
    if (r.frequencies) return *r.frequencies;
    if (e.grid) return *e.grid;
    throw Refusal("the file gives no frequencies: give --frequencies, or --fmin, --fmax and --count");
}

// Refuses a model whose table would not fit (table_size.h): for its own grid, or for its
// layers in the kernels' table.
inline void check_table_size(TableKind kind, const ModesRequest& r, const ModelEntry& e) {
    const double waves = (r.common.love ? 1.0 : 0.0) + (r.common.rayleigh ? 1.0 : 0.0);
    const double layers = kind == TableKind::kernels ? static_cast<double>(e.model->size()) : 1.0;
    const std::string why = too_large(kind, waves * static_cast<double>(frequencies_of(r, e).size()) * layers);
    if (!why.empty()) throw Refusal(why);
}

// For the progress line; 0 where the model will be refused for want of frequencies.
inline std::size_t frequency_count(const ModesRequest& r, const ModelEntry& e) {
    return r.frequencies ? r.frequencies->size() : e.grid ? e.grid->size() : 0;
}

}  // namespace vemlari::cli
