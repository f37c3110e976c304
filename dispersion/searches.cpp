#include "dispersion/searches.h"

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
    e.f = love_secular(om_, om_ / e.c, s_, w);
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
    e.f = rayleigh_secular(om_, om_ / e.c, sm2_, s_, work_[static_cast<std::size_t>(slot)]);
    e.a = cabs(e.f);
}

namespace {

SearchControls controls(const Run& run) {
    return {run.minmax.cmin, run.minmax.tol, run.minmax.itmax, run.output.isec == 1};
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
    const ScanSpec wave{dcc, mm.vsmin - dcc, mm.vsmax, true, "Love Wave: Did not converge!", love_trace};
    f.set_frequency(om);
    const int md = scan_modes(wave, f, io, run.nstrc, controls(run), run.ccmd.ccl, out);
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
    const ScanSpec wave{dcc, mm.ccmin - dcc, mm.cmax, false, "Rayleigh Wave: Did not converge!", rayleigh_trace};
    f.set_frequency(om);
    const int md = scan_modes(wave, f, io, run.nstrc, controls(run), t.ccr, out);
    t.mdr[io] = md - 1;
    if (md - 1 > nmode - 1) {
        write_free(out, unit::console, {" FROM PHASE: RAYLEIGH MODE.GT.230 !!!!!!!!!!!!!!!"});
        throw RunStop();
    }
}

}  // namespace vemlari
