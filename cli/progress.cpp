#include "cli/progress.h"

#include <cstdio>

namespace vemlari::cli {

namespace {

std::string duration(double seconds) {
    const long s = static_cast<long>(seconds + 0.5);
    char text[32];
    if (s >= 3600) {
        std::snprintf(text, sizeof text, "%ldh%02ldm", s / 3600, s / 60 % 60);
    } else if (s >= 60) {
        std::snprintf(text, sizeof text, "%ldm%02lds", s / 60, s % 60);
    } else {
        std::snprintf(text, sizeof text, "%lds", s);
    }
    return text;
}

}  // namespace

Progress::Progress(std::ostream& err, bool shown, std::size_t models, std::size_t frequencies)
    : err_(err), shown_(shown), models_(models), frequencies_(frequencies) {}

void Progress::tick() {
    if (!shown_) return;
    const Clock::time_point now = Clock::now();
    if (now - start_ < std::chrono::seconds(1) || now - drawn_ < std::chrono::milliseconds(250)) return;
    drawn_ = now;
    const double elapsed = std::chrono::duration<double>(now - start_).count();
    const std::size_t f = frequencies_done_.load(std::memory_order_relaxed);
    // Frequencies measure the work best; without them (secular), models do.
    const double done = frequencies_ > 0 ? static_cast<double>(f) / static_cast<double>(frequencies_)
                                         : static_cast<double>(models_done_) / static_cast<double>(models_);
    char line[160];
    int n = std::snprintf(line, sizeof line, "models %zu/%zu", models_done_, models_);
    if (frequencies_ > 0)
        n += std::snprintf(line + n, sizeof line - static_cast<std::size_t>(n), ", frequencies %zu/%zu", f,
                           frequencies_);
    const double rate =
        frequencies_ > 0 ? static_cast<double>(f) / elapsed : static_cast<double>(models_done_) / elapsed;
    n += std::snprintf(line + n, sizeof line - static_cast<std::size_t>(n), ", %.1f %s/s", rate,
                       frequencies_ > 0 ? "frequencies" : "models");
    std::string text(line);
    if (done > 0.0) text += ", " + duration(elapsed * (1.0 - done) / done) + " left";
    const std::size_t width = text.size();
    if (width < width_) text.append(width_ - width, ' ');
    err_ << '\r' << text << std::flush;
    width_ = width;
}

void Progress::clear() {
    if (width_ == 0) return;
    err_ << '\r' << std::string(width_, ' ') << '\r';
    width_ = 0;
}

void Progress::message(const std::string& line) {
    clear();
    err_ << line << '\n' << std::flush;
}

void Progress::finish() {
    clear();
    err_.flush();
}

}  // namespace vemlari::cli
