#pragma once
// How many threads a call starts: never more than the cores it may run on
// (vemlari::usable_cores) or the work it has.
#include <cstddef>

#include "vemlari/threads.h"

namespace vemlari::detail {

// The threads worth starting when `asked` are offered for `work` independent items: at most
// the usable cores (more would only take turns on them) and the items, at least 1.
int useful_threads(int asked, std::size_t work);

}  // namespace vemlari::detail
