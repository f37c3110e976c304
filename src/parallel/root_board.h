#pragma once
// One wave's roots, entry by entry, as searches running side by side find them. The search of
// entry k follows each mode from entries k - 2 and k - 1, which may still be searched: it then
// waits for the one root it needs, and meanwhile helps with the batches of the searches it
// waits for.
#include <atomic>
#include <cstddef>
#include <memory>
#include <mutex>
#include <vector>

#include "dispersion/root_history.h"
#include "parallel/worker_pool.h"

namespace vemlari::detail {

// Thrown by a wait of a search that has been abandoned (a failure elsewhere, or the caller
// stopping early); the task that meets it ends without a result.
struct SearchAbandoned {};

class RootBoard final : public RootHistory {
public:
    // Waiting searches serve `pool`, on which the searches they wait for post their batches.
    RootBoard(std::size_t entries, WorkerPool& pool) : entries_(std::make_unique<Entry[]>(entries)), pool_(pool) {}

    // Root md of entry k (0 if entry k ends without it), once known. Throws SearchAbandoned
    // after abandon().
    double root(std::size_t k, int md) const override;
    // A final root of entry k, the next in mode order.
    void found(std::size_t k, double c);
    // Entry k's search has ended with these roots (those already found among them).
    void finish(std::size_t k, const std::vector<double>& roots);
    void abandon() { abandoned_.store(true, std::memory_order_release); }

    // What the task of entry k tells.
    class Teller final : public RootSink {
    public:
        Teller(RootBoard& b, std::size_t k) : board_(b), k_(k) {}
        void found(double c) override { board_.found(k_, c); }

    private:
        RootBoard& board_;
        std::size_t k_;
    };

private:
    struct Entry {
        std::vector<double> roots;  // guarded by mutex_
        std::atomic<std::size_t> known{0};
        std::atomic<bool> ended{false};
    };

    mutable std::mutex mutex_;
    std::unique_ptr<Entry[]> entries_;
    WorkerPool& pool_;
    std::atomic<bool> abandoned_{false};
};

}  // namespace vemlari::detail
