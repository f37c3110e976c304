#include "cli/interrupts.h"

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>

namespace vemlari::cli {

namespace {

std::atomic<const char*> doomed{nullptr};
std::atomic<bool> progress_line{false};
std::atomic<bool> cooperative{false};
std::atomic<int> received{0};
std::atomic<bool> ending{false};
Cancellation flag;

// Only async-signal-safe calls: the thread it interrupts may hold any lock.
void on_signal(int sig) {
    int none = 0;
    if (received.compare_exchange_strong(none, sig) && cooperative.load()) {
        flag.cancel();
        return;
    }
    if (ending.exchange(true)) return;
    if (const char* path = doomed.load()) ::unlink(path);
    static const char interrupt[] = "\nvemlari: interrupted by SIGINT\n";
    static const char terminate[] = "\nvemlari: interrupted by SIGTERM\n";
    const char* line = sig == SIGINT ? interrupt : terminate;
    const std::size_t size = (sig == SIGINT ? sizeof interrupt : sizeof terminate) - 1;
    // The line break first only ends a progress line.
    const std::size_t skip = progress_line.load() ? 0 : 1;
    [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, line + skip, size - skip);
    _exit(128 + sig);
}

sigset_t both() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    return set;
}

struct Saved {
    struct sigaction interrupt, terminate;
    sigset_t mask;
} saved;

}  // namespace

InterruptExit::InterruptExit(bool terminal) {
    static_assert(std::atomic<const char*>::is_always_lock_free && std::atomic<bool>::is_always_lock_free &&
                  std::atomic<int>::is_always_lock_free);
    progress_line = terminal;
    received = 0;
    ending = false;
    flag.reset();
    struct sigaction action {};
    action.sa_handler = on_signal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &saved.interrupt);
    sigaction(SIGTERM, &action, &saved.terminate);
    const sigset_t set = both();
    pthread_sigmask(SIG_UNBLOCK, &set, &saved.mask);
}

InterruptExit::~InterruptExit() {
    pthread_sigmask(SIG_SETMASK, &saved.mask, nullptr);
    sigaction(SIGINT, &saved.interrupt, nullptr);
    sigaction(SIGTERM, &saved.terminate, nullptr);
    doomed = nullptr;
}

void remove_on_interrupt(const char* path) { doomed = path; }

std::shared_ptr<const Cancellation> interrupt_flag() {
    // The flag lives as long as the process: the pointer owns nothing.
    return std::shared_ptr<const Cancellation>(std::shared_ptr<void>(), &flag);
}

int interrupt_signal() { return flag.cancelled() ? received.load() : 0; }

CancellableSpan::CancellableSpan() { cooperative = true; }

CancellableSpan::~CancellableSpan() { cooperative = false; }

}  // namespace vemlari::cli
