#pragma once
// Cores this process may run on: those of its CPU affinity mask (taskset, a batch system's
// allocation), not every core of the machine, so a run pinned to one core starts no thread
// that could only compete with it.
namespace vemlari {

// At least 1.
int usable_cores();

}  // namespace vemlari
