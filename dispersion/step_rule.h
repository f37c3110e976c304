#pragma once
// Adaptive step of the phase-velocity scan.
#include <cstddef>
#include <vector>

#include "model/nstrc.h"

namespace vemlari {

// The roots of the frequencies searched so far, [frequency][mode]; a mode missing at a
// frequency reads as 0.
using ModeHistory = std::vector<std::vector<double>>;

// Step in force for test points p (lower) and q (upper) while mode `md` is sought at
// frequency entry `k`: dcc refined to dcc/5 or dcc/20 near each layer's S velocity, then,
// from k = 3 on, following the change of that mode over the two previous frequencies
// (`history`), within dcc/100 .. dcc. Modes at or past `capacity` have no history.
double step_rule(double p, double q, std::size_t k, int md, double dcc, const Nstrc& s, const ModeHistory& history,
                 std::size_t capacity, double cmin);

}  // namespace vemlari
