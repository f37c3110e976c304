#include "api/entry_pipeline.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

#include "api/cancel_check.h"
#include "api/wave_tables.h"
#include "parallel/ordered_tasks.h"
#include "parallel/root_board.h"
#include "parallel/usable_cores.h"
#include "parallel/worker_pool.h"

namespace vemlari::detail {

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

// Where a wave's search ends: entries from `end` on are not searched; with `overflow`, the
// entry before found more modes than allowed.
struct WaveEnd {
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

// The tasks (entry, wave) in the order of the search one entry after the other, so that a
// task waits only for earlier ones; their threads, the boards on which they leave their
// roots, and what the caller learns of each wave.
class SideBySide {
public:
    SideBySide(Modes& m, const SearchSetup& setup, int threads)
        : m_(m),
          setup_(setup),
          waves_{&m.love, &m.rayleigh},
          boards_{{m.frequencies.size(), pool_}, {m.frequencies.size(), pool_}} {
        for (std::size_t k = 0; k < m.frequencies.size(); ++k)
            for (const int wave : {love, rayleigh})
                if (waves_[wave]->searched) tasks_.push_back({wave, k});
        for (WaveEnd& e : ends_) e.end = m.frequencies.size();
        const int count = useful_threads(threads, tasks_.size());
        for (int t = 0; t < count; ++t) threads_.push_back(std::make_unique<TaskThread>(setup.s, pool_));
    }

    void run(int threads) {
        if (tasks_.empty()) {
            for (std::size_t k = 0; k < m_.frequencies.size(); ++k)
                if (!deliver_entry(k)) break;
            return;
        }
        OrderedTasks how;
        how.run = [this](std::size_t i, int worker) { search(tasks_[i], *threads_[static_cast<std::size_t>(worker)]); };
        how.deliver = [this](std::size_t i) { return deliver(i); };
        how.pool = &pool_;
        run_ordered(tasks_.size(), threads, how);
        clear_after_ends();
        for (const std::unique_ptr<TaskThread>& t : threads_) {
            m_.love.evaluations += t->love.evaluations();
            m_.rayleigh.evaluations += t->rayleigh.evaluations();
        }
    }

private:
    // The search of one entry of one wave. A failure abandons the boards, so that the tasks
    // waiting for this one's roots end too.
    void search(const Task task, TaskThread& t) {
        if (abandoned_.load()) return;
        RootBoard& board = boards_[task.wave];
        if (cancelled(m_.options)) {
            abandon();
            stop_if_cancelled(m_.options);
        }
        if (!starts(task)) {
            // A later entry that started before the overflow may be waiting for this one.
            board.finish(task.k, {});
            return;
        }
        try {
            RootBoard::Teller teller(board, task.k);
            const EntryLinks links{board, &teller};
            const double om = m_.frequencies.search_angular(task.k);
            const bool zero_frequency = m_.frequencies.angular(task.k) == 0.0;
            WaveModes& w = *waves_[task.wave];
            if (task.wave == love) {
                love_search(task.k, om, zero_frequency, setup_, links, t.love, t.raw, w);
            } else {
                rayleigh_search(task.k, om, zero_frequency, setup_, links, t.rayleigh, t.raw, w);
            }
            board.finish(task.k, t.raw);
        } catch (const SearchAbandoned&) {
            return;
        } catch (...) {
            abandon();
            throw;
        }
        note_overflow(task);
    }

    // Whether the task's entry lies before its wave's end.
    bool starts(const Task task) {
        std::lock_guard<std::mutex> lock(mutex_);
        return task.k < ends_[task.wave].end;
    }

    // An entry with more modes than allowed ends its wave after it.
    void note_overflow(const Task task) {
        const int most = m_.options.max_modes;
        std::lock_guard<std::mutex> lock(mutex_);
        WaveEnd& e = ends_[task.wave];
        if (most > 0 && waves_[task.wave]->count[task.k] > most && task.k < e.end) {
            e.end = task.k + 1;
            e.overflow = true;
        }
    }

    // Task i has ended, and every one before it: its entry is final once its last task is.
    bool deliver(std::size_t i) {
        // An abandoned task ends without its roots; the failure that abandoned it follows.
        if (abandoned_.load()) return false;
        const std::size_t k = tasks_[i].k;
        if (i + 1 < tasks_.size() && tasks_[i + 1].k == k) return true;
        try {
            if (deliver_entry(k)) return true;
        } catch (...) {
            abandon();
            throw;
        }
        abandon();
        return false;
    }

    // Entry k of both waves is final: numbered, counted as searched and shown to the caller.
    bool deliver_entry(std::size_t k) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            for (const int wave : {love, rayleigh}) {
                if (ends_[wave].overflow && ends_[wave].end == k + 1) {
                    waves_[wave]->overflow = true;
                    waves_[wave]->overflow_at = k;
                }
            }
        }
        number_modes(m_.love, k);
        number_modes(m_.rayleigh, k);
        m_.searched = k + 1;
        return !m_.options.on_frequency || m_.options.on_frequency(m_, k);
    }

    void abandon() {
        abandoned_.store(true);
        for (RootBoard& b : boards_) b.abandon();
    }

    void clear_after_ends() {
        for (const int wave : {love, rayleigh})
            for (std::size_t k = ends_[wave].end; k < m_.frequencies.size(); ++k) clear_entry(*waves_[wave], k);
    }

    Modes& m_;
    const SearchSetup& setup_;
    WaveModes* const waves_[2];
    std::vector<Task> tasks_;
    // No threads of its own: the task threads serve it while they wait.
    WorkerPool pool_{1};
    RootBoard boards_[2];
    std::vector<std::unique_ptr<TaskThread>> threads_;
    std::mutex mutex_;
    WaveEnd ends_[2];  // guarded by mutex_
    std::atomic<bool> abandoned_{false};
};

}  // namespace

void search_entries_side_by_side(Modes& m, const SearchSetup& setup, int threads) {
    SideBySide search(m, setup, threads);
    search.run(threads);
}

}  // namespace vemlari::detail
