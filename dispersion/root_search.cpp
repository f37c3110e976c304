#include "dispersion/root_search.h"

#include <algorithm>
#include <cmath>

#include "dispersion/step_rule.h"
#include "records/free_form.h"
#include "records/layout.h"

namespace vemlari {

namespace {

void report_no_convergence(RecordSink& out, const char* text, int md, long long iter, double c2n,
                           double as2n) {
    static const Layout detail("(' Mode,Iter,Phase Vel,Amp=',I3,I5,F9.2,F9.3)");
    for (int u : {unit::console, unit::log}) write_free(out, u, {text});
    for (int u : {unit::console, unit::log}) write_free(out, u, {" This may be a local min. of the secular func."});
    for (int u : {unit::console, unit::log}) detail.write(out, u, {md, iter, c2n, as2n});
}

}  // namespace

void scan_modes(const WaveScan& wave, SecularFunction& f, int top, int io, const Nstrc& s,
                const SearchControls& ctl, const FreqModeTable& history, ScanRoots& roots, RecordSink& out) {
    const double dcc = wave.dcc;
    int& md = roots.n;
    md = 0;
    auto step = [&](double p, double q) { return step_rule(p, q, io, md, dcc, s, history, ctl.cmin); };
    auto beyond_end = [&](double c3, double dccn) {
        return c3 > wave.end + (wave.end_on_current_step ? dccn : dcc);
    };
    auto trace = [&](const Evaluation& p) {
        if (ctl.tracing) write_trace(out, wave.trace, p.c, p.f);
    };

    // Scan points ahead of the window. Until a candidate appears their positions follow from
    // the step rule alone, so they can be evaluated together; a refinement discards them.
    std::array<Evaluation, max_batch> ahead;
    int ahead_n = 0, ahead_pos = 0;
    const int width = std::clamp(f.lookahead(), 1, max_batch);
    auto scan_point = [&](double c3, double c2) -> const Evaluation& {
        if (ahead_pos < ahead_n && ahead[ahead_pos].c == c3) return ahead[ahead_pos++];
        ahead[0].c = c3;
        ahead_n = 1;
        for (double prev = c2; ahead_n < width; ++ahead_n) {
            const double x = ahead[ahead_n - 1].c;
            const double d = step(x, prev);
            const double next = x + d;
            if (beyond_end(next, d) || !(next > x)) break;
            ahead[ahead_n].c = next;
            prev = x;
        }
        f.evaluate(ahead.data(), ahead_n);
        ahead_pos = 1;
        return ahead[0];
    };

    // Bracket refinement of the candidate p2 between p1 and p3; returns the best point.
    Evaluation trial[2];
    auto refine = [&](const Evaluation& p1, const Evaluation& p2, const Evaluation& p3) {
        double c1n = p1.c, c2n = p2.c, c3n = p3.c, as2n = p2.a;
        long long iter = 1;
        for (; iter <= ctl.itmax; ++iter) {
            trial[0].c = (c1n + c2n) / 2.0;
            trial[1].c = (c2n + c3n) / 2.0;
            f.evaluate(trial, 2);
            f.report(trial[0], out);
            f.report(trial[1], out);
            const double c12 = trial[0].c, as12 = trial[0].a;
            const double c23 = trial[1].c, as23 = trial[1].a;
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
                if (md < nmode) {
                    roots.c[md] = c2n;
                    roots.lo[md] = c1n;
                    roots.hi[md] = c3n;
                    roots.top[md] = top;
                }
                ++md;
                return c2n;
            }
            if (std::fabs(as2o - as12) < ctl.tol / 10.0 && std::fabs(as2o - as23) < ctl.tol / 10.0) break;
        }
        report_no_convergence(out, wave.failure_text, md, iter, c2n, as2n);
        return c2n;
    };

    // The window's first two points: c1 and c1 plus the step at c1.
    Evaluation p1, p2;
    auto open_window = [&](double c1) {
        trial[0].c = c1;
        trial[1].c = c1 + step(c1, c1);
        f.evaluate(trial, 2);
        p1 = trial[0];
        p2 = trial[1];
        f.report(p1, out);
        trace(p1);
        f.report(p2, out);
    };

    open_window(wave.start);
    for (;;) {
        const double dccn = step(p2.c, p1.c);
        const double c3 = p2.c + dccn;
        if (beyond_end(c3, dccn)) break;
        // A step below the resolution of doubles could never reach the end.
        if (!(c3 > p2.c)) break;
        const Evaluation& p3 = scan_point(c3, p2.c);
        f.report(p3, out);
        if (p2.a < p1.a && p2.a < p3.a) {
            const double best = refine(p1, p2, p3);
            ahead_n = 0;
            open_window(best);
            continue;
        }
        trace(p2);
        p1 = p2;
        p2 = p3;
    }
}

}  // namespace vemlari
