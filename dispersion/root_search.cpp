#include "dispersion/root_search.h"

#include <cmath>

#include "dispersion/step_rule.h"
#include "records/free_form.h"
#include "records/layout.h"

namespace vemlari {

namespace {

struct Point {
    double c;
    cplx f;
    double a;
};

Point evaluate(SecularFunction& f, double c) {
    const cplx v = f.at(c);
    return {c, v, cabs(v)};
}

void report_no_convergence(RecordSink& out, const char* text, int md, long long iter, double c2n,
                           double as2n) {
    static const Layout detail("(' Mode,Iter,Phase Vel,Amp=',I3,I5,F9.2,F9.3)");
    for (int u : {unit::console, unit::log}) write_free(out, u, {text});
    for (int u : {unit::console, unit::log}) write_free(out, u, {" This may be a local min. of the secular func."});
    for (int u : {unit::console, unit::log}) detail.write(out, u, {md, iter, c2n, as2n});
}

}  // namespace

int scan_modes(const ScanSpec& spec, SecularFunction& f, int io, const Nstrc& s,
               const SearchControls& ctl, FreqModeTable& cc, RecordSink& out) {
    const double dcc = spec.dcc;
    int md = 0;
    auto step = [&](double p, double q) { return step_rule(p, q, io, md, dcc, s, cc, ctl.cmin); };
    auto trace = [&](const Point& p) {
        if (ctl.tracing) write_trace(out, spec.trace, p.c, p.f);
    };

    // Bracket refinement of the candidate p2 between p1 and p3; returns the best point.
    auto refine = [&](const Point& p1, const Point& p2, const Point& p3) {
        double c1n = p1.c, c2n = p2.c, c3n = p3.c, as2n = p2.a;
        long long iter = 1;
        for (; iter <= ctl.itmax; ++iter) {
            const double c12 = (c1n + c2n) / 2.0;
            const double as12 = cabs(f.at(c12));
            const double c23 = (c2n + c3n) / 2.0;
            const double as23 = cabs(f.at(c23));
            const double as2o = as2n;
            if (as12 < as2n) {
                c3n = c2n;
                c2n = c12;
                as2n = as12;
            } else if (as23 < as2n) {
                c1n = c2n;
                c2n = c23;
                as2n = as23;
            } else {
                c1n = c12;
                c3n = c23;
            }
            if (as2n < ctl.tol) {
                if (md < nmode) cc(io, md) = c2n;
                ++md;
                return c2n;
            }
            if (std::fabs(as2o - as12) < ctl.tol / 10.0 && std::fabs(as2o - as23) < ctl.tol / 10.0) break;
        }
        report_no_convergence(out, spec.failure_text, md, iter, c2n, as2n);
        return c2n;
    };

    Point p1 = evaluate(f, spec.start);
    trace(p1);
    double dccn = step(p1.c, p1.c);
    Point p2 = evaluate(f, p1.c + dccn);
    for (;;) {
        dccn = step(p2.c, p1.c);
        const double c3 = p2.c + dccn;
        if (c3 > spec.end + (spec.end_on_current_step ? dccn : dcc)) break;
        // A step below the resolution of doubles could never reach the end.
        if (!(c3 > p2.c)) break;
        const Point p3 = evaluate(f, c3);
        if (p2.a < p1.a && p2.a < p3.a) {
            p1 = evaluate(f, refine(p1, p2, p3));
            trace(p1);
            dccn = step(p1.c, p1.c);
            p2 = evaluate(f, p1.c + dccn);
            continue;
        }
        trace(p2);
        p1 = p2;
        p2 = p3;
    }
    return md;
}

}  // namespace vemlari
