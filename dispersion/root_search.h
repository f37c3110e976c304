#pragma once
// The upward scan of one secular function at one frequency, shared by Love and Rayleigh
// waves: every strict local minimum of |F| on the adaptive grid is refined by a shrinking
// three-point bracket and stored as the next mode when |F| falls below the tolerance.
#include "dispersion/ccmd.h"
#include "dispersion/trace_files.h"
#include "driver/run_state.h"
#include "kernels/complex.h"
#include "records/record_sink.h"

namespace vemlari {

class SecularFunction {
public:
    virtual ~SecularFunction() = default;
    virtual cplx at(double c) = 0;
};

// What differs between the wave types.
struct ScanSpec {
    double dcc;              // base step
    double start;            // first scan point
    double end;              // the scan ends when c3 exceeds end + (current step or dcc)
    bool end_on_current_step;
    const char* failure_text;  // first line of the non-convergence message
    TraceUnits trace;
};

struct SearchControls {
    double cmin;
    double tol;
    int itmax;
    bool tracing;
};

// Scans at frequency index io, stores the roots in cc(io, 0 ..) and returns how many were
// found (roots past the table's last mode are counted, not stored).
int scan_modes(const ScanSpec& spec, SecularFunction& f, int io, const Nstrc& s,
               const SearchControls& ctl, FreqModeTable& cc, RecordSink& out);

}  // namespace vemlari
