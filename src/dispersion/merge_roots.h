#pragma once
// The roots of several scans of one frequency as one mode list.
#include "dispersion/scan_roots.h"

namespace vemlari::detail {

// Adds the roots of `more` to `into`, keeping increasing order. Two roots whose refinement
// brackets overlap are one mode found twice (no scan could tell two modes that close
// apart) and keep the entry already there. A count past the capacity of `into` stays a
// count past it.
void merge_roots(ScanRoots& into, const ScanRoots& more);

}  // namespace vemlari::detail
