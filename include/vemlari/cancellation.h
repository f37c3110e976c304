#pragma once
// Stopping a running call from outside it: from another thread, a signal handler or a
// progress call. A caller shares a Cancellation with the calls (SearchOptions::cancellation)
// and raises it; every call that watches it stops within a fraction of a second of work
// (it looks at the flag before each frequency entry, each block of entries, each mode's
// properties and kernels), joins the threads it started, frees what it made and throws
// Error (Rule::cancelled). A cancelled call returns nothing: results are all or none.
#include <atomic>

namespace vemlari {

class Cancellation {
public:
    // Asks every call watching this flag to stop. Async-signal-safe, from any thread; the
    // flag stays raised (later calls given it stop at once) until reset().
    void cancel() noexcept { raised_.store(true, std::memory_order_relaxed); }
    void reset() noexcept { raised_.store(false, std::memory_order_relaxed); }
    bool cancelled() const noexcept { return raised_.load(std::memory_order_relaxed); }

private:
    static_assert(std::atomic<bool>::is_always_lock_free);
    std::atomic<bool> raised_{false};
};

}  // namespace vemlari
