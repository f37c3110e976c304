#include "parallel/worker_pool.h"

#include <algorithm>
#include <system_error>

namespace vemlari::detail {

namespace {

// A ticket: the first job not yet taken (bits 0-31), the job count (32-47) and the jobs
// taken at once (48-63), so that a take reads one consistent word.
constexpr std::uint64_t low_half = 0xffffffffu;
int next_job(std::uint64_t t) { return static_cast<int>(t & low_half); }
int job_count(std::uint64_t t) { return static_cast<int>((t >> 32) & 0xffffu); }
int chunk_of(std::uint64_t t) { return static_cast<int>(t >> 48); }

}  // namespace

WorkerPool::WorkerPool(int threads) {
    try {
        for (int i = 1; i < threads; ++i) workers_.emplace_back([this] { serve(stopping_); });
    } catch (const std::system_error&) {
        // The system starts no more threads: the pool works with those it has, and results
        // never depend on how many that is.
    } catch (...) {
        stop();
        throw;
    }
    serving_.store(static_cast<int>(workers_.size()));
}

WorkerPool::~WorkerPool() { stop(); }

void WorkerPool::stop() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_.store(true);
    }
    wake_.notify_all();
    for (auto& t : workers_) t.join();
    workers_.clear();
}

// Takes the next jobs of `s`, first .. last - 1; false when all are taken.
bool WorkerPool::take(Slot& s, int& first, int& last) {
    std::uint64_t t = s.ticket.load(std::memory_order_acquire);
    for (;;) {
        const int next = next_job(t), n = job_count(t);
        if (next >= n) return false;
        const int end = std::min(n, next + chunk_of(t));
        if (s.ticket.compare_exchange_weak(t, t + static_cast<std::uint64_t>(end - next), std::memory_order_acquire)) {
            first = next;
            last = end;
            return true;
        }
    }
}

void WorkerPool::run_job(Slot& s, int i) {
    try {
        s.job(s.context, i);
    } catch (...) {
        std::lock_guard<std::mutex> lock(failure_mutex_);
        if (s.failed < 0 || i < s.failed) {
            s.failed = i;
            s.failure = std::current_exception();
        }
    }
}

void WorkerPool::run_alone(int n, void (*job)(void*, int), void* context) {
    std::exception_ptr failure;
    for (int i = 0; i < n; ++i) {
        try {
            job(context, i);
        } catch (...) {
            if (!failure) failure = std::current_exception();
        }
    }
    if (failure) std::rethrow_exception(failure);
}

void WorkerPool::run(int n, void (*job)(void*, int), void* context) {
    Slot* s = nullptr;
    // Each thread takes an equal share at once, a take costing a transfer of the ticket's
    // cache line between cores (a good part of an evaluation); at most 8 jobs, so that a long
    // batch of unequal jobs (the frequencies of the eigenvector stage) still balances.
    const int parallel = threads();
    if (n > 1 && n <= max_jobs && parallel > 1) {
        for (Slot& c : slots_) {
            if (!c.owned.load(std::memory_order_relaxed) && !c.owned.exchange(true, std::memory_order_acquire)) {
                s = &c;
                break;
            }
        }
    }
    if (!s) {
        run_alone(n, job, context);
        return;
    }
    s->job = job;
    s->context = context;
    s->failed = -1;
    s->done.store(0, std::memory_order_relaxed);
    // Posted before the sleepers are counted, so a thread about to block sees the batch or
    // is woken.
    const auto chunk = static_cast<std::uint64_t>(std::min(8, (n + parallel - 1) / parallel));
    s->ticket.store(chunk << 48 | static_cast<std::uint64_t>(n) << 32);
    if (sleepers_.load() > 0) {
        { std::lock_guard<std::mutex> lock(mutex_); }
        wake_.notify_all();
    }
    int mine = 0;
    for (int first, last; take(*s, first, last);) {
        for (int i = first; i < last; ++i) run_job(*s, i);
        mine += last - first;
    }
    // Whoever took the other jobs is running them, so the wait is short.
    for (int round = 0; s->done.load(std::memory_order_acquire) < n - mine; ++round) {
        if (round >= spin_rounds) std::this_thread::yield();
    }
    const std::exception_ptr failure = std::move(s->failure);
    s->failure = nullptr;
    s->owned.store(false, std::memory_order_release);
    if (failure) std::rethrow_exception(failure);
}

// Runs jobs of any posted batch; false if there was none.
bool WorkerPool::work_on_any() {
    bool worked = false;
    for (Slot& s : slots_) {
        for (int first, last; take(s, first, last);) {
            for (int i = first; i < last; ++i) run_job(s, i);
            s.done.fetch_add(last - first, std::memory_order_release);
            worked = true;
        }
    }
    return worked;
}

bool WorkerPool::any_open() const {
    for (const Slot& s : slots_) {
        const std::uint64_t t = s.ticket.load();
        if (next_job(t) < job_count(t)) return true;
    }
    return false;
}

void WorkerPool::serve(const std::atomic<bool>& until) {
    for (int idle = 0; !until.load(std::memory_order_acquire);) {
        if (work_on_any()) {
            idle = 0;
        } else if (++idle < spin_rounds) {
        } else if (idle < spin_rounds + yield_rounds) {
            std::this_thread::yield();
        } else {
            std::unique_lock<std::mutex> lock(mutex_);
            sleepers_.fetch_add(1);
            wake_.wait(lock, [&] { return until.load() || any_open(); });
            sleepers_.fetch_sub(1);
            idle = 0;
        }
    }
}

}  // namespace vemlari::detail
