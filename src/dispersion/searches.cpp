#include "dispersion/searches.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "dispersion/merge_roots.h"
#include "dispersion/scan_check.h"

namespace vemlari::detail {

void BatchedFunction::job(void* self, int i) {
    auto& f = *static_cast<BatchedFunction*>(self);
    f.batch_[i].slot = i;
    f.evaluate_one(f.batch_[i], i);
}

void BatchedFunction::lane_job(void* self, int g) {
    auto& f = *static_cast<BatchedFunction*>(self);
    const int first = g * secular_lanes;
    const int n = std::min(secular_lanes, f.batch_n_ - first);
    for (int i = first; i < first + n; ++i) f.batch_[i].slot = i;
    f.evaluate_lanes(f.batch_ + first, n, first, g);
}

void BatchedFunction::evaluate(Evaluation* e, int n) {
    count_ += n;
    batch_ = e;
    batch_n_ = n;
    if (n > 2 && lanes_apply()) {
        runner_.run((n + secular_lanes - 1) / secular_lanes, lane_job, this);
    } else {
        runner_.run(n, job, this);
    }
}

void LoveFunction::evaluate_one(Evaluation& e, int slot) {
    LoveWork& w = work_[static_cast<std::size_t>(slot)];
    e.f = top_ == 1 ? love_secular(om_, om_ / e.c, s_, w) : love_secular_at(om_, om_ / e.c, top_, s_, w);
    e.a = cabs(e.f);
}

void LoveFunction::evaluate_lanes(Evaluation* e, int n, int first, int job) {
    double wn[secular_lanes] = {};
    cplx f[secular_lanes];
    for (int i = 0; i < n; ++i) wn[i] = om_ / e[i].c;
    const unsigned near = lanes_.love(wn, n, top_, job, f, path_);
    for (int i = 0; i < n; ++i) {
        // A lane whose reverberation term came near zero is redone by the scalar kernel,
        // which records the term for the log.
        if (near >> i & 1u) {
            evaluate_one(e[i], first + i);
            continue;
        }
        work_[static_cast<std::size_t>(first + i)].grtlv.nwarn = 0;
        e[i].f = f[i];
        e[i].a = cabs(f[i]);
    }
}

void LoveFunction::report(const Evaluation& e, ScanLog& log) {
    const Grtlv& g = work_[static_cast<std::size_t>(e.slot)].grtlv;
    for (int n = 0; n < g.nwarn; ++n) {
        Diagnostic d;
        d.kind = Diagnostic::Kind::near_singular;
        d.wave = Wave::love;
        d.frequency = log.frequency;
        d.angular_frequency = om_;
        d.wavenumber = om_ / e.c;
        d.term = {g.warnD[static_cast<std::size_t>(n)].re, g.warnD[static_cast<std::size_t>(n)].im};
        log.diagnostics.push_back(d);
    }
}

RayleighFunction::RayleighFunction(const Nstrc& s, BatchRunner& runner) : BatchedFunction(s, runner), s_(s) {
    const double mu = s.rho[1] * s.vs[1] * s.vs[1];
    sm2_ = mu * mu;
}

void RayleighFunction::evaluate_one(Evaluation& e, int slot) {
    RayleighWork& w = work_[static_cast<std::size_t>(slot)];
    e.f = top_ == 1 ? rayleigh_secular(om_, om_ / e.c, sm2_, s_, w) : rayleigh_secular_at(om_, om_ / e.c, top_, s_, w);
    e.a = cabs(e.f);
}

void RayleighFunction::evaluate_lanes(Evaluation* e, int n, int, int job) {
    double wn[secular_lanes] = {};
    cplx f[secular_lanes];
    for (int i = 0; i < n; ++i) wn[i] = om_ / e[i].c;
    lanes_.rayleigh(wn, n, top_, sm2_, job, f, path_);
    for (int i = 0; i < n; ++i) {
        e[i].f = f[i];
        e[i].a = cabs(f[i]);
    }
}

namespace {

// The surface scan, then a scan at the top of every slow layer, each candidate converged on
// the function that found it; the merged roots go to entry k of w.
template <class Function>
void scan_every_top(const WaveScan& surface, Function& f, std::size_t k, const SearchSetup& setup,
                    const EntryLinks& links, bool check, std::vector<double>& raw, WaveModes& w) {
    const SearchControls ctl{setup.range.cmin, setup.tol, setup.itmax, setup.highest_mode + 1};
    const SlowLayerTops& slow = setup.slow;
    ScanRoots modes, more;
    modes.capacity = more.capacity = setup.capacity;
    if (slow.layer.empty()) modes.sink = links.sink;
    ScanLog log{w.diagnostics[k], setup.tracing ? &w.trace[k] : nullptr, w.wave, k};
    f.refer_to(1);
    scan_modes(surface, f, 1, k, setup.windows, ctl, links.history, modes, log);
    SearchControls deeper = ctl;
    deeper.stop_after = 0;
    ScanLog untraced{w.diagnostics[k], nullptr, w.wave, k};
    for (const int top : slow.layer) {
        WaveScan at = surface;
        at.end = std::fmin(at.end, surface.ceiling);
        at.end_on_current_step = true;
        f.refer_to(top);
        scan_modes(at, f, top, k, setup.windows, deeper, links.history, more, untraced);
        merge_roots(modes, more);
    }
    f.refer_to(1);
    std::size_t kept = modes.c.size();
    if (setup.highest_mode >= 0) kept = std::min(kept, static_cast<std::size_t>(setup.highest_mode) + 1);
    w.count[k] = setup.highest_mode >= 0 ? static_cast<int>(kept) : modes.n;
    w.phase_velocity[k].assign(modes.c.begin(), modes.c.begin() + static_cast<std::ptrdiff_t>(kept));
    w.found_at[k].assign(modes.top.begin(), modes.top.begin() + static_cast<std::ptrdiff_t>(kept));
    // Later entries follow the scan's own roots, so that the scan does not depend on which
    // entries run side by side. The mode count checks the roots of every frequency but a zero
    // one, which the search stands in for by a tiny one.
    raw = w.phase_velocity[k];
    if (!check) return;
    const ScanCheck limits{setup.highest_mode,
                           setup.capacity < static_cast<std::size_t>(INT_MAX) ? static_cast<int>(setup.capacity) : 0};
    const auto accepts = [&f, &setup](double c, int top) {
        Evaluation e;
        e.c = c;
        f.refer_to(top);
        f.evaluate(&e, 1);
        f.refer_to(1);
        return e.a < setup.tol;
    };
    check_scan(f.angular(), w.wave, setup.s, limits, accepts, w.phase_velocity[k], w.found_at[k], w.count[k]);
}

}  // namespace

void love_search(std::size_t k, double om, bool zero_frequency, const SearchSetup& setup, const EntryLinks& links,
                 LoveFunction& f, std::vector<double>& raw, WaveModes& w) {
    const ScanRange& r = setup.range;
    const double dcc = (r.vsmax - r.vsmin) / setup.ncc;
    // Layers of one S velocity leave no range to scan.
    if (!(dcc > 0.0)) {
        raw.clear();
        return;
    }
    // No Love wave is slower than the slowest S velocity.
    const WaveScan wave{dcc, scan_start(r.vsmin, dcc), r.vsmax, true, r.vsmin, setup.s.vs[setup.s.nl], !zero_frequency};
    f.set_frequency(om);
    scan_every_top(wave, f, k, setup, links, !zero_frequency, raw, w);
}

void rayleigh_search(std::size_t k, double om, bool zero_frequency, const SearchSetup& setup, const EntryLinks& links,
                     RayleighFunction& f, std::vector<double>& raw, WaveModes& w) {
    const ScanRange& r = setup.range;
    if (setup.s.nl == 1 || zero_frequency) {
        w.phase_velocity[k] = {setup.s.nl == 1 ? r.ccmin : r.ccmax};
        w.found_at[k] = {1};
        w.count[k] = 1;
        raw = w.phase_velocity[k];
        return;
    }
    const double dcc = (r.vsmax - r.ccmin) / setup.ncc;
    // Nor a Rayleigh wave slower than the scan's lower bound, 1 % below the half-space
    // Rayleigh velocity of the slowest layer.
    const WaveScan wave{dcc, scan_start(r.ccmin, dcc), r.cmax, false, r.cmin, setup.s.vs[setup.s.nl]};
    f.set_frequency(om);
    scan_every_top(wave, f, k, setup, links, !zero_frequency, raw, w);
}

}  // namespace vemlari::detail
