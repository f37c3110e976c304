#pragma once
// The library's search options from the command line's.
#include <functional>

#include "cli/interrupts.h"
#include "cli/requests.h"
#include "vemlari/options.h"

namespace vemlari::cli {

inline SearchOptions search_options(const Common& c, const Search& s, int threads,
                                    const std::function<void()>& frequency_done) {
    SearchOptions o;
    o.method = s.scan ? SearchMethod::scan : SearchMethod::counted;
    o.velocity_tolerance = s.velocity_tolerance;
    o.tolerance = s.tolerance;
    o.max_iterations = s.iterations;
    o.partitions = s.partitions;
    o.love = c.love;
    o.rayleigh = c.rayleigh;
    o.threads = threads;
    o.cancellation = interrupt_flag();
    o.on_frequency = [frequency_done](const Modes&, std::size_t) {
        frequency_done();
        return true;
    };
    return o;
}

}  // namespace vemlari::cli
