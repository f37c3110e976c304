#pragma once
// The counted search over a frequency list.
#include "vemlari/frequencies.h"
#include "vemlari/model.h"
#include "vemlari/results.h"

namespace vemlari::detail {

// find_modes with SearchMethod::counted (options already checked). The entries are searched
// in fixed blocks (each entry predicted from the ones before it in its block), the blocks of
// both waves side by side on options.threads threads, so that the results do not depend on
// the thread count.
Modes counted_modes(const Model& model, const Frequencies& frequencies, const SearchOptions& options);

}  // namespace vemlari::detail
