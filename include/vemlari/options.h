#pragma once
// How the modes are sought.
#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

#include "vemlari/cancellation.h"

namespace vemlari {

enum class Wave { love, rayleigh };
struct Modes;

// The scan's defaults, the answers the interactive program suggests: a candidate becomes a
// mode below |F| = 1e-3, the base step is a 200th of the phase-velocity range, and 100
// bracket halvings are allowed per candidate.
inline constexpr double scan_tolerance = 1e-3;
inline constexpr int scan_partitions = 200;
inline constexpr int scan_iterations = 100;

// The two searches.
// - counted (the default): at every frequency the modes slower than a trial phase velocity
//   are counted from the stiffness of the layer stack, so that each mode is certified by the
//   count, none is missed or numbered twice, and any mode can be asked for alone; each phase
//   velocity is refined to `velocity_tolerance`. Any valid model.
// - scan: the interactive program's search: trial velocities on an adaptive grid, minima of
//   |F| refined until |F| < `tolerance` (`partitions`, `max_iterations`). Its results are
//   the program's files; it needs a half-space with the largest S and P velocities.
enum class SearchMethod { counted, scan };

struct SearchOptions {
    SearchMethod method = SearchMethod::counted;
    // counted: the relative phase-velocity tolerance (>= 0, below 1); 0, the default, refines
    // as far as double precision allows (a bracket of four rounding errors, about 1e-15 c).
    // Modes closer together than double precision separates (at extreme frequencies) share
    // the nearest double above them.
    double velocity_tolerance = 0.0;
    // counted: only these mode numbers (0 the fundamental), in any order; empty: every mode
    // up to highest_mode. The scan refuses a set.
    std::vector<int> mode_set;
    // scan: a candidate becomes a mode when |F| of its secular function falls below this (> 0).
    double tolerance = scan_tolerance;
    // scan: bracket halvings allowed per candidate (>= 1).
    int max_iterations = scan_iterations;
    // scan: the base step is the phase-velocity range over this number (>= 1).
    int partitions = scan_partitions;
    bool love = true;
    bool rayleigh = true;
    // Modes 0 .. highest_mode only, and the search stops there; -1: every mode found.
    int highest_mode = -1;
    // A guard for memory and time: a wave whose search finds more modes than this at one
    // frequency stops at that frequency (see WaveModes::overflow). 0: no limit.
    int max_modes = 0;
    // scan: keep every scan point (c, F) of the surface scan, for plotting the secular functions.
    bool keep_trace = false;
    // Threads the call may use (>= 1). Results do not depend on it.
    int threads = 1;
    // Called on the calling thread once per frequency entry k, in increasing k, as soon as
    // both waves are done with it: entries 0 .. k of `partial` are final and may be read
    // (nothing else of it). Returning false ends the search there; an exception thrown
    // ends it too and leaves find_modes. For progress reports and early stops.
    std::function<bool(const Modes& partial, std::size_t k)> on_frequency;
    // A flag the caller may raise, from any thread or a signal handler, to stop the call
    // (vemlari/cancellation.h): find_modes and sensitivities, and mode_properties and
    // sensitivity_kernels on Modes found with these options (Modes::options keeps it), then
    // throw Error (Rule::cancelled). Empty: the call runs to its end.
    std::shared_ptr<const Cancellation> cancellation;
};

}  // namespace vemlari
