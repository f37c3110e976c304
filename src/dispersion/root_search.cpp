#include "dispersion/root_search.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace vemlari::detail {

namespace {

// One scan: the window p1, p2 moving up the velocity axis, the scan points evaluated ahead
// of it, and the roots it keeps.
class UpwardScan {
public:
    UpwardScan(const WaveScan& wave, SecularFunction& f, int top, std::size_t k, const StepWindows& windows,
               const SearchControls& ctl, const RootHistory& history, ScanRoots& roots, ScanLog& log)
        : wave_(wave),
          f_(f),
          top_(top),
          k_(k),
          windows_(windows),
          ctl_(ctl),
          history_(history),
          roots_(roots),
          log_(log) {}

    void run() {
        roots_.clear();
        open_window(wave_.start);
        for (;;) {
            const double dccn = step(p2_.c, p1_.c);
            const double c3 = p2_.c + dccn;
            if (beyond_end(c3, dccn)) {
                close_last_dip(c3);
                return;
            }
            // A step below the resolution of doubles could never reach the end.
            if (!(c3 > p2_.c)) return;
            const Evaluation& p3 = scan_point(c3, p2_.c);
            f_.report(p3, log_);
            if (p2_.a < p1_.a && p2_.a < p3.a) {
                const double best = refine(p1_, p2_, p3);
                if (ctl_.stop_after > 0 && mode() >= ctl_.stop_after) return;
                ahead_n_ = 0;
                open_window(best);
                continue;
            }
            trace(p2_);
            p1_ = p2_;
            p2_ = p3;
        }
    }

private:
    // The mode sought: the roots kept so far.
    int mode() const { return roots_.n; }

    // The step from p, q the point before it. The mode sought changes only when a root is
    // found: its trend is read then.
    double step(double p, double q) {
        if (trend_of_ != mode()) {
            trend_of_ = mode();
            trend_.applies = k_ >= 3 && static_cast<std::size_t>(mode()) < roots_.capacity;
            if (trend_.applies) {
                trend_.before_last = history_.root(k_ - 2, mode());
                trend_.last = history_.root(k_ - 1, mode());
            }
        }
        return step_rule(p, q, wave_.dcc, windows_, trend_, ctl_.cmin);
    }

    bool beyond_end(double c3, double dccn) const {
        return c3 > wave_.end + (wave_.end_on_current_step ? dccn : wave_.dcc);
    }

    void trace(const Evaluation& p) {
        if (log_.trace) log_.trace->push_back({p.c, {p.f.re, p.f.im}});
    }

    void report_no_convergence(long long iter, double c2n, double as2n) {
        Diagnostic d;
        d.kind = Diagnostic::Kind::not_converged;
        d.wave = log_.wave;
        d.frequency = log_.frequency;
        d.layer = top_;
        d.mode = mode();
        d.iterations = iter;
        d.phase_velocity = c2n;
        d.modulus = as2n;
        log_.diagnostics.push_back(d);
    }

    // The scan point at c3 (c2 the one before). Until a candidate appears the positions of
    // the points ahead follow from the step rule alone, so they are evaluated together; a
    // refinement discards them.
    const Evaluation& scan_point(double c3, double c2) {
        if (ahead_pos_ < ahead_n_ && ahead_[ahead_pos_].c == c3) return ahead_[ahead_pos_++];
        // Asked at every batch: helpers come and go during a scan.
        const int width = std::clamp(f_.lookahead(), 1, max_batch);
        ahead_[0].c = c3;
        ahead_n_ = 1;
        for (double prev = c2; ahead_n_ < width; ++ahead_n_) {
            const double x = ahead_[ahead_n_ - 1].c;
            const double d = step(x, prev);
            const double next = x + d;
            if (beyond_end(next, d) || !(next > x)) break;
            ahead_[ahead_n_].c = next;
            prev = x;
        }
        f_.evaluate(ahead_.data(), ahead_n_);
        ahead_pos_ = 1;
        return ahead_[0];
    }

    // Bracket refinement of the candidate p2 between p1 and p3; returns the best point.
    double refine(const Evaluation& p1, const Evaluation& p2, const Evaluation& p3) {
        double c1n = p1.c, c2n = p2.c, c3n = p3.c, as2n = p2.a;
        long long iter = 1;
        for (; iter <= ctl_.itmax; ++iter) {
            trial_[0].c = (c1n + c2n) / 2.0;
            trial_[1].c = (c2n + c3n) / 2.0;
            // A bracket that doubles can no longer halve would only repeat itself.
            if ((trial_[0].c == c1n || trial_[0].c == c2n) && (trial_[1].c == c2n || trial_[1].c == c3n)) break;
            f_.evaluate(trial_, 2);
            f_.report(trial_[0], log_);
            f_.report(trial_[1], log_);
            const double c12 = trial_[0].c, as12 = trial_[0].a;
            const double c23 = trial_[1].c, as23 = trial_[1].a;
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
            if (as2n < ctl_.tol) {
                if (c2n >= wave_.floor && c2n < wave_.ceiling) roots_.add(c2n, c1n, c3n, top_);
                return c2n;
            }
            if (std::fabs(as2o - as12) < ctl_.tol / 10.0 && std::fabs(as2o - as23) < ctl_.tol / 10.0) break;
        }
        report_no_convergence(iter, c2n, as2n);
        return c2n;
    }

    // The window's first two points: c1 and c1 plus the step at c1.
    void open_window(double c1) {
        trial_[0].c = c1;
        trial_[1].c = c1 + step(c1, c1);
        f_.evaluate(trial_, 2);
        p1_ = trial_[0];
        p2_ = trial_[1];
        f_.report(p1_, log_);
        trace(p1_);
        f_.report(p2_, log_);
    }

    // The scan ends with |F| still falling toward the half-space's S velocity: a mode just
    // below that cutoff has a dip narrower than the step, which the next scan point would
    // have closed. Probe that point and refine; the attempt leaves no trace in the log unless
    // it yields a mode, so scans without such a mode stay as they are.
    void close_last_dip(double c3) {
        if (!(wave_.close_last_dip && p2_.a < p1_.a && p1_.c < wave_.ceiling && c3 > p2_.c)) return;
        const std::size_t logged = log_.diagnostics.size();
        const int found = mode();
        trial_[0].c = c3;
        f_.evaluate(trial_, 1);
        f_.report(trial_[0], log_);
        const Evaluation p3 = trial_[0];
        if (p2_.a < p3.a) refine(p1_, p2_, p3);
        if (mode() == found) log_.diagnostics.resize(logged);
    }

    const WaveScan& wave_;
    SecularFunction& f_;
    const int top_;
    const std::size_t k_;
    const StepWindows& windows_;
    const SearchControls& ctl_;
    const RootHistory& history_;
    ScanRoots& roots_;
    ScanLog& log_;

    ModeTrend trend_;
    int trend_of_ = -1;  // the mode whose trend trend_ holds
    Evaluation p1_, p2_;
    Evaluation trial_[2];
    std::array<Evaluation, max_batch> ahead_;
    int ahead_n_ = 0, ahead_pos_ = 0;
};

}  // namespace

void scan_modes(const WaveScan& wave, SecularFunction& f, int top, std::size_t k, const StepWindows& windows,
                const SearchControls& ctl, const RootHistory& history, ScanRoots& roots, ScanLog& log) {
    UpwardScan(wave, f, top, k, windows, ctl, history, roots, log).run();
}

}  // namespace vemlari::detail
