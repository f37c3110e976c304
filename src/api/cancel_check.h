#pragma once
// The calls' look at their Cancellation (SearchOptions::cancellation).
#include "vemlari/error.h"
#include "vemlari/options.h"

namespace vemlari::detail {

inline bool cancelled(const SearchOptions& o) { return o.cancellation && o.cancellation->cancelled(); }

// Throws Error (Rule::cancelled) once the caller has raised the flag.
inline void stop_if_cancelled(const SearchOptions& o) {
    if (cancelled(o)) throw Error(Error::Rule::cancelled, "the computation was cancelled");
}

}  // namespace vemlari::detail
