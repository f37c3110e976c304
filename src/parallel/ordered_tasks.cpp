#include "parallel/ordered_tasks.h"

#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "parallel/usable_cores.h"

namespace vemlari::detail {

namespace {

// The state the calling thread and the started threads share.
class OrderedRun {
public:
    OrderedRun(std::size_t count, const OrderedTasks& tasks) : count_(count), tasks_(tasks), ended_(count, 0) {}

    // The loop of a started thread: the next task while there is one and room for it.
    void work(int worker) {
        for (std::size_t i; take(i);) {
            try {
                tasks_.run(i, worker);
            } catch (...) {
                fail(std::current_exception());
            }
            {
                std::lock_guard<std::mutex> lock(mutex_);
                ended_[i] = 1;
            }
            finished_.fetch_add(1, std::memory_order_release);
            ended_cv_.notify_all();
        }
        if (tasks_.pool)
            tasks_.pool->help_until([this] {
                return stopping_.load(std::memory_order_acquire) || finished_.load(std::memory_order_acquire) == count_;
            });
    }

    // The calling thread's loop: each task delivered in order as soon as it has ended.
    void deliver_in_order() {
        try {
            while (delivered_ < count_) {
                const Next next = wait_for_next();
                if (next == Next::failed) break;
                if (next == Next::waiting) {
                    if (tasks_.tick) tasks_.tick();
                    continue;
                }
                if (!tasks_.deliver(delivered_)) break;
                {
                    std::lock_guard<std::mutex> lock(mutex_);
                    ++delivered_;
                }
                room_cv_.notify_all();
                if (tasks_.tick) tasks_.tick();
            }
        } catch (...) {
            fail(std::current_exception());
        }
        stop();
    }

    // Without started threads: each task run on the calling thread, then delivered.
    void run_alone() {
        try {
            for (std::size_t i = 0; i < count_; ++i) {
                tasks_.run(i, 0);
                if (!tasks_.deliver(i)) break;
                if (tasks_.tick) tasks_.tick();
            }
        } catch (...) {
            fail(std::current_exception());
        }
    }

    void stop() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stop_ = true;
            stopping_.store(true, std::memory_order_release);
        }
        room_cv_.notify_all();
    }

    void rethrow() const {
        if (failure_) std::rethrow_exception(failure_);
    }

private:
    bool take(std::size_t& i) {
        std::unique_lock<std::mutex> lock(mutex_);
        room_cv_.wait(
            lock, [&] { return stop_ || next_ >= count_ || tasks_.ahead == 0 || next_ < delivered_ + tasks_.ahead; });
        if (stop_ || next_ >= count_) return false;
        i = next_++;
        return true;
    }

    void fail(std::exception_ptr e) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (!failure_) failure_ = std::move(e);
            stop_ = true;
            stopping_.store(true, std::memory_order_release);
        }
        room_cv_.notify_all();
        ended_cv_.notify_all();
    }

    enum class Next { ended, waiting, failed };

    // Whether the next task to deliver has ended, after a tick period at most.
    Next wait_for_next() {
        std::unique_lock<std::mutex> lock(mutex_);
        auto ready = [&] { return failure_ || ended_[delivered_]; };
        if (tasks_.tick)
            ended_cv_.wait_for(lock, tasks_.tick_period, ready);
        else
            ended_cv_.wait(lock, ready);
        if (failure_) return Next::failed;
        return ended_[delivered_] ? Next::ended : Next::waiting;
    }

    const std::size_t count_;
    const OrderedTasks& tasks_;
    std::mutex mutex_;
    std::condition_variable ended_cv_, room_cv_;
    std::vector<char> ended_;  // guarded by mutex_
    std::size_t next_ = 0, delivered_ = 0;
    bool stop_ = false;
    std::exception_ptr failure_;
    std::atomic<std::size_t> finished_{0};
    std::atomic<bool> stopping_{false};
};

}  // namespace

void run_ordered(std::size_t count, int threads, const OrderedTasks& tasks) {
    if (count == 0) return;
    OrderedRun run(count, tasks);
    const int wanted = useful_threads(threads, count);
    std::vector<std::thread> started;
    try {
        for (int t = 0; t < wanted; ++t) started.emplace_back([&run, t] { run.work(t); });
    } catch (const std::system_error&) {
        // The system starts no more threads: those started share the tasks, and the results
        // never depend on how many that is.
    } catch (...) {
        run.stop();
        for (std::thread& t : started) t.join();
        throw;
    }
    if (started.empty()) {
        run.run_alone();
    } else {
        run.deliver_in_order();
        for (std::thread& t : started) t.join();
    }
    run.rethrow();
}

}  // namespace vemlari::detail
