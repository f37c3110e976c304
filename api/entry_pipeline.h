#pragma once
// The search of every frequency entry of both waves as its own task, on several cores.
#include "dispersion/searches.h"
#include "vemlari/results.h"

namespace vemlari {

// Fills m.love and m.rayleigh (sized, `searched` set) as the search one entry after the
// other would, byte for byte, with up to `threads` tasks computing at once. Entry k of a wave
// runs beside entry k - 1, reading each of its roots as soon as it is final; so it applies
// where the surface scan's roots are final as found: a model without slow layers. Sets
// m.searched, the overflow fields and calls options.on_frequency on this thread, as
// find_modes documents; rethrows the first failure of a task.
void search_entries_side_by_side(Modes& m, const SearchSetup& setup, int threads);

}  // namespace vemlari
