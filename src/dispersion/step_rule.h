#pragma once
// Adaptive step of the phase-velocity scan.
#include <vector>

#include "model/nstrc.h"

namespace vemlari::detail {

// Each layer's velocity windows of the step rule, formed once per model: the scan asks for a
// step at every point, and the windows depend on the layer alone.
struct StepWindows {
    explicit StepWindows(const Nstrc& s);
    std::vector<double> low;     // 0.99 vs
    std::vector<double> fine;    // 1.1 vs: dcc/20 below
    std::vector<double> coarse;  // 1.5 vs: dcc/5 below
};

// What the two previous frequencies tell of the mode sought: from the third frequency entry
// on, and for modes within the capacity of the roots kept, its roots there (0: no such mode).
struct ModeTrend {
    bool applies = false;
    double before_last = 0.0;  // at entry k - 2
    double last = 0.0;         // at entry k - 1
};

// Step in force for test points p (lower) and q (upper): dcc refined to dcc/5 or dcc/20 near
// each layer's S velocity, then following the change of the mode over the two previous
// frequencies, within dcc/100 .. dcc; the full step where the mode was missing before.
double step_rule(double p, double q, double dcc, const StepWindows& w, const ModeTrend& trend, double cmin);

}  // namespace vemlari::detail
