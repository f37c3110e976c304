#include "dispersion/searches.h"

#include <cmath>
#include <cstdio>

#include "dispersion/merge_roots.h"
#include "dispersion/slow_layer_tops.h"
#include "records/free_form.h"
#include "records/run_stop.h"

namespace vemlari {

void BatchedFunction::job(void* self, int i) {
    auto& f = *static_cast<BatchedFunction*>(self);
    f.batch_[i].slot = i;
    f.evaluate_one(f.batch_[i], i);
}

void BatchedFunction::evaluate(Evaluation* e, int n) {
    count_ += n;
    batch_ = e;
    pool_.run(n, job, this);
}

void LoveFunction::evaluate_one(Evaluation& e, int slot) {
    LoveWork& w = work_[static_cast<std::size_t>(slot)];
    e.f = top_ == 1 ? love_secular(om_, om_ / e.c, s_, w) : love_secular_at(om_, om_ / e.c, top_, s_, w);
    e.a = cabs(e.f);
}

void LoveFunction::report(const Evaluation& e, RecordSink& out) {
    const Grtlv& g = work_[static_cast<std::size_t>(e.slot)].grtlv;
    if (g.nwarn > 0) write_gnrtlv_warnings(out, g, om_, om_ / e.c);
}

RayleighFunction::RayleighFunction(const Nstrc& s, WorkerPool& pool) : BatchedFunction(pool), s_(s) {
    const double mu = s.rho[1] * s.vs[1] * s.vs[1];
    sm2_ = mu * mu;
}

void RayleighFunction::evaluate_one(Evaluation& e, int slot) {
    RayleighWork& w = work_[static_cast<std::size_t>(slot)];
    e.f = top_ == 1 ? rayleigh_secular(om_, om_ / e.c, sm2_, s_, w) : rayleigh_secular_at(om_, om_ / e.c, top_, s_, w);
    e.a = cabs(e.f);
}

namespace {

SearchControls controls(const Run& run) {
    return {run.minmax.cmin, run.minmax.tol, run.minmax.itmax, run.output.isec == 1};
}

// The surface scan, then a scan at the top of every slow layer, each candidate converged on
// the function that found it; the merged roots go to cc(io, ..). Returns how many there are.
template <class Function>
int scan_every_top(const WaveScan& surface, const char* wave, Function& f, int io, Run& run, FreqModeTable& cc,
                   FreqTopTable& found_at, RecordSink& out) {
    const SearchControls ctl = controls(run);
    ScanRoots modes;
    f.refer_to(1);
    scan_modes(surface, f, 1, io, run.nstrc, ctl, cc, modes, out);
    const SlowLayerTops slow = slow_layer_tops(run.nstrc);
    SearchControls untraced = ctl;
    untraced.tracing = false;
    for (int k = 0; k < slow.n; ++k) {
        const int top = slow.layer[k];
        char text[96];
        std::snprintf(text, sizeof text, "%s at the top of layer %d: Did not converge!", wave, top);
        // Above the half-space's S velocity energy leaks into it: nothing is trapped there.
        const double vs_half_space = run.nstrc.vs[run.nstrc.nl];
        WaveScan at = surface;
        at.failure_text = text;
        at.end = std::fmin(at.end, vs_half_space);
        at.end_on_current_step = true;
        f.refer_to(top);
        ScanRoots more;
        scan_modes(at, f, top, io, run.nstrc, untraced, cc, more, out);
        if (more.n <= nmode)
            while (more.n > 0 && more.c[more.n - 1] >= vs_half_space) --more.n;
        merge_roots(modes, more);
    }
    f.refer_to(1);
    for (int md = 0; md < modes.n && md < nmode; ++md) {
        cc(io, md) = modes.c[md];
        found_at(io, md) = modes.top[md];
    }
    return modes.n;
}

}  // namespace

void love_search(int io, double om, Run& run, LoveFunction& f, RecordSink& out) {
    const Minmax& mm = run.minmax;
    const double dcc = (mm.vsmax - mm.vsmin) / mm.ncc;
    // Layers of one S velocity leave no range to scan.
    if (!(dcc > 0.0)) {
        run.ccmd.mdl[io] = -1;
        return;
    }
    const WaveScan wave{dcc, mm.vsmin - dcc, mm.vsmax, true, "Love Wave: Did not converge!", love_trace};
    f.set_frequency(om);
    const int md = scan_every_top(wave, "Love Wave", f, io, run, run.ccmd.ccl, run.ccmd.ltop, out);
    run.ccmd.mdl[io] = md - 1;
    if (md - 1 > nmode - 1) {
        write_free(out, unit::console, {" FROM PHASE: LOVE MODE.GT.230 !!!!!!!!!!!!!!"});
        throw RunStop();
    }
}

void rayleigh_search(int io, double om, Run& run, RayleighFunction& f, RecordSink& out) {
    const Minmax& mm = run.minmax;
    Ccmd& t = run.ccmd;
    const double dcc = (mm.vsmax - mm.ccmin) / mm.ncc;
    if (run.nstrc.nl == 1) {
        t.ccr(io, 0) = mm.ccmin;
        return;
    }
    if (io == 0) {
        t.mdr[0] = 0;
        t.ccr(0, 0) = mm.ccmax;
        return;
    }
    const WaveScan wave{dcc, mm.ccmin - dcc, mm.cmax, false, "Rayleigh Wave: Did not converge!", rayleigh_trace};
    f.set_frequency(om);
    const int md = scan_every_top(wave, "Rayleigh Wave", f, io, run, t.ccr, t.rtop, out);
    t.mdr[io] = md - 1;
    if (md - 1 > nmode - 1) {
        write_free(out, unit::console, {" FROM PHASE: RAYLEIGH MODE.GT.230 !!!!!!!!!!!!!!!"});
        throw RunStop();
    }
}

}  // namespace vemlari
