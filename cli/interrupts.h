#pragma once
// SIGINT and SIGTERM during a run of the command line: the table's temporary file is removed,
// one line on standard error says so, and the process exits with status 128 + the signal
// (130, 143). Nothing more reaches standard output, and the target of -o is left as it was.
// While the models are computed, the signal raises the library's Cancellation (the flag of
// every search, interrupt_flag()), the computations stop at their next check and the run
// ends through run_table; elsewhere (reading the models, which may wait on a pipe), or at a
// second signal, the process ends at once from the handler.
#include <memory>

#include "vemlari/cancellation.h"

namespace vemlari::cli {

// Takes the two signals for the command line while it lives: unblocks them in the calling
// thread (and so in the threads it starts), where the dialogue's watcher leaves them blocked.
// `terminal`: standard error is a terminal, where a progress line may be showing.
class InterruptExit {
public:
    explicit InterruptExit(bool terminal);
    ~InterruptExit();
    InterruptExit(const InterruptExit&) = delete;
    InterruptExit& operator=(const InterruptExit&) = delete;
};

// The file an interrupt removes, nullptr for none. The text must stay alive and unchanged
// until it is replaced.
void remove_on_interrupt(const char* path);

// The flag a signal raises while a CancellableSpan lives, for SearchOptions::cancellation.
std::shared_ptr<const Cancellation> interrupt_flag();

// The signal that raised the flag, 0 for none.
int interrupt_signal();

// While it lives, a signal raises interrupt_flag() instead of ending the process.
class CancellableSpan {
public:
    CancellableSpan();
    ~CancellableSpan();
    CancellableSpan(const CancellableSpan&) = delete;
    CancellableSpan& operator=(const CancellableSpan&) = delete;
};

}  // namespace vemlari::cli
