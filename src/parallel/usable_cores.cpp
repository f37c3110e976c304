#include "parallel/usable_cores.h"

#include <algorithm>
#include <thread>

#if defined(__linux__)
#include <sched.h>
#endif

namespace vemlari {

int usable_cores() {
#if defined(__linux__)
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof set, &set) == 0) {
        const int n = CPU_COUNT(&set);
        if (n > 0) return n;
    }
#endif
    const unsigned cores = std::thread::hardware_concurrency();
    return cores == 0 ? 1 : static_cast<int>(cores);
}

namespace detail {

int useful_threads(int asked, std::size_t work) {
    const auto cap = std::min(static_cast<std::size_t>(usable_cores()), std::max<std::size_t>(work, 1));
    return asked < 1 ? 1 : static_cast<int>(std::min(static_cast<std::size_t>(asked), cap));
}

}  // namespace detail

}  // namespace vemlari
