// The dispersion search over a frequency list. Each wave's search reads only its own roots
// of the two previous frequencies, so the Love and the Rayleigh searches run side by side,
// each on its own thread, sharing the helper threads of one pool for their batches.
#include <algorithm>
#include <cmath>
#include <exception>
#include <limits>
#include <mutex>
#include <thread>

#include "dispersion/searches.h"
#include "model/nstrc.h"
#include "parallel/worker_pool.h"
#include "vemlari/compute.h"
#include "vemlari/scan_range.h"

namespace vemlari {

namespace {

void check_options(const SearchOptions& o) {
    auto refuse = [](const std::string& what) { throw Error(Error::Rule::option, what); };
    if (!std::isfinite(o.tolerance)) refuse("the tolerance must be a finite number");
    if (o.partitions < 1) refuse("the number of partitions must be at least 1");
    if (o.highest_mode < -1) refuse("the highest mode must be -1 (all) or at least 0");
    if (o.max_modes < 0) refuse("the mode limit must be 0 (none) or positive");
    if (o.threads < 1) refuse("the number of threads must be at least 1");
}

void size_for(WaveModes& w, Wave wave, bool searched, std::size_t n, bool tracing) {
    w.wave = wave;
    w.searched = searched;
    w.phase_velocity.assign(n, {});
    w.found_at.assign(n, {});
    w.diagnostics.assign(n, {});
    w.trace.assign(tracing && searched ? n : 0, {});
    w.count.assign(n, 0);
}

// One wave's whole frequency loop; ends early at the first frequency that overflows.
template <class Search>
void wave_loop(const Frequencies& fr, const SearchOptions& o, WaveModes& w, Search&& search) {
    if (!w.searched) return;
    for (std::size_t k = 0; k < fr.size(); ++k) {
        search(k);
        if (o.max_modes > 0 && w.count[k] > o.max_modes) {
            w.overflow = true;
            w.overflow_at = k;
            return;
        }
    }
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
                            options.highest_mode};

    const bool side_by_side = options.threads > 1 && m.love.searched && m.rayleigh.searched && n > 0;
    // Side by side, the two searches take two threads; further threads help both evaluate
    // ahead, and the thread of the search that ends first then helps the other.
    WorkerPool pool(side_by_side ? std::max(1, options.threads - 1) : options.threads);
    LoveFunction love(s, pool);
    RayleighFunction rayleigh(s, pool);
    auto love_loop = [&] {
        wave_loop(frequencies, options, m.love, [&](std::size_t k) {
            love_search(k, frequencies.search_angular(k), setup, love, m.love);
        });
    };
    auto rayleigh_loop = [&] {
        wave_loop(frequencies, options, m.rayleigh, [&](std::size_t k) {
            rayleigh_search(k, frequencies.search_angular(k), frequencies.angular(k) == 0.0, setup, rayleigh,
                            m.rayleigh);
        });
    };
    auto count_evaluations = [&] {
        m.love.evaluations = love.evaluations();
        m.rayleigh.evaluations = rayleigh.evaluations();
    };
    if (!side_by_side) {
        love_loop();
        rayleigh_loop();
        count_evaluations();
        return m;
    }

    std::mutex mutex;
    int lanes_over = 0;  // guarded by the mutex
    std::exception_ptr failures[2];
    auto lane = [&](int i, auto&& loop) {
        try {
            loop();
        } catch (...) {
            failures[i] = std::current_exception();
        }
        bool last;
        {
            std::lock_guard<std::mutex> lock(mutex);
            last = ++lanes_over == 2;
        }
        // The first lane to end lends its thread to the other's batches; the second ends that.
        if (last) {
            pool.release();
        } else {
            pool.lend();
        }
    };
    std::thread love_thread([&] { lane(0, love_loop); });
    std::thread rayleigh_thread([&] { lane(1, rayleigh_loop); });
    love_thread.join();
    rayleigh_thread.join();
    for (const std::exception_ptr& f : failures)
        if (f) std::rethrow_exception(f);
    count_evaluations();
    return m;
}

}  // namespace vemlari
