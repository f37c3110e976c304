#pragma once
// Adaptive step of the phase-velocity scan.
#include "dispersion/ccmd.h"
#include "driver/run_state.h"

namespace vemlari {

// Step in force for test points p (lower) and q (upper) while mode `md` is sought at
// frequency index `io`: dcc refined to dcc/5 or dcc/20 near each layer's S velocity, then,
// from io = 3 on, following the change of that mode over the two previous frequencies
// (history `cc`), within dcc/100 .. dcc.
double step_rule(double p, double q, int io, int md, double dcc, const Nstrc& s,
                 const FreqModeTable& cc, double cmin);

}  // namespace vemlari
