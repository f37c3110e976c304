#pragma once
// Independent tasks on a few threads, each ended task taken on the calling thread in task
// order. The frequency entries of the scan, the models of a batch: whatever the threads, the
// caller sees the tasks end one after the other, so what it builds from them does not depend
// on how many ran at once.
#include <chrono>
#include <cstddef>
#include <functional>

#include "parallel/worker_pool.h"

namespace vemlari::detail {

struct OrderedTasks {
    // Task i on the thread numbered `worker`, below useful_threads(threads, count), for state
    // a thread keeps from one task to the next. Tasks start in increasing i.
    std::function<void(std::size_t i, int worker)> run;
    // Called on the calling thread for i = 0, 1, ... as soon as task i has ended. False stops
    // the run: no task starts after it, those running end and nothing more is delivered.
    std::function<bool(std::size_t i)> deliver;
    // Optional: called on the calling thread at least every `tick_period` while it waits.
    std::function<void()> tick;
    std::chrono::milliseconds tick_period{200};
    // More than 0: a task starts only while fewer than `ahead` ended tasks wait for delivery
    // or run, which bounds the memory of a long batch. 0: no bound.
    std::size_t ahead = 0;
    // Optional: a thread with no task to start (or waiting for room ahead) serves this pool's
    // batches, those of the tasks still running, until the run ends.
    WorkerPool* pool = nullptr;
};

// Runs tasks 0 .. count - 1 on up to `threads` (>= 1) threads started for the call (no more
// than the usable cores and the tasks) and delivers them in order. If no thread can be
// started, the calling thread runs each task before delivering it. The first exception of a
// task, of deliver or of tick ends the run as a false delivery does and is rethrown here,
// after every started task has ended.
void run_ordered(std::size_t count, int threads, const OrderedTasks& tasks);

}  // namespace vemlari::detail
