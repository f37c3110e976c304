#pragma once
// How the modes are sought.
#include <cstddef>
#include <functional>

namespace vemlari {

enum class Wave { love, rayleigh };
struct Modes;

struct SearchOptions {
    // A candidate becomes a mode when |F| of its secular function falls below this (> 0).
    double tolerance = 1e-3;
    // Bracket halvings allowed per candidate (>= 1).
    int max_iterations = 100;
    // The scan's base step is the phase-velocity range over this number (>= 1).
    int partitions = 200;
    bool love = true;
    bool rayleigh = true;
    // Modes 0 .. highest_mode only, and the search stops there; -1: every mode found.
    int highest_mode = -1;
    // A guard for memory and time: a wave whose search finds more modes than this at one
    // frequency stops at that frequency (see WaveModes::overflow). 0: no limit.
    int max_modes = 0;
    // Keep every scan point (c, F) of the surface scan, for plotting the secular functions.
    bool keep_trace = false;
    // Threads the call may use (>= 1). Results do not depend on it.
    int threads = 1;
    // Called on the calling thread once per frequency entry k, in increasing k, as soon as
    // both waves are done with it: entries 0 .. k of `partial` are final and may be read
    // (nothing else of it). Returning false ends the search there; an exception thrown
    // ends it too and leaves find_modes. For progress reports and early stops.
    std::function<bool(const Modes& partial, std::size_t k)> on_frequency;
};

}  // namespace vemlari
