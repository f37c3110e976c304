#pragma once
// SIGINT and SIGTERM end a run cleanly: every open file is flushed, one line on the console
// (and, for the dialogue, at the end of "fort.10") says so, and the process exits with
// status 128 + the signal number (130, 143).
#include <filesystem>

namespace vemlari {

// Must be called before any other thread starts, so that every thread inherits the mask
// that leaves the two signals to the watching thread. `log` is the log file to note the
// interrupt in, empty for none.
void watch_interrupts(const std::filesystem::path& log);

}  // namespace vemlari
