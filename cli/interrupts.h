#pragma once
// SIGINT and SIGTERM during a run of the command line: the table's temporary file is removed,
// one line on standard error says so, and the process exits with status 128 + the signal
// (130, 143). Nothing reaches standard output, and the target of -o is left as it was.
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

}  // namespace vemlari::cli
