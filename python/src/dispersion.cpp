// dispersion and dispersion_many: the modes of one model, or of many on several threads.
#include <pybind11/stl.h>

#include <algorithm>
#include <atomic>
#include <exception>
#include <optional>
#include <system_error>
#include <thread>
#include <vector>

#include "parallel/usable_cores.h"
#include "python/src/bindings.h"
#include "python/src/errors.h"
#include "python/src/inputs.h"
#include "python/src/result_type.h"

namespace vemlari::python {

namespace {

DispersionResult dispersion(const Model& model, const py::object& frequencies, const std::string& wave,
                            const std::optional<int>& modes, const std::optional<double>& tolerance, const std::optional<int>& partitions,
                      const std::optional<int>& iterations,
                            int threads, const std::string& search, double velocity_tolerance) {
    const Wave w = wave_of(wave);
    const Frequencies f = frequencies_of(frequencies);
    const SearchOptions o =
        options_of(w, modes, {search, velocity_tolerance, tolerance, partitions, iterations}, threads);
    if (modes) check_result_size(1, f.size(), static_cast<std::size_t>(*modes) + 1, 0);
    WaveTable t;
    {
        py::gil_scoped_release free;
        t = wave_table(model, f, w, o);
    }
    return to_result(std::move(t));
}

// Each model on one thread; the threads take the next model as they finish one.
py::list dispersion_many(const py::iterable& models, const py::object& frequencies, const std::string& wave,
                         const std::optional<int>& modes, const std::optional<double>& tolerance, const std::optional<int>& partitions,
                      const std::optional<int>& iterations,
                         const std::optional<int>& threads, const std::string& search, double velocity_tolerance) {
    const Wave w = wave_of(wave);
    const Frequencies f = frequencies_of(frequencies);
    const SearchOptions o = options_of(w, modes, {search, velocity_tolerance, tolerance, partitions, iterations}, 1);
    if (threads && *threads < 1) throw py::value_error("threads must be None (every core) or at least 1");
    std::vector<std::optional<Model>> valid;
    std::vector<py::object> refused;
    for (const py::handle item : models) {
        try {
            valid.emplace_back(model_of(item));
            refused.emplace_back();
        } catch (const Error& e) {
            valid.emplace_back();
            refused.push_back(model_error(e.what()));
        } catch (const py::error_already_set& e) {
            if (!is_model_error(e)) throw;
            valid.emplace_back();
            refused.push_back(e.value());
        }
    }
    const std::size_t n = valid.size();
    if (modes)
        check_result_size(static_cast<std::size_t>(std::count_if(valid.begin(), valid.end(), [](const auto& m) { return m.has_value(); })),
                          f.size(), static_cast<std::size_t>(*modes) + 1, 0);
    std::vector<WaveTable> tables(n);
    std::vector<std::exception_ptr> failures(n);
    {
        py::gil_scoped_release free;
        std::atomic<std::size_t> next{0};
        auto work = [&] {
            for (std::size_t i; (i = next++) < n;) {
                if (!valid[i]) continue;
                try {
                    tables[i] = wave_table(*valid[i], f, w, o);
                } catch (...) {
                    failures[i] = std::current_exception();
                }
            }
        };
        const int helpers = useful_threads(threads ? *threads : usable_cores(), n);
        std::vector<std::jthread> pool;
        try {
            for (int t = 1; t < helpers; ++t) pool.emplace_back(work);
        } catch (const std::system_error&) {
            // The threads started and this one share the models: the results are the same.
        }
        work();
    }
    for (const std::exception_ptr& e : failures)
        if (e) std::rethrow_exception(e);
    py::list out;
    for (std::size_t i = 0; i < n; ++i) out.append(valid[i] ? py::cast(to_result(std::move(tables[i]))) : refused[i]);
    return out;
}

const char* dispersion_doc = R"(Every mode of one wave type of a model at the given frequencies.

model        a vemlari.Model
frequencies  frequencies in Hz (array-like: finite, >= 0, increasing), or a vemlari.Frequencies
wave         "rayleigh" or "love"
modes        None: every mode found; n: modes 0 .. n only (the search stops there) and the
             result has n + 1 columns
tolerance    search="scan" only: a candidate is a mode when |F| of its secular function
             falls below this
partitions   search="scan" only: the base step is the phase-velocity range over this number
iterations   search="scan" only: bracket halvings allowed per candidate
threads      threads for this one model, at most the cores the process may run on and
             the frequencies (results do not depend on it)
search       "counted" (the default): every mode certified by a count of the modes below a
             trial velocity, its phase velocity refined to velocity_tolerance; any valid
             model. "scan": the interactive program's search on a grid of trial velocities,
             whose values are the program's files (the half-space must be the fastest layer).
velocity_tolerance  search="counted": relative phase-velocity tolerance; 0 (the default):
             as far as double precision allows, about 1e-15

Returns a DispersionResult: frequency (n_f,) and, shaped (n_f, n_modes) and NaN where a
mode does not exist, phase_velocity, group_velocity (m/s), energy_integral, response,
ellipticity (|H/V|; NaN for Love waves), ellipticity_signed (H/V with its sign: positive
where the particle motion at the surface is retrograde, negative where it is prograde),
found_at (int: the layer at whose top the mode's phase velocity was refined, 1 the free
surface; 0 where absent), and diagnostics.
At a zero frequency the Rayleigh "mode" is the half-space's Rayleigh velocity, as in the
interactive program.

Raises ValueError for invalid frequencies or options, for frequencies outside the model's
range (vemlari.frequency_limits), and for a result larger than 2 GiB (52 bytes a frequency
and mode). Releases the GIL while it computes.)";

const char* dispersion_many_doc = R"(dispersion for each of many models, on several threads.

models   an iterable of vemlari.Model, or of sequences (thickness, vp, vs, rho[, qp[, qs[, fp[, fs]]]])
         of array-likes as Model takes them (a (n_models, 4, n_layers) array will do)
threads  None: every core the process may run on (its CPU affinity); n: at most n threads,
         and no more than those cores and the models; each model is computed on one thread
The other arguments are those of dispersion.

Returns a list in the order of the models: a DispersionResult for each, equal to what
dispersion returns, or the vemlari.ModelError of a model that is invalid, in its place.
Releases the GIL while it computes.)";

}  // namespace

void bind_dispersion(py::module_& m) {
    m.def("dispersion", &dispersion, dispersion_doc, py::arg("model"), py::arg("frequencies"),
          py::arg("wave") = "rayleigh", py::arg("modes") = py::none(), py::arg("tolerance") = py::none(),
          py::arg("partitions") = py::none(), py::arg("iterations") = py::none(), py::arg("threads") = 1,
          py::arg("search") = "counted", py::arg("velocity_tolerance") = 0.0);
    m.def("dispersion_many", &dispersion_many, dispersion_many_doc, py::arg("models"), py::arg("frequencies"),
          py::arg("wave") = "rayleigh", py::arg("modes") = py::none(), py::arg("tolerance") = py::none(),
          py::arg("partitions") = py::none(), py::arg("iterations") = py::none(), py::arg("threads") = py::none(),
          py::arg("search") = "counted", py::arg("velocity_tolerance") = 0.0);
}

}  // namespace vemlari::python
