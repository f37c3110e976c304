#pragma once
// Cores this process may run on: those of its CPU affinity mask (taskset, a batch system's
// allocation), not every core of the machine, so a run pinned to one core starts no thread
// that could only compete with it.
#include <cstddef>

namespace vemlari {

// At least 1.
int usable_cores();

// The threads worth starting when `asked` are offered for `work` independent items: at most
// the usable cores (more would only take turns on them) and the items, at least 1.
int useful_threads(int asked, std::size_t work);

}  // namespace vemlari
