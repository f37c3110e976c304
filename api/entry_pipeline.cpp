#include "api/entry_pipeline.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "api/cancel_check.h"
#include "api/wave_tables.h"
#include "parallel/root_board.h"
#include "parallel/usable_cores.h"
#include "parallel/worker_pool.h"

namespace vemlari {

namespace {

constexpr int love = 0, rayleigh = 1;

struct Task {
    int wave;
    std::size_t k;
};

// A thread's own secular functions and kernel records, kept from one task to the next. Their
// batches are shared with the threads that wait for a root of this thread's task.
struct TaskThread {
    TaskThread(const Nstrc& s, WorkerPool& pool) : love(s, pool), rayleigh(s, pool) {}
    LoveFunction love;
    RayleighFunction rayleigh;
    std::vector<double> raw;  // the scan's own roots of the task's entry
};

// What the caller learns of one wave's tasks.
struct WaveProgress {
    std::vector<char> done;
    // Entries from here on are not searched: with `overflow`, the entry before found more modes
    // than allowed.
    std::size_t end = 0;
    bool overflow = false;
};

void clear_entry(WaveModes& w, std::size_t k) {
    w.phase_velocity[k].clear();
    w.found_at[k].clear();
    w.mode[k].clear();
    w.diagnostics[k].clear();
    if (k < w.trace.size()) w.trace[k].clear();
    w.count[k] = 0;
}

}  // namespace

void search_entries_side_by_side(Modes& m, const SearchSetup& setup, int threads) {
    const std::size_t n = m.frequencies.size();
    const SearchOptions& o = m.options;
    WaveModes* const waves[2] = {&m.love, &m.rayleigh};
    // In the order of the search one entry after the other: a task waits only for earlier ones.
    std::vector<Task> tasks;
    for (std::size_t k = 0; k < n; ++k)
        for (const int wave : {love, rayleigh})
            if (waves[wave]->searched) tasks.push_back({wave, k});

    // No threads of its own: the task threads serve it while they wait.
    WorkerPool pool(1);
    RootBoard love_board(n, pool), rayleigh_board(n, pool);
    RootBoard* const boards[2] = {&love_board, &rayleigh_board};
    std::mutex mutex;
    std::condition_variable progress;
    WaveProgress state[2];
    for (WaveProgress& p : state) {
        p.done.assign(n, 0);
        p.end = n;
    }
    std::exception_ptr failure;
    std::atomic<bool> abandoned{false};
    std::atomic<std::size_t> next{0}, ended{0};

    auto abandon = [&] {
        abandoned.store(true);
        for (RootBoard* b : boards) b->abandon();
        progress.notify_all();
    };
    // With no task left to start, a thread helps with the batches of those still running.
    auto help_to_the_end = [&] { pool.help_until([&] { return abandoned.load() || ended.load() == tasks.size(); }); };
    auto work = [&](TaskThread& t) {
        for (;; ended.fetch_add(1)) {
            const std::size_t i = next.fetch_add(1);
            if (i >= tasks.size()) return help_to_the_end();
            const Task task = tasks[i];
            WaveModes& w = *waves[task.wave];
            RootBoard& board = *boards[task.wave];
            if (abandoned.load()) return;
            if (cancelled(o)) {
                {
                    std::lock_guard<std::mutex> lock(mutex);
                    if (!failure) failure = std::make_exception_ptr(Error(Error::Rule::cancelled, "the computation was cancelled"));
                }
                abandon();
                return;
            }
            bool skip;
            {
                std::lock_guard<std::mutex> lock(mutex);
                skip = task.k >= state[task.wave].end;
            }
            if (skip) {
                // A later entry that started before the overflow may be waiting for this one.
                board.finish(task.k, {});
                continue;
            }
            try {
                RootBoard::Teller teller(board, task.k);
                const EntryLinks links{board, &teller};
                const double om = m.frequencies.search_angular(task.k);
                const bool zero_frequency = m.frequencies.angular(task.k) == 0.0;
                if (task.wave == love) {
                    love_search(task.k, om, zero_frequency, setup, links, t.love, t.raw, w);
                } else {
                    rayleigh_search(task.k, om, zero_frequency, setup, links, t.rayleigh, t.raw, w);
                }
                board.finish(task.k, t.raw);
            } catch (const SearchAbandoned&) {
                return;
            } catch (...) {
                {
                    std::lock_guard<std::mutex> lock(mutex);
                    if (!failure) failure = std::current_exception();
                }
                abandon();
                return;
            }
            {
                std::lock_guard<std::mutex> lock(mutex);
                state[task.wave].done[task.k] = 1;
                if (o.max_modes > 0 && w.count[task.k] > o.max_modes && task.k < state[task.wave].end) {
                    state[task.wave].end = task.k + 1;
                    state[task.wave].overflow = true;
                }
            }
            progress.notify_all();
        }
    };

    const auto count = static_cast<std::size_t>(useful_threads(threads, tasks.size()));
    std::vector<std::unique_ptr<TaskThread>> own;
    std::vector<std::thread> running;
    for (std::size_t t = 0; t < count; ++t) own.push_back(std::make_unique<TaskThread>(setup.s, pool));
    auto join = [&] {
        abandon();
        for (std::thread& t : running) t.join();
        running.clear();
    };
    try {
        for (std::size_t t = 0; t < count; ++t) {
            try {
                running.emplace_back(work, std::ref(*own[t]));
            } catch (const std::system_error& e) {
                // Fewer threads give the same results; none cannot search.
                if (running.empty())
                    throw Error(Error::Rule::option, std::string("no thread could be started: ") + e.what());
                break;
            }
        }
        for (std::size_t k = 0; k < n; ++k) {
            {
                std::unique_lock<std::mutex> lock(mutex);
                progress.wait(lock, [&] {
                    if (failure) return true;
                    for (const int wave : {love, rayleigh})
                        if (waves[wave]->searched && k < state[wave].end && !state[wave].done[k]) return false;
                    return true;
                });
                if (failure) break;
                for (const int wave : {love, rayleigh}) {
                    if (state[wave].overflow && state[wave].end == k + 1) {
                        waves[wave]->overflow = true;
                        waves[wave]->overflow_at = k;
                    }
                }
            }
            number_modes(m.love, k);
            number_modes(m.rayleigh, k);
            m.searched = k + 1;
            if (o.on_frequency && !o.on_frequency(m, k)) break;
        }
    } catch (...) {
        join();
        throw;
    }
    join();
    if (failure) std::rethrow_exception(failure);
    for (const int wave : {love, rayleigh})
        for (std::size_t k = state[wave].end; k < n; ++k) clear_entry(*waves[wave], k);
    for (const std::unique_ptr<TaskThread>& t : own) {
        m.love.evaluations += t->love.evaluations();
        m.rayleigh.evaluations += t->rayleigh.evaluations();
    }
}

}  // namespace vemlari
