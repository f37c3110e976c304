// vemlari: normal modes (Love and Rayleigh) of a layered elastic half-space. Without
// arguments the dialogue; with them the command line.
#include <unistd.h>

#include <filesystem>
#include <iostream>

#include "cli/command_line.h"
#include "program/interrupts.h"
#include "program/run.h"
#include "vemlari/threads.h"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    const std::filesystem::path dir = std::filesystem::current_path();
    // The command line takes SIGINT and SIGTERM itself; the dialogue's watcher writes its
    // message into the console and fort.10.
    if (argc > 1)
        return vemlari::cli::run_command_line(argc, argv, std::cin, std::cout, std::cerr, isatty(STDERR_FILENO) == 1);
    vemlari::watch_interrupts(dir / "fort.10");
    return vemlari::run_vemlari(std::cin, std::cout, std::cerr, dir, vemlari::usable_cores());
}
