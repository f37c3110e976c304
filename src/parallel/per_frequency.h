#pragma once
// One job per frequency entry on a worker pool. Every frequency's derived quantities depend
// only on its own phase velocities, so entries are computed side by side; each job borrows
// one of `threads` sets of kernel records (a Slot) for its duration and writes only its own
// entry's results.
#include <cstddef>
#include <memory>
#include <mutex>
#include <vector>

#include "parallel/usable_cores.h"
#include "parallel/worker_pool.h"

namespace vemlari::detail {

// Calls fn(k, slot) for k = 0 .. n - 1 on up to `threads` >= 1 threads (no more than the
// usable cores and the entries); returns when all are done.
template <class Slot, class Fn>
void for_each_frequency(std::size_t n, int asked, Fn&& fn) {
    const int threads = useful_threads(asked, n);
    struct Context {
        Fn& fn;
        std::vector<std::unique_ptr<Slot>> slots;
        std::vector<int> free;
        std::mutex mutex;
    } context{fn, {}, {}, {}};
    for (int t = 0; t < threads; ++t) {
        context.slots.push_back(std::make_unique<Slot>());
        context.free.push_back(t);
    }
    auto job = [](void* p, int i) {
        Context& c = *static_cast<Context*>(p);
        int slot;
        {
            std::lock_guard<std::mutex> lock(c.mutex);
            slot = c.free.back();
            c.free.pop_back();
        }
        c.fn(static_cast<std::size_t>(i), *c.slots[static_cast<std::size_t>(slot)]);
        std::lock_guard<std::mutex> lock(c.mutex);
        c.free.push_back(slot);
    };
    WorkerPool pool(threads);
    pool.run(static_cast<int>(n), job, &context);
}

}  // namespace vemlari::detail
