// The worker pool: every job of every batch runs exactly once and has finished when run()
// returns, whoever submits, with dedicated workers, helping threads or none; failures of jobs
// reach their own submitter.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>
#include <vector>

#include "parallel/worker_pool.h"

namespace vemlari {

using namespace vemlari::detail;
namespace {

// One batch of a submitter: job i records its batch tag and counts its runs.
struct Marks {
    std::vector<int> tag, runs;
    int batch = 0;
    explicit Marks(int n) : tag(static_cast<std::size_t>(n), -1), runs(static_cast<std::size_t>(n), 0) {}
};

// About a microsecond of work before the mark, so that a submitter returning early finds
// marks missing.
void mark(void* context, int i) {
    auto& m = *static_cast<Marks*>(context);
    volatile double x = 1.0;
    for (int k = 0; k < 300; ++k) x = x * 0.999 + 0.001;
    m.tag[static_cast<std::size_t>(i)] = m.batch;
    ++m.runs[static_cast<std::size_t>(i)];
}

// Submits `batches` batches of sizes 1 .. 40 in turn and checks each as soon as run() returns:
// a job still running, run twice or skipped would show in its marks.
void submit_and_check(WorkerPool& pool, int batches, int seed) {
    for (int b = 0; b < batches; ++b) {
        const int n = 1 + (b * 7 + seed) % 40;
        Marks m(n);
        m.batch = b;
        pool.run(n, mark, &m);
        for (int i = 0; i < n; ++i) {
            ASSERT_EQ(m.tag[static_cast<std::size_t>(i)], b) << "batch " << b << " job " << i;
            ASSERT_EQ(m.runs[static_cast<std::size_t>(i)], 1) << "batch " << b << " job " << i;
        }
    }
}

TEST(WorkerPool, EveryJobOnceWithSeveralSubmittersAndWorkers) {
    // More submitters than the pool has slots for batches: some run their batches alone.
    for (int threads : {1, 2, 3}) {
        SCOPED_TRACE(threads);
        WorkerPool pool(threads);
        EXPECT_EQ(pool.threads(), threads);
        std::vector<std::thread> submitters;
        for (int k = 0; k < 6; ++k) submitters.emplace_back([&, k] { submit_and_check(pool, 1000, k); });
        for (auto& t : submitters) t.join();
    }
}

TEST(WorkerPool, HelpersServeUntilTheirConditionHolds) {
    WorkerPool pool(1);
    EXPECT_EQ(pool.threads(), 1);
    std::atomic<bool> over{false};
    std::atomic<int> returned{0};
    std::vector<std::thread> helpers;
    for (int k = 0; k < 2; ++k)
        helpers.emplace_back([&] {
            pool.help_until([&] { return over.load(); });
            ++returned;
        });
    while (pool.threads() < 3) std::this_thread::yield();
    std::thread other([&] { submit_and_check(pool, 2000, 3); });
    submit_and_check(pool, 2000, 0);
    other.join();
    // Idle long enough to have stopped spinning: a batch must still be served or run.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    submit_and_check(pool, 200, 5);
    EXPECT_EQ(returned.load(), 0);
    over.store(true);
    for (auto& t : helpers) t.join();
    EXPECT_EQ(returned.load(), 2);
    EXPECT_EQ(pool.threads(), 1);
    // A condition already met returns at once; batches then run on the submitter alone.
    pool.help_until([] { return true; });
    submit_and_check(pool, 100, 1);
}

TEST(WorkerPool, BatchLargerThanOneTicketCounts) {
    WorkerPool pool(2);
    const int n = 70000;  // the ticket counts up to 65535 jobs
    Marks m(n);
    pool.run(n, mark, &m);
    for (int i = 0; i < n; ++i) ASSERT_EQ(m.runs[static_cast<std::size_t>(i)], 1) << i;
}

struct Failing {
    std::vector<std::atomic<int>> runs;
    explicit Failing(int n) : runs(static_cast<std::size_t>(n)) {}
};

// Jobs 5, 9 and 30 throw their index.
void fail_some(void* context, int i) {
    auto& f = *static_cast<Failing*>(context);
    ++f.runs[static_cast<std::size_t>(i)];
    if (i == 5 || i == 9 || i == 30) throw std::runtime_error(std::to_string(i));
}

TEST(WorkerPool, LowestFailingJobIsRethrownAfterAllRan) {
    for (int threads : {1, 2, 3}) {
        SCOPED_TRACE(threads);
        WorkerPool pool(threads);
        for (int repeat = 0; repeat < 200; ++repeat) {
            Failing f(40);
            try {
                pool.run(40, fail_some, &f);
                ADD_FAILURE() << "no exception";
            } catch (const std::runtime_error& e) {
                EXPECT_STREQ(e.what(), "5");
            }
            for (int i = 0; i < 40; ++i) ASSERT_EQ(f.runs[static_cast<std::size_t>(i)].load(), 1) << i;
        }
        // The pool is still usable after failures.
        submit_and_check(pool, 100, 2);
    }
}

}  // namespace
}  // namespace vemlari
