// vemlari: normal modes (Love and Rayleigh) of a layered elastic half-space.
#include <filesystem>
#include <iostream>
#include <thread>

#include "program/run.h"

int main() {
    std::ios::sync_with_stdio(false);
    const unsigned cores = std::thread::hardware_concurrency();
    return vemlari::run_vemlari(std::cin, std::cout, std::cerr, std::filesystem::current_path(),
                                cores == 0 ? 1 : static_cast<int>(cores));
}
