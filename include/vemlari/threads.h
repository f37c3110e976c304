#pragma once
// Threads for many models at once: the cores this process may use, and a batch of
// independent computations, one per model, spread over them and taken back in order.
//
//   std::vector<Modes> out(models.size());
//   vemlari::run_model_batch(models.size(), vemlari::usable_cores(), {
//       [&](std::size_t i, int threads) { /* out[i] = find_modes(..., threads) */ },
//       [&](std::size_t i) { /* write out[i] */ return true; }});
#include <cstddef>
#include <functional>

namespace vemlari {

// The cores this process may run on: those of its CPU affinity mask (taskset, a batch
// system's allocation), not every core of the machine, so that a run pinned to one core
// starts no thread that could only compete with it. At least 1.
int usable_cores();

struct ModelBatch {
    // Computes model i, on a thread of the batch, with `threads` (>= 1) threads of its own:
    // those the batch has beyond one per model, shared out, when the models are fewer than
    // the threads asked for; else 1. Models begin in increasing i.
    std::function<void(std::size_t i, int threads)> compute;
    // Called on the calling thread for i = 0, 1, ... in order, each as soon as model i is
    // computed. False stops the batch: no model begins after it, those begun are finished,
    // nothing more is delivered.
    std::function<bool(std::size_t i)> deliver;
    // Optional: called on the calling thread after each delivery and at least five times a
    // second while it waits (progress bars, signals).
    std::function<void()> tick;
};

// Computes models 0 .. count - 1 on up to `threads` (>= 1) threads, no more than the usable
// cores and the models, and delivers them in order. At most four models per thread are
// computed ahead of the last delivered, so a long batch holds a few results at a time. The
// first exception of compute, deliver or tick stops the batch as a false delivery does and
// is rethrown here once every model begun has ended. Whatever the threads, the deliveries
// are the same calls in the same order.
void run_model_batch(std::size_t count, int threads, const ModelBatch& batch);

}  // namespace vemlari
