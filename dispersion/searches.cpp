#include "dispersion/searches.h"

#include "dispersion/root_search.h"
#include "kernels/secular.h"
#include "records/free_form.h"
#include "records/run_stop.h"

namespace vemlari {

namespace {

class LoveFunction : public SecularFunction {
public:
    LoveFunction(double om, const Nstrc& s, RecordSink& out, long long& count)
        : om_(om), s_(s), out_(out), count_(count) {}
    cplx at(double c) override {
        ++count_;
        const double wn = om_ / c;
        const cplx f = love_secular(om_, wn, s_, w_);
        if (w_.grtlv.nwarn > 0) write_gnrtlv_warnings(out_, w_.grtlv, om_, wn);
        return f;
    }

private:
    double om_;
    const Nstrc& s_;
    RecordSink& out_;
    long long& count_;
    LoveWork w_;
};

class RayleighFunction : public SecularFunction {
public:
    RayleighFunction(double om, const Nstrc& s, long long& count) : om_(om), s_(s), count_(count) {
        const double mu = s.rho[1] * s.vs[1] * s.vs[1];
        sm2_ = mu * mu;
    }
    cplx at(double c) override {
        ++count_;
        return rayleigh_secular(om_, om_ / c, sm2_, s_, w_);
    }

private:
    double om_;
    double sm2_;
    const Nstrc& s_;
    long long& count_;
    RayleighWork w_;
};

SearchControls controls(const Run& run) {
    return {run.minmax.cmin, run.minmax.tol, run.minmax.itmax, run.output.isec == 1};
}

}  // namespace

void love_search(int io, double om, Run& run, RecordSink& out) {
    const Minmax& mm = run.minmax;
    const double dcc = (mm.vsmax - mm.vsmin) / mm.ncc;
    // Layers of one S velocity leave no range to scan.
    if (!(dcc > 0.0)) {
        run.ccmd.mdl[io] = -1;
        return;
    }
    const ScanSpec spec{dcc, mm.vsmin - dcc, mm.vsmax, true, "Love Wave: Did not converge!", love_trace};
    LoveFunction f(om, run.nstrc, out, run.love_evaluations);
    const int md = scan_modes(spec, f, io, run.nstrc, controls(run), run.ccmd.ccl, out);
    run.ccmd.mdl[io] = md - 1;
    if (md - 1 > nmode - 1) {
        write_free(out, unit::console, {" FROM PHASE: LOVE MODE.GT.230 !!!!!!!!!!!!!!"});
        throw RunStop();
    }
}

void rayleigh_search(int io, double om, Run& run, RecordSink& out) {
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
    const ScanSpec spec{dcc, mm.ccmin - dcc, mm.cmax, false, "Rayleigh Wave: Did not converge!", rayleigh_trace};
    RayleighFunction f(om, run.nstrc, run.rayleigh_evaluations);
    const int md = scan_modes(spec, f, io, run.nstrc, controls(run), t.ccr, out);
    t.mdr[io] = md - 1;
    if (md - 1 > nmode - 1) {
        write_free(out, unit::console, {" FROM PHASE: RAYLEIGH MODE.GT.230 !!!!!!!!!!!!!!!"});
        throw RunStop();
    }
    write_free(out, unit::console, {"  The highest modes for L- and R-waves", t.mdl[io], t.mdr[io]});
}

}  // namespace vemlari
