// The dispersion search over a frequency list.
#include <algorithm>
#include <condition_variable>
#include <cmath>
#include <exception>
#include <limits>
#include <mutex>
#include <thread>

#include "api/entry_pipeline.h"
#include "api/wave_tables.h"
#include "dispersion/searches.h"
#include "model/nstrc.h"
#include "parallel/worker_pool.h"
#include "vemlari/compute.h"
#include "vemlari/scan_range.h"

namespace vemlari {

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
}

bool overflows(const SearchOptions& o, const WaveModes& w, std::size_t k) { return o.max_modes > 0 && w.count[k] > o.max_modes; }

// Both waves, one frequency after the other.
template <class Love, class Rayleigh>
void in_sequence(Modes& m, Love&& love, Rayleigh&& rayleigh) {
    const SearchOptions& o = m.options;
    bool love_on = m.love.searched, rayleigh_on = m.rayleigh.searched;
    for (std::size_t k = 0; k < m.frequencies.size(); ++k) {
        if (love_on) love(k);
        if (rayleigh_on) rayleigh(k);
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

// One wave's frequency loop on its own thread, as far as the caller lets it go.
// Guarded by the mutex; the result's overflow fields are the caller's to write, so that its
// callback never reads what a lane writes.
struct Lane {
    explicit Lane(WaveModes& modes) : w(modes) {}
    WaveModes& w;
    std::size_t done = 0;  // entries finished
    bool ended = false;
    bool overflow = false;  // at entry done - 1
    std::exception_ptr failure;
};

// Each wave's search reads only its own roots of the two previous frequencies, so the Love
// and the Rayleigh searches run side by side, each on its own thread, sharing the helpers of
// one pool for their batches; the caller's thread reports each frequency once both are done.
template <class Love, class Rayleigh>
void side_by_side(Modes& m, WorkerPool& pool, Love&& love, Rayleigh&& rayleigh) {
    const SearchOptions& o = m.options;
    const std::size_t n = m.frequencies.size();
    std::mutex mutex;
    std::condition_variable progress;
    bool abandon = false;
    int lanes_over = 0;
    Lane lanes[2] = {Lane(m.love), Lane(m.rayleigh)};
    auto body = [&](Lane& lane, auto&& search) {
        try {
            for (std::size_t k = 0; k < n; ++k) {
                {
                    std::lock_guard<std::mutex> lock(mutex);
                    if (abandon) break;
                }
                search(k);
                const bool over = overflows(o, lane.w, k);
                {
                    std::lock_guard<std::mutex> lock(mutex);
                    lane.done = k + 1;
                    lane.overflow = over;
                }
                progress.notify_all();
                if (over) break;
            }
        } catch (...) {
            lane.failure = std::current_exception();
        }
        bool last;
        {
            std::lock_guard<std::mutex> lock(mutex);
            lane.ended = true;
            last = ++lanes_over == 2;
        }
        progress.notify_all();
        // The first lane to end lends its thread to the other's batches; the second ends that.
        if (last) {
            pool.release();
        } else {
            pool.lend();
        }
    };
    std::thread love_thread([&] { body(lanes[0], love); });
    std::thread rayleigh_thread([&] { body(lanes[1], rayleigh); });
    auto finish = [&] {
        {
            std::lock_guard<std::mutex> lock(mutex);
            abandon = true;
        }
        love_thread.join();
        rayleigh_thread.join();
    };
    try {
        for (std::size_t k = 0; k < n; ++k) {
            {
                std::unique_lock<std::mutex> lock(mutex);
                progress.wait(lock, [&] {
                    for (const Lane& l : lanes)
                        if (!(l.done > k || l.ended)) return false;
                    return true;
                });
                for (Lane& l : lanes) {
                    if (l.failure) std::rethrow_exception(l.failure);
                    if (l.overflow && l.done == k + 1) {
                        l.w.overflow = true;
                        l.w.overflow_at = k;
                    }
                }
                // A lane that ended early left entries from here on empty; so is the result.
                if (lanes[0].done <= k && lanes[1].done <= k) break;
            }
            m.searched = k + 1;
            if (o.on_frequency && !o.on_frequency(m, k)) break;
        }
    } catch (...) {
        finish();
        throw;
    }
    finish();
    for (Lane& l : lanes)
        if (l.failure) std::rethrow_exception(l.failure);
}

}  // namespace

Modes find_modes(const Model& model, const Frequencies& frequencies, const SearchOptions& options) {
    check_options(options);
    const Nstrc s = nstrc_of(model);
    const std::size_t n = frequencies.size();
    Modes m{frequencies, options, {}, {}};
    size_for(m.love, Wave::love, options.love && s.nl > 1, n, options.keep_trace);
    size_for(m.rayleigh, Wave::rayleigh, options.rayleigh, n, options.keep_trace);
    const SearchSetup setup{s,
                            scan_range(model),
                            options.tolerance,
                            options.max_iterations,
                            options.partitions,
                            options.keep_trace,
                            options.max_modes > 0 ? static_cast<std::size_t>(options.max_modes)
                                                  : std::numeric_limits<std::size_t>::max(),
                            options.highest_mode,
                            StepWindows(s),
                            slow_layer_tops(s)};

    // Without slow layers each entry's roots are final as the surface scan finds them, so the
    // entries of a wave run side by side, each following the one before; otherwise the two
    // waves do, and the thread of the one that ends first then helps the other's batches.
    if (options.threads > 1 && n > 1 && setup.slow.layer.empty()) {
        search_entries_side_by_side(m, setup, options.threads);
        return m;
    }
    const bool parallel = options.threads > 1 && m.love.searched && m.rayleigh.searched && n > 0;
    WorkerPool pool(parallel ? std::max(1, options.threads - 1) : options.threads);
    LoveFunction love(s, pool);
    RayleighFunction rayleigh(s, pool);
    const RootTable love_roots(m.love.phase_velocity), rayleigh_roots(m.rayleigh.phase_velocity);
    auto love_at = [&](std::size_t k) {
        love_search(k, frequencies.search_angular(k), frequencies.angular(k) == 0.0, setup, {love_roots}, love, m.love);
    };
    auto rayleigh_at = [&](std::size_t k) {
        rayleigh_search(k, frequencies.search_angular(k), frequencies.angular(k) == 0.0, setup, {rayleigh_roots}, rayleigh,
                        m.rayleigh);
    };
    if (parallel) {
        side_by_side(m, pool, love_at, rayleigh_at);
    } else {
        in_sequence(m, love_at, rayleigh_at);
    }
    m.love.evaluations = love.evaluations();
    m.rayleigh.evaluations = rayleigh.evaluations();
    return m;
}

}  // namespace vemlari

