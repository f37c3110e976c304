#pragma once
// The search of every frequency entry of both waves as its own task, on several cores.
#include "dispersion/searches.h"
#include "vemlari/results.h"

namespace vemlari::detail {

// Fills m.love and m.rayleigh (sized, `searched` set) as the search one entry after the
// other would, byte for byte, on `threads` threads, each taking the next (entry, wave) in that
// order. Entry k of a wave runs beside entry k - 1, reading each of its roots as soon as it is
// final: as the surface scan finds them in a model without slow layers, once entry k - 1 has
// ended otherwise. A thread waiting for a root, or out of entries to start, helps with the
// batches of the others. Sets m.searched and the overflow fields and calls
// options.on_frequency on this thread, as find_modes documents; rethrows the first failure
// of a task.
void search_entries_side_by_side(Modes& m, const SearchSetup& setup, int threads);

}  // namespace vemlari::detail
