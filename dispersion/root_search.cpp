#include "dispersion/root_search.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace vemlari {

void scan_modes(const WaveScan& wave, SecularFunction& f, int top, std::size_t k, const StepWindows& windows,
                const SearchControls& ctl, const RootHistory& history, ScanRoots& roots, ScanLog& log) {
    const double dcc = wave.dcc;
    roots.clear();
    const int& md = roots.n;
    // The mode sought changes only when a root is found: its trend is read then.
    ModeTrend trend;
    int trend_of = -1;
    auto step = [&](double p, double q) {
        if (trend_of != md) {
            trend_of = md;
            trend.applies = k >= 3 && static_cast<std::size_t>(md) < roots.capacity;
            if (trend.applies) {
                trend.before_last = history.root(k - 2, md);
                trend.last = history.root(k - 1, md);
            }
        }
        return step_rule(p, q, dcc, windows, trend, ctl.cmin);
    };
    auto beyond_end = [&](double c3, double dccn) {
        return c3 > wave.end + (wave.end_on_current_step ? dccn : dcc);
    };
    auto trace = [&](const Evaluation& p) {
        if (log.trace) log.trace->push_back({p.c, {p.f.re, p.f.im}});
    };
    auto report_no_convergence = [&](long long iter, double c2n, double as2n) {
        Diagnostic d;
        d.kind = Diagnostic::Kind::not_converged;
        d.wave = log.wave;
        d.frequency = log.frequency;
        d.layer = top;
        d.mode = md;
        d.iterations = iter;
        d.phase_velocity = c2n;
        d.modulus = as2n;
        log.diagnostics.push_back(d);
    };

    // Scan points ahead of the window. Until a candidate appears their positions follow from
    // the step rule alone, so they can be evaluated together; a refinement discards them.
    std::array<Evaluation, max_batch> ahead;
    int ahead_n = 0, ahead_pos = 0;
    auto scan_point = [&](double c3, double c2) -> const Evaluation& {
        if (ahead_pos < ahead_n && ahead[ahead_pos].c == c3) return ahead[ahead_pos++];
        // Asked at every batch: helpers come and go during a scan.
        const int width = std::clamp(f.lookahead(), 1, max_batch);
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
            // A bracket that doubles can no longer halve would only repeat itself.
            if ((trial[0].c == c1n || trial[0].c == c2n) && (trial[1].c == c2n || trial[1].c == c3n)) break;
            f.evaluate(trial, 2);
            f.report(trial[0], log);
            f.report(trial[1], log);
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
                if (c2n >= wave.floor && c2n < wave.ceiling) roots.add(c2n, c1n, c3n, top);
                return c2n;
            }
            if (std::fabs(as2o - as12) < ctl.tol / 10.0 && std::fabs(as2o - as23) < ctl.tol / 10.0) break;
        }
        report_no_convergence(iter, c2n, as2n);
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
        f.report(p1, log);
        trace(p1);
        f.report(p2, log);
    };

    // The scan ends with |F| still falling toward the half-space's S velocity: a mode just
    // below that cutoff has a dip narrower than the step, which the next scan point would
    // have closed. Probe that point and refine; the attempt leaves no trace in the log unless
    // it yields a mode, so scans without such a mode stay as they are.
    auto close_last_dip = [&](double c3) {
        if (!(wave.close_last_dip && p2.a < p1.a && p1.c < wave.ceiling && c3 > p2.c)) return;
        const std::size_t logged = log.diagnostics.size();
        const int found = md;
        trial[0].c = c3;
        f.evaluate(trial, 1);
        f.report(trial[0], log);
        const Evaluation p3 = trial[0];
        if (p2.a < p3.a) refine(p1, p2, p3);
        if (md == found) log.diagnostics.resize(logged);
    };

    open_window(wave.start);
    for (;;) {
        const double dccn = step(p2.c, p1.c);
        const double c3 = p2.c + dccn;
        if (beyond_end(c3, dccn)) {
            close_last_dip(c3);
            break;
        }
        // A step below the resolution of doubles could never reach the end.
        if (!(c3 > p2.c)) break;
        const Evaluation& p3 = scan_point(c3, p2.c);
        f.report(p3, log);
        if (p2.a < p1.a && p2.a < p3.a) {
            const double best = refine(p1, p2, p3);
            if (ctl.stop_after > 0 && md >= ctl.stop_after) return;
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
