#include "program/interrupts.h"

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <thread>

namespace vemlari {

void watch_interrupts(const std::filesystem::path& log) {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
    // The watcher writes past the program's own buffers: the console through its descriptor,
    // the log after every stream has been flushed, and ends the process before anything else
    // is written.
    std::thread([set, log] {
        int sig = 0;
        if (sigwait(&set, &sig) != 0) return;
        const std::string line =
            std::string(" INTERRUPTED BY ") + (sig == SIGINT ? "SIGINT" : "SIGTERM") + ", THUS STOP !!!\n";
        std::fflush(nullptr);
        [[maybe_unused]] const ssize_t written = ::write(STDOUT_FILENO, line.data(), line.size());
        if (!log.empty())
            if (std::FILE* f = std::fopen(log.c_str(), "a")) {
                std::fputs(line.c_str(), f);
                std::fclose(f);
            }
        _exit(128 + sig);
    }).detach();
}

}  // namespace vemlari
