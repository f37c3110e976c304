// A batch of models delivers each model once, in order, after it is computed, holding only a
// few results at a time; a stop or a failure begins no model after it and returns only once
// every model begun has ended.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>
#include <vector>

#include "vemlari/threads.h"

namespace vemlari {
namespace {

// Models of unequal cost, so that later ones often end before earlier ones.
void work_on(std::size_t i) { std::this_thread::sleep_for(std::chrono::microseconds(50 * ((i * 7) % 5))); }

void raise_to(std::atomic<std::size_t>& most, std::size_t v) {
    for (std::size_t m = most.load(); v > m && !most.compare_exchange_weak(m, v);) {
    }
}

TEST(ModelBatch, EachModelDeliveredOnceInOrderWithFewHeld) {
    const std::size_t n = 200;
    for (const int threads : {1, 3, 8}) {
        std::vector<std::atomic<int>> computed(n);
        std::atomic<std::size_t> held{0}, most_held{0};
        std::vector<std::size_t> order;
        ModelBatch batch;
        batch.compute = [&](std::size_t i, int per_model) {
            EXPECT_GE(per_model, 1);
            raise_to(most_held, held.fetch_add(1) + 1);
            work_on(i);
            computed[i].fetch_add(1);
        };
        batch.deliver = [&](std::size_t i) {
            EXPECT_EQ(computed[i].load(), 1) << "model " << i;
            held.fetch_sub(1);
            order.push_back(i);
            return true;
        };
        run_model_batch(n, threads, batch);
        ASSERT_EQ(order.size(), n);
        for (std::size_t i = 0; i < n; ++i) EXPECT_EQ(order[i], i);
        const auto workers = static_cast<std::size_t>(std::min(threads, usable_cores()));
        EXPECT_LE(most_held.load(), 4 * workers + 1) << threads << " threads";
    }
}

TEST(ModelBatch, StopAndFailureBeginNothingMoreAndWaitForTheRest) {
    for (const bool failing : {false, true}) {
        const std::size_t n = 400;
        std::atomic<std::size_t> running{0}, last_begun{0};
        std::vector<std::size_t> delivered;
        ModelBatch batch;
        batch.compute = [&](std::size_t i, int) {
            running.fetch_add(1);
            raise_to(last_begun, i);
            work_on(i);
            running.fetch_sub(1);
            if (failing && i == 20) throw std::runtime_error("model 20");
        };
        batch.deliver = [&](std::size_t i) {
            delivered.push_back(i);
            return failing || i < 30;
        };
        if (failing) {
            EXPECT_THROW(run_model_batch(n, 4, batch), std::runtime_error);
        } else {
            run_model_batch(n, 4, batch);
        }
        EXPECT_EQ(running.load(), 0u);
        // A failure may overtake deliveries of the models before it, never follow them.
        if (failing) {
            EXPECT_LE(delivered.size(), 20u);
        } else {
            EXPECT_EQ(delivered.size(), 31u);
        }
        for (std::size_t i = 0; i < delivered.size(); ++i) EXPECT_EQ(delivered[i], i);
        EXPECT_LE(last_begun.load(), (failing ? 20u : 30u) + 16u + 1u);
    }
}

}  // namespace
}  // namespace vemlari
