#include "dispersion/counted_search.h"

#include <algorithm>
#include <boost/math/tools/toms748_solve.hpp>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <sstream>

#include "dispersion/slow_layer_tops.h"
#include "kernels/rayleigh_transverse.h"
#include "vemlari/scan_range.h"

namespace vemlari::detail {

namespace {

// An S-velocity ratio from which a model may carry Rayleigh modes of negative group velocity:
// a soft layer on a much stiffer substratum behaves like a free plate, with its
// zero-group-velocity points. (A 10 m layer over a half-space, vp/vs 1.5 to 4, density ratios
// 0.7 to 1.3, 0.25 to 100 Hz: backward modes from a ratio of 10 on, none up to 6.)
constexpr double guard_contrast = 5.0;

// Bracket halvings of the count allowed per mode before a root is taken as located by the
// count alone (the bracket is then a few rounding errors wide).
constexpr int max_bisections = 200;

// A root function at the free surface up to this share of its bound is refined there without
// looking at the other interfaces.
constexpr double surface_saturation = 0.5;

// Bracket halvings spent on finding an interface among the preferred ones before any serves.
constexpr int preferred_halvings = 4;

// Root-function evaluations allowed to one refinement (TOMS 748 needs about ten).
constexpr int max_refinements = 100;

// Where a bracket is split: off its middle by an irrational fraction, so that a split of
// round numbers does not land exactly on a clamped layer's eigenfrequency (a pole of the
// stiffness, where rounding may put the pole and the step of the clamped count a rounding
// error apart).
constexpr double split = 0.4913516440760351;

struct RelativeTolerance {
    double r;
    bool operator()(double a, double b) const { return std::fabs(b - a) <= r * std::fmin(std::fabs(a), std::fabs(b)); }
};

}  // namespace

double rayleigh_velocity(double vp, double vs) {
    const double a = (vs * vs) / (vp * vp);
    // (2 - x)^2 - 4 sqrt(1 - a x) sqrt(1 - x), x = (c / vs)^2: negative at 0.6 vs for every
    // solid (a < 3/4), 1 at vs.
    const auto f = [a](double r) {
        const double x = r * r;
        return (2.0 - x) * (2.0 - x) - 4.0 * std::sqrt(1.0 - a * x) * std::sqrt(1.0 - x);
    };
    std::uintmax_t iterations = max_refinements;
    const auto r = boost::math::tools::toms748_solve(f, 0.6, 1.0, f(0.6), f(1.0), RelativeTolerance{4.0 * DBL_EPSILON},
                                                     iterations);
    return vs * (r.first + 0.5 * (r.second - r.first));
}

double layer_rayleigh_velocity(const Nstrc& s, int l) {
    const auto j = static_cast<std::size_t>(l);
    if (!s.ti[j]) return half_space_rayleigh_velocity(s.vp[j], s.vs[j]);
    Layer layer;
    layer.density = s.rho[j];
    layer.vp = s.vp[j];
    layer.vs = s.vs[j];
    layer.vph = s.vph[j];
    layer.vsh = s.vsh[j];
    layer.eta = s.eta[j];
    return transverse_rayleigh_velocity(transverse_moduli(layer), layer.density);
}

double top_velocity_of(const Nstrc& s, Wave wave) {
    const auto n = static_cast<std::size_t>(s.nl);
    if (wave == Wave::love) return s.vsh[n];
    return s.ti[n] ? std::fmin(s.vs[n], s.vph[n]) : s.vs[n];
}

CountedSetup::CountedSetup(const Nstrc& model, Wave w, const SearchOptions& o)
    : s(model),
      wave(w),
      top_velocity(top_velocity_of(model, w)),
      tolerance(std::fmax(o.velocity_tolerance, 4.0 * DBL_EPSILON)),
      highest_mode(o.highest_mode),
      mode_set(o.mode_set),
      capacity(o.max_modes > 0 ? static_cast<std::size_t>(o.max_modes) : SIZE_MAX),
      cancellation(o.cancellation.get()) {
    std::sort(mode_set.begin(), mode_set.end());
    mode_set.erase(std::unique(mode_set.begin(), mode_set.end()), mode_set.end());
    // Fluid layers on top (vs = 0) carry no S wave; the Scholte wave at the sea floor is slower
    // than the water's sound speed.
    int first_solid = 1;
    while (first_solid < model.nl && model.vs[static_cast<std::size_t>(first_solid)] == 0.0) ++first_solid;
    const auto f = static_cast<std::size_t>(first_solid);
    double vsmin = model.vs[f], shmin = model.vsh[f], crmin = layer_rayleigh_velocity(model, first_solid),
           contrast = 1.0;
    for (int l = 1; l < first_solid; ++l) crmin = std::fmin(crmin, model.vp[static_cast<std::size_t>(l)]);
    for (int l = first_solid + 1; l <= model.nl; ++l) {
        const auto j = static_cast<std::size_t>(l);
        vsmin = std::fmin(vsmin, model.vs[j]);
        shmin = std::fmin(shmin, model.vsh[j]);
        contrast = std::fmax(contrast, model.vs[j] / vsmin);  // a layer over a faster one below it
        crmin = std::fmin(crmin, layer_rayleigh_velocity(model, l));
    }
    // No Love mode is slower than the slowest layer (its horizontal S velocity); a Rayleigh
    // mode may be slower, but not below the slowest layer's own Rayleigh velocity (the count
    // checks it in any case).
    floor = wave == Wave::love ? std::fmin(shmin, top_velocity) : 0.99 * std::fmin(crmin, top_velocity);
    guard = wave == Wave::rayleigh && contrast >= guard_contrast;
    preferred.push_back(1);
    // The sea floor, where the Scholte wave lives.
    if (first_solid > 1 && first_solid < model.nl && wave == Wave::rayleigh) preferred.push_back(first_solid);
    for (int l : slow_layer_tops(model).layer)
        if (l > first_solid) preferred.push_back(l);
    for (int l = 2; l <= model.nl - 1; ++l)
        if (std::find(preferred.begin(), preferred.end(), l) == preferred.end()) others.push_back(l);
}

CountedSearch::CountedSearch(const CountedSetup& setup) : setup_(setup), work_(setup.s) {
    const auto n = static_cast<std::size_t>(setup.s.nl) + 1;
    for (Side* side : {&lo_side_, &hi_side_}) {
        side->love.assign(n, 0.0);
        side->rayleigh.assign(n, {});
        side->below.assign(n, 0);
        side->above.assign(n, 0);
    }
}

int CountedSearch::count(double c, Point& at) {
    ++evaluations_;
    const double wn = om_ / c;
    const bool love = setup_.wave == Wave::love;
    at.c = c;
    at.n = love ? love_count(om_, wn, setup_.s, work_) : rayleigh_count(om_, wn, setup_.s, work_);
    if (setup_.s.nl >= 2) {
        at.surface = love ? love_root_value(work_.love_below[1]) : rayleigh_root_value(work_.below[1]);
        at.surface_below = work_.count_below[1];
    }
    return at.n;
}

void CountedSearch::profile(double c, Side& side) {
    ++evaluations_;
    const double wn = om_ / c;
    const Nstrc& s = setup_.s;
    if (setup_.wave == Wave::love)
        love_profile(om_, wn, s, work_);
    else
        rayleigh_profile(om_, wn, s, work_);
    for (std::size_t j = 1; j < static_cast<std::size_t>(s.nl); ++j) {
        if (setup_.wave == Wave::love) {
            side.love[j] = work_.love_below[j] + work_.love_above[j];
        } else {
            const Sym2 &b = work_.below[j], &a = work_.above[j];
            side.rayleigh[j] = {b.xx + a.xx, b.xz + a.xz, b.zz + a.zz};
        }
        side.below[j] = work_.count_below[j];
        side.above[j] = work_.count_above[j];
    }
}

double CountedSearch::side_value(const Side& side, int i) const {
    const auto j = static_cast<std::size_t>(i);
    return setup_.wave == Wave::love ? love_root_value(side.love[j]) : rayleigh_root_value(side.rayleigh[j]);
}

double CountedSearch::root_function(int i, double c) {
    ++evaluations_;
    const double wn = om_ / c;
    return setup_.wave == Wave::love ? love_root_function(om_, wn, i, setup_.s, work_)
                                     : rayleigh_root_function(om_, wn, i, setup_.s, work_);
}

int CountedSearch::point_count(double c) {
    const auto at =
        std::lower_bound(points_.begin(), points_.end(), c, [](const Point& p, double v) { return p.c < v; });
    if (at != points_.end() && at->c == c) return at->n;
    Point p{};
    const int n = count(c, p);
    points_.insert(at, p);
    return n;
}

const CountedSearch::Point* CountedSearch::point_at(double c) const {
    const auto at =
        std::lower_bound(points_.begin(), points_.end(), c, [](const Point& p, double v) { return p.c < v; });
    return at != points_.end() && at->c == c ? &*at : nullptr;
}

// The lowest velocity checked is one with no mode below it.
bool CountedSearch::add_floor() {
    double floor = setup_.floor;
    if (!points_.empty()) floor = std::fmin(floor, 0.5 * points_.front().c);
    for (int k = 0; k < 60; ++k, floor *= 0.5)
        if (point_count(floor) <= 0) return true;
    return false;
}

// Counted at the half-space's S velocity itself, so that a mode just above its cutoff counts.
bool CountedSearch::add_top() {
    if (top_counted_) return false;
    top_counted_ = true;
    point_count(setup_.top_velocity);
    return true;
}

// Narrows [lo, hi] from the points met so far until N(lo) = i and N(hi) = i + 1, or until lo
// and hi are adjacent doubles with N(lo) <= i < N(hi); the floor and the top are counted when
// the points do not reach that far. False when mode i does not exist (the count at the top is
// at most i).
bool CountedSearch::bracket(int i, double& lo, double& hi) {
    for (int step = 0; step < max_bisections; ++step) {
        std::size_t a = points_.size();
        for (std::size_t k = 0; k < points_.size(); ++k)
            if (points_[k].n <= i) a = k;
        if (a == points_.size()) {
            if (!add_floor()) return false;
            continue;
        }
        const std::size_t b = a + 1;
        if (b >= points_.size()) {
            if (!add_top()) return false;
            continue;
        }
        lo = points_[a].c;
        hi = points_[b].c;
        if (points_[a].n == i && points_[b].n == i + 1) {
            // Points between with n <= i would have been taken as a; none lie between.
            return true;
        }
        const double m = lo + split * (hi - lo);
        // Adjacent doubles: modes closer than double precision separates all lie between them.
        if (!(m > lo && m < hi)) return points_[a].n <= i && points_[b].n > i;
        point_count(m);
    }
    return false;
}

// Refines the mode in [lo, hi], across which the count steps by one, at the interface where
// the counts of the stacks above and below stay constant, the root function changes sign,
// and it is least saturated (a mode trapped in a slow layer shows at its top as a gentle
// zero, at the free surface as a step). False when no interface qualifies.
bool CountedSearch::refine(double& lo, double& hi, double& root, int& at, bool any_interface) {
    const double scale = setup_.wave == Wave::love ? 1.0 : 2.0;  // so that saturation is at 1
    int best = 0;
    double best_saturation = 2.0, flo = 0.0, fhi = 0.0;
    // The counts at the bracket's ends left the free surface's root function: where it serves
    // and is far from saturation, no other interface is looked at.
    const Point *plo = point_at(lo), *phi = point_at(hi);
    if (plo != nullptr && phi != nullptr && plo->surface_below >= 0 && plo->surface_below == phi->surface_below &&
        plo->surface * phi->surface <= 0.0) {
        const double saturation = scale * std::fmax(std::fabs(plo->surface), std::fabs(phi->surface));
        if (saturation <= surface_saturation || (setup_.preferred.size() == 1 && setup_.others.empty())) {
            best = 1;
            flo = plo->surface;
            fhi = phi->surface;
        }
    }
    if (best == 0) {
        profile(lo, lo_side_);
        profile(hi, hi_side_);
    }
    for (const std::vector<int>* list : {&setup_.preferred, &setup_.others}) {
        if (best > 0 || (list == &setup_.others && !any_interface)) break;
        for (int j : *list) {
            const auto u = static_cast<std::size_t>(j);
            if (lo_side_.below[u] != hi_side_.below[u] || lo_side_.above[u] != hi_side_.above[u]) continue;
            const double a = side_value(lo_side_, j), b = side_value(hi_side_, j);
            if (!(a * b <= 0.0)) continue;
            const double saturation = scale * std::fmax(std::fabs(a), std::fabs(b));
            if (saturation < best_saturation) {
                best = j;
                best_saturation = saturation;
                flo = a;
                fhi = b;
            }
        }
        if (best > 0) break;
    }
    if (best == 0) return false;
    at = best;
    if (flo == 0.0 || fhi == 0.0) {
        root = flo == 0.0 ? lo : hi;
        return true;
    }
    std::uintmax_t iterations = max_refinements;
    const auto f = [&](double c) { return root_function(best, c); };
    try {
        const auto r =
            boost::math::tools::toms748_solve(f, lo, hi, flo, fhi, RelativeTolerance{setup_.tolerance}, iterations);
        lo = r.first;
        hi = r.second;
    } catch (const std::exception&) {
        // A root function that is not a number at some trial velocity (a pole met exactly).
        return false;
    }
    root = lo + 0.5 * (hi - lo);
    return true;
}

// Mode i: bracketed from the points met, refined; where no interface serves the bracket,
// halved by the count until one does or the bracket is as narrow as the tolerance.
bool CountedSearch::find(int i, double& root, int& at) {
    for (int step = 0; step < max_bisections; ++step) {
        double lo = 0.0, hi = 0.0;
        if (!bracket(i, lo, hi)) return false;
        // A pole of the free surface's stiffness in a wide bracket is halved away first, so
        // that modes are refined where the program's scans look whenever that can be.
        if (refine(lo, hi, root, at, step >= preferred_halvings)) {
            // The refined bracket's ends keep the counts of the ends they came from.
            if (lo < root) point_insert(lo, i);
            if (hi > root) point_insert(hi, i + 1);
            return true;
        }
        if (RelativeTolerance{setup_.tolerance}(lo, hi)) {
            // Located by the count alone: the mode lies in (lo, hi], and hi, not lo, keeps a
            // mode that tends to a layer's S velocity from above on the propagating side.
            root = std::nextafter(lo, hi) == hi ? hi : lo + 0.5 * (hi - lo);
            at = 1;
            return true;
        }
        point_count(lo + split * (hi - lo));
    }
    return false;
}

void CountedSearch::point_insert(double c, int n) {
    const auto at =
        std::lower_bound(points_.begin(), points_.end(), c, [](const Point& p, double v) { return p.c < v; });
    if (at != points_.end() && at->c == c) return;
    points_.insert(at, {c, n});
}

// Every mode of a frequency with more than unbounded_modes of them is more than a call
// can hold; without a limit of the caller's the search refuses it.
void CountedSearch::refuse_unbounded(int total) const {
    if (setup_.capacity < SIZE_MAX || total <= unbounded_modes) return;
    std::ostringstream what;
    what.precision(17);
    what << "more than " << unbounded_modes << " " << (setup_.wave == Wave::love ? "Love" : "Rayleigh") << " modes at "
         << om_ / (2.0 * std::numbers::pi)
         << " Hz: ask for some modes (highest_mode, mode_set) or set a mode limit (max_modes)";
    throw Error(Error::Rule::request, what.str());
}

int CountedSearch::modes_wanted(int total) const {
    int n = total;
    if (setup_.highest_mode >= 0) n = std::min(n, setup_.highest_mode + 1);
    if (!setup_.mode_set.empty()) n = std::min(n, setup_.mode_set.back() + 1);
    if (setup_.capacity < static_cast<std::size_t>(n)) n = static_cast<int>(setup_.capacity);
    return std::max(n, 0);
}

bool CountedSearch::wanted(int i) const {
    return setup_.mode_set.empty() || std::binary_search(setup_.mode_set.begin(), setup_.mode_set.end(), i);
}

// Where the count is monotone: each mode wanted, certified on its own, from a prediction out
// of the entries before when they have it.
void CountedSearch::monotone(const Prediction& p, CountedModes& out) {
    // Every mode: the count at the top says how many. Some modes: they are certified one by
    // one, and the top is counted only when a bracket needs it.
    const bool limited = setup_.highest_mode >= 0 || !setup_.mode_set.empty();
    int n = INT32_MAX;
    if (!limited || setup_.capacity < SIZE_MAX) {
        add_top();
        out.count = point_count(setup_.top_velocity);
        n = out.count;
        if (!limited) refuse_unbounded(out.count);
    }
    n = modes_wanted(n);
    for (int i = 0; i < n && !setup_.cancelled(); ++i) {
        if (!wanted(i)) continue;
        predict(i, p);
        double root = 0.0;
        int at = 1;
        if (!find(i, root, at)) break;
        out.phase_velocity.push_back(root);
        out.mode.push_back(i);
        out.found_at.push_back(at);
    }
}

// Counts two trial velocities either side of where the entries before put mode i, so that its
// bracket starts narrow.
void CountedSearch::predict(int i, const Prediction& p) {
    const auto velocity = [i](const CountedModes* m, double& c) {
        if (m == nullptr) return false;
        const auto at = std::lower_bound(m->mode.begin(), m->mode.end(), i);
        if (at == m->mode.end() || *at != i) return false;
        c = m->phase_velocity[static_cast<std::size_t>(at - m->mode.begin())];
        return true;
    };
    double c1 = 0.0, c0 = 0.0;
    if (!velocity(p.previous, c1)) return;
    double cp = c1, half = 1e-3 * c1;
    if (velocity(p.before, c0) && p.om_previous != p.om_before) {
        cp = c1 + (c1 - c0) * (om_ - p.om_previous) / (p.om_previous - p.om_before);
        half = std::fmax(0.25 * std::fabs(cp - c1), 1e-6 * cp);
    }
    if (!(cp > setup_.floor && cp < setup_.top_velocity)) return;
    // Only inside the bracket that the points met so far leave.
    double lo = 0.0, hi = setup_.top_velocity;
    for (const Point& q : points_) {
        if (q.n <= i) lo = q.c;
        if (q.n > i && q.c > lo) {
            hi = q.c;
            break;
        }
    }
    if (cp - half > lo && cp - half < hi) point_count(cp - half);
    if (cp + half > lo && cp + half < hi) point_count(cp + half);
}

// Where backward modes may hide: the count on a grid, then every cell where it changes split
// until it steps by one, each step refined; modes in increasing phase velocity.
void CountedSearch::guarded(CountedModes& out) {
    add_floor();
    add_top();
    const int total = point_count(setup_.top_velocity);
    if (setup_.highest_mode < 0 && setup_.mode_set.empty()) refuse_unbounded(total);
    const double lo = points_.front().c, hi = setup_.top_velocity;
    const int cells = guard_points * (std::abs(total) + 1) + 16;
    // The signed count does not bound the number of roots: stop at the modes asked for, and
    // one past the capacity so that an overflow shows.
    long long wanted_roots = INT32_MAX;
    if (setup_.highest_mode >= 0) wanted_roots = setup_.highest_mode + 1;
    if (!setup_.mode_set.empty()) wanted_roots = std::min<long long>(wanted_roots, setup_.mode_set.back() + 1);
    if (setup_.capacity < SIZE_MAX)
        wanted_roots = std::min<long long>(wanted_roots, static_cast<long long>(setup_.capacity) + 1);
    double a = lo;
    int na = point_count(lo);
    for (int k = 1; k <= cells && static_cast<long long>(roots_.size()) < wanted_roots && !setup_.cancelled(); ++k) {
        const double b = k == cells ? hi : lo + (hi - lo) * k / cells;
        const int nb = point_count(b);
        isolate(a, na, b, nb, wanted_roots, 0);
        a = b;
        na = nb;
    }
    out.count = static_cast<int>(roots_.size());
    for (std::size_t i = 0; i < roots_.size(); ++i) {
        const int mode = static_cast<int>(i);
        if (!wanted(mode) || i >= setup_.capacity) continue;
        if (setup_.highest_mode >= 0 && mode > setup_.highest_mode) break;
        out.phase_velocity.push_back(roots_[i]);
        out.mode.push_back(mode);
        out.found_at.push_back(roots_at_[i]);
    }
}

void CountedSearch::isolate(double a, int na, double b, int nb, long long wanted_roots, int depth) {
    if (na == nb || static_cast<long long>(roots_.size()) >= wanted_roots) return;
    const double m = a + split * (b - a);
    const bool narrow = RelativeTolerance{setup_.tolerance}(a, b) || !(m > a && m < b) || depth > max_bisections;
    if (std::abs(nb - na) == 1) {
        double lo = a, hi = b, root = 0.0;
        int at = 1;
        if (refine(lo, hi, root, at, true) || narrow) {
            if (narrow) root = m;
            roots_.push_back(root);
            roots_at_.push_back(at);
            return;
        }
    } else if (narrow) {
        return;
    }
    const int nm = point_count(m);
    isolate(a, na, m, nm, wanted_roots, depth + 1);
    isolate(m, nm, b, nb, wanted_roots, depth + 1);
}

void CountedSearch::run(double om, const Prediction& p, CountedModes& out) {
    om_ = om;
    evaluations_ = 0;
    out.phase_velocity.clear();
    out.mode.clear();
    out.found_at.clear();
    out.count = 0;
    roots_.clear();
    roots_at_.clear();
    points_.clear();
    top_counted_ = false;
    if (setup_.guard)
        guarded(out);
    else
        monotone(p, out);
    out.evaluations = evaluations_;
}

}  // namespace vemlari::detail
