#pragma once
// The memory one model's table takes at least, reckoned before any work from what is asked,
// so that a request past the memory is refused instead of killed on the way.
#include <string>

namespace vemlari::cli {

// What one model's table may take.
inline constexpr double max_table_bytes = 2.0 * 1024 * 1024 * 1024;

enum class TableKind { modes, kernels, eigen, secular };

// `rows`: the rows of one model at least, over every wave (waves x frequencies for modes,
// times the layers for kernels, waves x depths for eigen, waves x phase velocities for
// secular; one mode each). Empty when they fit in max_table_bytes; else why not.
std::string too_large(TableKind kind, double rows);

}  // namespace vemlari::cli
