#pragma once
// The upward scan of one secular function at one frequency, shared by Love and Rayleigh
// waves: every strict local minimum of |F| on the adaptive grid is refined by a shrinking
// three-point bracket and kept as the next mode when |F| falls below the tolerance.
#include <cstddef>
#include <vector>

#include "dispersion/root_history.h"
#include "dispersion/scan_roots.h"
#include "dispersion/step_rule.h"
#include "kernels/complex.h"
#include "vemlari/results.h"

namespace vemlari::detail {

// Most evaluations a secular function is asked for at once.
constexpr int max_batch = 32;

// One evaluation of F at phase velocity c. `slot` names the kernel records it used, which
// keep what the kernels met (near-singular terms) until the scan reports it.
struct Evaluation {
    double c = 0.0;
    cplx f{};
    double a = 0.0;  // |F|
    int slot = 0;
};

// What one scan met, in order: diagnostics, and the scan points when `trace` is set.
struct ScanLog {
    std::vector<Diagnostic>& diagnostics;
    std::vector<TracePoint>* trace;
    Wave wave;
    std::size_t frequency;
};

class SecularFunction {
public:
    virtual ~SecularFunction() = default;
    // Evaluates e[0 .. n-1] at their c, possibly at the same time; n <= max_batch.
    virtual void evaluate(Evaluation* e, int n) = 0;
    // Adds what evaluating e met to the log, at the point where the scan uses it.
    virtual void report(const Evaluation& e, ScanLog& log) = 0;
    // How many scan points are worth evaluating ahead at once.
    virtual int lookahead() const = 0;
};

// What differs between the wave types and between the scans of one frequency.
struct WaveScan {
    double dcc;    // base step
    double start;  // first scan point, > 0
    double end;    // the scan ends when c3 exceeds end + (current step or dcc)
    bool end_on_current_step;
    double floor;  // no mode is slower: a root below it is not kept
    // Nor is a root at or above the half-space's S velocity: there the half-space no longer
    // holds the wave evanescent, and at the branch point itself the field does not decay.
    double ceiling;
    // Whether a scan that ends with |F| still falling probes one point further for a mode
    // just below the cutoff. Not at a zero frequency, which the search stands in for by a tiny
    // one: there the program reports no Love wave.
    bool close_last_dip = true;
};

// The first scan point: one base step below the floor, or half the floor where that step
// would reach zero (a wide velocity range over few partitions), since no trial velocity
// at or below zero means anything.
inline double scan_start(double floor, double dcc) { return floor - dcc > 0.0 ? floor - dcc : floor / 2.0; }

struct SearchControls {
    double cmin;
    double tol;
    int itmax;
    // The scan ends once it holds this many roots (0: no end but the velocity range).
    int stop_after;
};

// Scans f (referred to the layer `top`) at frequency entry k, with the step rule reading the
// roots of the previous frequencies in `history`. `roots` is cleared first and keeps its
// capacity. Whatever the lookahead, the trials and their order in the log are those of a
// strictly sequential scan.
void scan_modes(const WaveScan& wave, SecularFunction& f, int top, std::size_t k, const StepWindows& windows,
                const SearchControls& ctl, const RootHistory& history, ScanRoots& roots, ScanLog& log);

}  // namespace vemlari::detail
