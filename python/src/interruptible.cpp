#include "python/src/interruptible.h"

#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>

namespace vemlari::python {

namespace {

// The progress argument as one call report(done); needs the GIL.
class Report {
public:
    Report(const py::object& progress, std::size_t total) : total_(total) {
        if (progress.is_none() || (py::isinstance<py::bool_>(progress) && !progress.cast<bool>())) return;
        if (py::isinstance<py::bool_>(progress)) {
            bar_ = py::module_::import("tqdm").attr("tqdm")(py::arg("total") = total);
        } else if (PyCallable_Check(progress.ptr())) {
            call_ = progress;
        } else {
            throw py::type_error("progress must be None, True (a tqdm bar) or a callable progress(done, total)");
        }
    }
    ~Report() {
        if (!bar_) return;
        try {
            bar_.attr("close")();
        } catch (py::error_already_set& e) {
            e.discard_as_unraisable("closing the progress bar");
        }
    }
    Report(const Report&) = delete;
    Report& operator=(const Report&) = delete;

    void operator()(std::size_t done) {
        if (done == shown_) return;
        if (bar_) bar_.attr("update")(done - shown_);
        if (call_) call_(done, total_);
        shown_ = done;
    }

private:
    std::size_t total_, shown_ = 0;
    py::object bar_, call_;
};

}  // namespace

void run_interruptible(const std::function<void(const std::shared_ptr<const Cancellation>&)>& work, const Tally& tally,
                       const py::object& progress) {
    Report report(progress, tally.total);
    const auto flag = std::make_shared<Cancellation>();
    std::exception_ptr failure;
    std::optional<py::error_already_set> stopped;
    {
        py::gil_scoped_release free;
        std::mutex mutex;
        std::condition_variable ended;
        bool finished = false;
        auto run = [&] {
            try {
                work(flag);
            } catch (...) {
                failure = std::current_exception();
            }
            std::lock_guard<std::mutex> lock(mutex);
            finished = true;
            ended.notify_all();
        };
        std::optional<std::thread> worker;
        try {
            worker.emplace(run);
        } catch (const std::system_error&) {
            // No thread to spare: the work runs here, to its end.
            run();
        }
        while (worker) {
            {
                std::unique_lock<std::mutex> lock(mutex);
                if (ended.wait_for(lock, std::chrono::milliseconds(50), [&] { return finished; })) break;
            }
            py::gil_scoped_acquire hold;
            try {
                if (PyErr_CheckSignals() != 0) throw py::error_already_set();
                report(tally.done.load(std::memory_order_relaxed));
            } catch (py::error_already_set& e) {
                stopped.emplace(std::move(e));
                flag->cancel();
                break;
            }
        }
        if (worker) worker->join();
    }
    if (stopped) throw std::move(*stopped);
    if (failure) std::rethrow_exception(failure);
    report(tally.done.load());
}

}  // namespace vemlari::python
