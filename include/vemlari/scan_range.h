#pragma once
// The phase-velocity range that the search scans, derived from the model.
#include "vemlari/model.h"

namespace vemlari {

struct ScanRange {
    double vsmin = 0.0;  // smallest S velocity (m/s) of the solid layers (fluid ones on top have none)
    double vsmax = 0.0;  // largest S velocity: the half-space's
    double vpmax = 0.0;  // largest P velocity: the half-space's
    int slowest = 1;     // layer (from 1) of vsmin; on ties the deepest
    int fastest = 1;     // layer of vsmax; on ties the deepest
    // Rayleigh velocities of a homogeneous half-space of the slowest and the fastest layer.
    double ccmin = 0.0;
    double ccmax = 0.0;
    // Rayleigh scan bounds: ccmin less 1 %, vsmax plus 1 % (0 for a lone half-space).
    double cmin = 0.0;
    double cmax = 0.0;
};

ScanRange scan_range(const Model& model);

// The frequencies (Hz) at which the computation stays inside double precision for this
// model, both ends included:
// - every wavenumber omega / c of the scan lies between 1e-100 and 1e100 1/m (squares and
//   products of wavenumbers neither underflow nor overflow);
// - a mode trapped in a layer slower than one above it, whose field decays through the
//   evanescent layers above to the free surface, decays there by no more than e^-600, so
//   that it can still be scaled to the surface and its energy integral stays finite; with
//   water on top, likewise the Scholte wave (below half the water's sound speed) trapped at
//   the sea floor, decaying through the water to its surface.
struct FrequencyLimits {
    double lowest = 0.0;
    double highest = 0.0;
};
FrequencyLimits frequency_limits(const Model& model);

// Rayleigh-wave velocity (m/s) of a homogeneous half-space with velocities vp > vs > 0.
double half_space_rayleigh_velocity(double vp, double vs);

}  // namespace vemlari
