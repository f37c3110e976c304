// The dispersion search over a frequency list.
#include <cmath>
#include <limits>

#include "api/cancel_check.h"
#include "api/counted_modes.h"
#include "api/entry_pipeline.h"
#include "api/wave_tables.h"
#include "dispersion/searches.h"
#include "model/nstrc.h"
#include "parallel/worker_pool.h"
#include "vemlari/compute.h"
#include "vemlari/scan_range.h"

namespace vemlari {

using namespace detail;

namespace {

void check_options(const SearchOptions& o) {
    auto refuse = [](const std::string& what) { throw Error(Error::Rule::option, what); };
    // Without a positive tolerance and one iteration at least no root could be accepted.
    if (!(std::isfinite(o.tolerance) && o.tolerance > 0.0)) refuse("the tolerance must be a positive finite number");
    if (o.max_iterations < 1) refuse("the iteration limit must be at least 1");
    if (o.partitions < 1) refuse("the number of partitions must be at least 1");
    if (o.highest_mode < -1) refuse("the highest mode must be -1 (all) or at least 0");
    if (o.max_modes < 0) refuse("the mode limit must be 0 (none) or positive");
    if (o.threads < 1) refuse("the number of threads must be at least 1");
    if (!(std::isfinite(o.velocity_tolerance) && o.velocity_tolerance >= 0.0 && o.velocity_tolerance < 1.0))
        refuse("the velocity tolerance must be at least 0 and below 1");
    for (int mode : o.mode_set)
        if (mode < 0) refuse("a mode number must be at least 0");
    if (o.method == SearchMethod::scan && !o.mode_set.empty()) refuse("a set of modes needs the counted search");
}

bool overflows(const SearchOptions& o, const WaveModes& w, std::size_t k) {
    return o.max_modes > 0 && w.count[k] > o.max_modes;
}

// Both waves, one frequency after the other.
template <class Love, class Rayleigh>
void in_sequence(Modes& m, Love&& love, Rayleigh&& rayleigh) {
    const SearchOptions& o = m.options;
    bool love_on = m.love.searched, rayleigh_on = m.rayleigh.searched;
    for (std::size_t k = 0; k < m.frequencies.size(); ++k) {
        stop_if_cancelled(o);
        if (love_on) love(k);
        if (rayleigh_on) rayleigh(k);
        number_modes(m.love, k);
        number_modes(m.rayleigh, k);
        m.searched = k + 1;
        if (love_on && overflows(o, m.love, k)) {
            m.love.overflow = true;
            m.love.overflow_at = k;
            love_on = false;
        }
        if (rayleigh_on && overflows(o, m.rayleigh, k)) {
            m.rayleigh.overflow = true;
            m.rayleigh.overflow_at = k;
            rayleigh_on = false;
        }
        if (o.on_frequency && !o.on_frequency(m, k)) return;
    }
}

// The program's scan over the frequency list.
Modes scanned_modes(const Model& model, const Frequencies& frequencies, const SearchOptions& options);

}  // namespace

Modes find_modes(const Model& model, const Frequencies& frequencies, const SearchOptions& options) {
    check_options(options);
    if (options.method == SearchMethod::counted) return counted_modes(model, frequencies, options);
    // The scan's secular functions are those of solid layers.
    if (model.fluid_layers() > 0)
        throw Error(Error::Rule::request,
                    "layer 1 is a fluid (vs = 0): the scan (SearchMethod::scan) takes solid layers only; the counted "
                    "search takes water on top",
                    1, "vs", 0.0);
    // The scan runs from the slowest layer to the fastest, which must be the half-space.
    check_isotropic(model, "the scan (SearchMethod::scan)");
    check_half_space_fastest(model);
    return scanned_modes(model, frequencies, options);
}

namespace {

Modes scanned_modes(const Model& model, const Frequencies& frequencies, const SearchOptions& options) {
    const Nstrc s = nstrc_of(model);
    const std::size_t n = frequencies.size();
    Modes m = sized_modes(model, frequencies, options);
    const SearchSetup setup{
        s,
        scan_range(model),
        options.tolerance,
        options.max_iterations,
        options.partitions,
        options.keep_trace,
        options.max_modes > 0 ? static_cast<std::size_t>(options.max_modes) : std::numeric_limits<std::size_t>::max(),
        options.highest_mode,
        StepWindows(s),
        slow_layer_tops(s)};

    if (options.threads > 1 && n > 0) {
        search_entries_side_by_side(m, setup, options.threads);
        return m;
    }
    WorkerPool pool(1);
    LoveFunction love(s, pool);
    RayleighFunction rayleigh(s, pool);
    // The scan's own roots, which later entries follow (the tables get them as checked).
    std::vector<std::vector<double>> love_raw(n), rayleigh_raw(n);
    const RootTable love_roots(love_raw), rayleigh_roots(rayleigh_raw);
    in_sequence(
        m,
        [&](std::size_t k) {
            love_search(k, frequencies.search_angular(k), frequencies.angular(k) == 0.0, setup, {love_roots}, love,
                        love_raw[k], m.love);
        },
        [&](std::size_t k) {
            rayleigh_search(k, frequencies.search_angular(k), frequencies.angular(k) == 0.0, setup, {rayleigh_roots},
                            rayleigh, rayleigh_raw[k], m.rayleigh);
        });
    m.love.evaluations = love.evaluations();
    m.rayleigh.evaluations = rayleigh.evaluations();
    return m;
}

}  // namespace

}  // namespace vemlari
