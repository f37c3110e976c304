#pragma once
// Long calls that Ctrl-C stops and that report progress. The work runs without the GIL on a
// thread of its own; the calling thread wakes every 50 ms, takes the GIL for a moment to run
// Python's signal handlers (PyErr_CheckSignals) and the progress report, and, when either
// raises (KeyboardInterrupt, or the progress callable's exception), raises the work's
// Cancellation, joins it and raises that exception: within 0.1 s of work or so, nothing
// computed kept.
#include <pybind11/pybind11.h>

#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>

#include "vemlari/cancellation.h"

namespace vemlari::python {

namespace py = pybind11;

// What a call tells its progress report: units of work done, of `total`.
struct Tally {
    explicit Tally(std::size_t total) : total(total) {}
    std::atomic<std::size_t> done{0};
    const std::size_t total;
};

// Runs work(flag) to its end, or until an exception of Python's stops it (then rethrown
// here, py::error_already_set); an exception of the work is rethrown too. `progress`: None,
// a callable called as progress(done, total) as the work advances and once at its end, or
// True for a tqdm bar (the tqdm package, imported only then). Needs the GIL.
void run_interruptible(const std::function<void(const std::shared_ptr<const Cancellation>&)>& work, const Tally& tally,
                       const py::object& progress);

}  // namespace vemlari::python
