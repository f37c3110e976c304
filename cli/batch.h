#pragma once
// Jobs over many models on a few threads, delivered in their order whatever the threads.
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "cli/table.h"

namespace vemlari::cli {

// What a job gives for one model: its blocks, or why it was refused.
struct Outcome {
    std::vector<Block> blocks;
    std::string refusal;
};

// Runs job(i, threads_per_job) for i = 0 .. count-1 on min(threads, count) threads, the
// threads left over lent to each job, and hands each outcome to deliver(i, outcome) on
// the calling thread, in increasing i; between deliveries, tick() at least five times a
// second. Workers run at most a few jobs ahead of the last delivered, so memory stays
// bounded on long batches. An exception of a job is rethrown here.
void run_batch(std::size_t count, int threads, const std::function<Outcome(std::size_t, int)>& job,
               const std::function<void(std::size_t, Outcome&)>& deliver, const std::function<void()>& tick);

}  // namespace vemlari::cli
