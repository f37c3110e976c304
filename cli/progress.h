#pragma once
// The progress line on standard error: models and frequencies done, rate, time left. Shown
// only when standard error is a terminal and --quiet is not given, from the first second
// of work on, redrawn at most four times a second; messages written through it clear it.
#include <atomic>
#include <chrono>
#include <cstddef>
#include <ostream>
#include <string>

namespace vemlari::cli {

class Progress {
public:
    Progress(std::ostream& err, bool shown, std::size_t models, std::size_t frequencies);
    // From any thread.
    void frequency_done() { frequencies_done_.fetch_add(1, std::memory_order_relaxed); }
    // The rest from the thread that writes the table.
    void model_done() { ++models_done_; }
    void tick();
    void message(const std::string& line);
    void finish();

private:
    using Clock = std::chrono::steady_clock;
    void clear();

    std::ostream& err_;
    bool shown_;
    std::size_t models_, frequencies_;
    std::size_t models_done_ = 0;
    std::atomic<std::size_t> frequencies_done_{0};
    Clock::time_point start_ = Clock::now(), drawn_ = start_;
    std::size_t width_ = 0;  // of the line on the terminal now
};

}  // namespace vemlari::cli
