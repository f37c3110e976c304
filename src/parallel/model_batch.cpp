// A batch of models: tasks delivered in order, each model's own threads those left over.
#include <algorithm>

#include "parallel/ordered_tasks.h"
#include "parallel/usable_cores.h"
#include "vemlari/threads.h"

namespace vemlari {

using namespace detail;

void run_model_batch(std::size_t count, int threads, const ModelBatch& batch) {
    const int workers = useful_threads(threads, count);
    const int per_model = std::max(1, threads / workers);
    OrderedTasks tasks;
    tasks.run = [&](std::size_t i, int) { batch.compute(i, per_model); };
    tasks.deliver = batch.deliver;
    tasks.tick = batch.tick;
    tasks.ahead = 4 * static_cast<std::size_t>(workers);
    run_ordered(count, workers, tasks);
}

}  // namespace vemlari
