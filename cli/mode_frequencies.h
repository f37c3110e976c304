#pragma once
// The frequencies of a modes or kernels request for one model: the command line's, else the
// model file's own grid.
#include <cstddef>

#include "cli/requests.h"
#include "cli/table_run.h"

namespace vemlari::cli {

inline const Frequencies& frequencies_of(const ModesRequest& r, const ModelEntry& e) {
    if (r.frequencies) return *r.frequencies;
    if (e.grid) return *e.grid;
    throw Refusal("the file gives no frequencies: give --frequencies, or --fmin, --fmax and --count");
}

// For the progress line; 0 where the model will be refused for want of frequencies.
inline std::size_t frequency_count(const ModesRequest& r, const ModelEntry& e) {
    return r.frequencies ? r.frequencies->size() : e.grid ? e.grid->size() : 0;
}

}  // namespace vemlari::cli
