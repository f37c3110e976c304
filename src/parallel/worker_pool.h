#pragma once
// Threads that share batches of independent jobs with the threads that submit them. Several
// threads may submit batches at the same time; each submitter works on its own batch too and
// returns when every job of it is done, so a batch never waits for a worker to wake up.
// A batch is often a handful of secular-function evaluations of a microsecond or two each,
// so the hand-off goes through one cache line per batch and no lock: idle workers spin on
// the posted batches, then yield, and block only after a long idle spell.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

#include "dispersion/batch_runner.h"

namespace vemlari::detail {

class WorkerPool : public BatchRunner {
public:
    // `threads` is the parallelism wanted for batches: threads - 1 workers are started, or
    // as many as the system will start (threads() tells).
    explicit WorkerPool(int threads);
    // Threads helping (help_until) must have returned.
    ~WorkerPool() override;
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    // Threads that can work on a batch submitted now: the submitter and every thread serving
    // the pool, helping ones included.
    int threads() const override { return 1 + serving_.load(std::memory_order_relaxed); }

    // Runs job(context, i) for i = 0 .. n-1 and returns when all have finished. If jobs
    // throw, every job still runs and the exception of the lowest index is rethrown.
    void run(int n, void (*job)(void*, int), void* context) override;

    // The calling thread, waiting for another thread's progress or out of work of its own,
    // serves the pool until until() holds (checked between jobs, so it must be cheap). It
    // spins, then yields between checks; it never blocks.
    template <class Until>
    void help_until(Until&& until) {
        serving_.fetch_add(1, std::memory_order_relaxed);
        for (int idle = 0; !until();) {
            if (work_on_any()) {
                idle = 0;
            } else if (++idle >= spin_rounds) {
                std::this_thread::yield();
            }
        }
        serving_.fetch_sub(1, std::memory_order_relaxed);
    }

private:
    // One posted batch. `ticket` holds the job count and the first job not yet taken: jobs
    // are taken by one compare-and-swap, and a batch whose jobs are all taken cannot be
    // entered, so the submitter may reuse the slot once all are done.
    struct Slot {
        // Read by every idle thread: alone on its cache line, so that posting a batch
        // invalidates their copies once.
        alignas(64) std::atomic<std::uint64_t> ticket{0};
        alignas(64) std::atomic<int> done{0};
        std::atomic<bool> owned{false};  // by a submitter, from posting to the end of the batch
        void (*job)(void*, int) = nullptr;
        void* context = nullptr;
        int failed = -1;  // lowest job that threw, guarded by failure_mutex_
        std::exception_ptr failure;
    };
    // Idle rounds spent spinning, then yielding, before an idle thread blocks. Spinning covers
    // the gap between two batches of one scan (well under a microsecond); yielding keeps a
    // loaded machine or a sanitizer build from starving the thread that is awaited.
    static constexpr int spin_rounds = 1 << 14;
    static constexpr int yield_rounds = 1 << 10;
    // Batches posted at the same time; a submitter finding every slot in use runs alone.
    static constexpr int slot_count = 4;
    // Largest batch one ticket can count; larger ones run on the submitter alone.
    static constexpr int max_jobs = 0xffff;

    static bool take(Slot& s, int& first, int& last);
    void run_job(Slot& s, int i);
    void run_alone(int n, void (*job)(void*, int), void* context);
    bool work_on_any();
    bool any_open() const;
    void serve(const std::atomic<bool>& until);
    void stop();

    Slot slots_[slot_count];
    alignas(64) std::atomic<int> serving_{0};
    std::atomic<int> sleepers_{0};       // serving threads blocked on wake_
    std::atomic<bool> stopping_{false};  // ends the workers
    std::mutex mutex_;
    std::condition_variable wake_;
    std::mutex failure_mutex_;
    std::vector<std::thread> workers_;
};

}  // namespace vemlari::detail
