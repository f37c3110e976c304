#pragma once
// The scan's roots at one frequency checked by the mode count: a mode the scan stepped over
// (two modes closer than its step, a dip narrower than it) is added, a mode found twice is
// kept once, so that the modes are numbered right.
#include <functional>
#include <vector>

#include "model/nstrc.h"
#include "vemlari/options.h"

namespace vemlari::detail {

struct ScanCheck {
    int highest_mode = -1;  // -1: every mode
    int capacity = 0;       // modes kept (0: no limit); more are counted
};

// `c` and `top` (the scan's kept roots, in increasing order, and the layers at whose top each
// was refined) become the modes the count certifies at angular frequency om > 0: each scan
// root is matched to the nearest certified root, the nearest of several is kept, and a
// certified root that no scan root is nearest to is added as the count's root if
// `accepts(c, top)` (the scan's own test, |F| below its tolerance, which its refinement
// started there would meet at once); otherwise it and the modes above it are left out, as the
// scan would have numbered them. `n` becomes the number of modes below the half-space's S
// velocity (the kept ones with highest_mode; the listed ones where some are left out, unless
// the count exceeds the capacity).
void check_scan(double om, Wave wave, const Nstrc& s, const ScanCheck& limits,
                const std::function<bool(double c, int top)>& accepts, std::vector<double>& c, std::vector<int>& top,
                int& n);

}  // namespace vemlari::detail
