#pragma once
// The one way a run ends early. A failed check or limit throws RunStop after (or with) its
// messages; a failed stream operation throws StreamFailure with the finished error report.
// The driver catches both, closes every stream and sets the exit status.
#include <stdexcept>
#include <string>

namespace vemlari {

constexpr int exit_stopped = 1;
constexpr int exit_stream_failure = 2;

class RunStop : public std::runtime_error {
public:
    // `console_text`: a free-form text item the driver writes to the console before
    // stopping (used by routines that do not hold the streams); empty for none.
    explicit RunStop(std::string console_text = {})
        : std::runtime_error("run stopped"), text_(std::move(console_text)) {}
    const std::string& console_text() const { return text_; }

private:
    std::string text_;
};

class StreamFailure : public std::runtime_error {
public:
    explicit StreamFailure(std::string report) : std::runtime_error(report) {}
    const char* report() const { return what(); }
};

}  // namespace vemlari
