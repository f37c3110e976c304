#include "cli/batch.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>

namespace vemlari::cli {

void run_batch(std::size_t count, int threads, const std::function<Outcome(std::size_t, int)>& job,
               const std::function<void(std::size_t, Outcome&)>& deliver, const std::function<void()>& tick) {
    if (count == 0) return;
    const std::size_t workers = std::min<std::size_t>(static_cast<std::size_t>(std::max(threads, 1)), count);
    const int per_job = std::max(1, threads / static_cast<int>(workers));
    const std::size_t ahead = 4 * workers;

    std::mutex mutex;
    std::condition_variable done, room;
    std::vector<std::optional<Outcome>> slots(count);
    std::size_t next_job = 0, delivered = 0;
    bool stop = false;
    std::exception_ptr failure;

    auto work = [&] {
        for (;;) {
            std::size_t i;
            {
                std::unique_lock<std::mutex> lock(mutex);
                room.wait(lock, [&] { return stop || next_job >= count || next_job < delivered + ahead; });
                if (stop || next_job >= count) return;
                i = next_job++;
            }
            std::optional<Outcome> outcome;
            try {
                outcome = job(i, per_job);
            } catch (...) {
                std::lock_guard<std::mutex> lock(mutex);
                if (!failure) failure = std::current_exception();
                stop = true;
            }
            {
                std::lock_guard<std::mutex> lock(mutex);
                slots[i] = std::move(outcome);
            }
            done.notify_one();
            room.notify_all();
        }
    };
    std::vector<std::thread> pool;
    for (std::size_t t = 0; t < workers; ++t) pool.emplace_back(work);
    auto end = [&] {
        {
            std::lock_guard<std::mutex> lock(mutex);
            stop = true;
        }
        room.notify_all();
        for (std::thread& t : pool) t.join();
    };

    try {
        while (delivered < count) {
            std::optional<Outcome> outcome;
            {
                std::unique_lock<std::mutex> lock(mutex);
                done.wait_for(lock, std::chrono::milliseconds(200), [&] { return failure || slots[delivered]; });
                if (failure) break;
                if (slots[delivered]) outcome.swap(slots[delivered]);
            }
            if (outcome) {
                deliver(delivered, *outcome);
                {
                    std::lock_guard<std::mutex> lock(mutex);
                    ++delivered;
                }
                room.notify_all();
            }
            tick();
        }
    } catch (...) {
        end();
        throw;
    }
    end();
    if (failure) std::rethrow_exception(failure);
}

}  // namespace vemlari::cli
