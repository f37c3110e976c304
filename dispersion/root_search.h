#pragma once
// The upward scan of one secular function at one frequency, shared by Love and Rayleigh
// waves: every strict local minimum of |F| on the adaptive grid is refined by a shrinking
// three-point bracket and stored as the next mode when |F| falls below the tolerance.
#include <array>

#include "dispersion/ccmd.h"
#include "dispersion/trace_files.h"
#include "driver/run_state.h"
#include "kernels/complex.h"
#include "records/record_sink.h"

namespace vemlari {

// Most evaluations a secular function is asked for at once.
constexpr int max_batch = 16;

// One evaluation of F at phase velocity c. `slot` names the kernel records it used, which
// keep what the kernels met (near-singular terms) until the scan reports it.
struct Evaluation {
    double c = 0.0;
    cplx f{};
    double a = 0.0;  // |F|
    int slot = 0;
};

class SecularFunction {
public:
    virtual ~SecularFunction() = default;
    // Evaluates e[0 .. n-1] at their c, possibly at the same time; n <= max_batch.
    virtual void evaluate(Evaluation* e, int n) = 0;
    // Writes what evaluating e writes to the log, at the point where the scan uses it.
    virtual void report(const Evaluation& e, RecordSink& out) = 0;
    // How many scan points are worth evaluating ahead at once.
    virtual int lookahead() const = 0;
};

// What differs between the wave types.
struct WaveScan {
    double dcc;              // base step
    double start;            // first scan point
    double end;              // the scan ends when c3 exceeds end + (current step or dcc)
    bool end_on_current_step;
    const char* failure_text;  // first line of the non-convergence message
    TraceUnits trace;
};

// The roots of one scan in increasing order, each with the last bracket [lo, hi] of its
// refinement, which holds the minimum of |F|, and the layer its function is referred to.
// `n` counts every root found; those past the table's last mode are counted, not stored.
struct ScanRoots {
    std::array<double, nmode> c{}, lo{}, hi{};
    std::array<int, nmode> top{};
    int n = 0;
};

struct SearchControls {
    double cmin;
    double tol;
    int itmax;
    bool tracing;
};

// Scans f (referred to the layer `top`) at frequency index io, with the step rule reading the roots of the previous
// frequencies in `history`. The records written are those of a strictly sequential scan,
// whatever the lookahead.
void scan_modes(const WaveScan& wave, SecularFunction& f, int top, int io, const Nstrc& s,
                const SearchControls& ctl, const FreqModeTable& history, ScanRoots& roots, RecordSink& out);

}  // namespace vemlari
