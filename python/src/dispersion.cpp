// dispersion and dispersion_many: the modes of one model, or of many on several threads.
#include <pybind11/stl.h>

#include <algorithm>
#include <atomic>
#include <exception>
#include <optional>
#include <vector>

#include "python/src/bindings.h"
#include "python/src/errors.h"
#include "python/src/given_order.h"
#include "python/src/inputs.h"
#include "python/src/interruptible.h"
#include "python/src/result_type.h"
#include "vemlari/threads.h"

namespace vemlari::python {

namespace {

// One model's result: its wave's, or with wave="both" a dict of both.
py::object result_of(std::vector<WaveTable>& tables, const Abscissa& a, bool both) {
    for (WaveTable& t : tables) in_given_order(t, a);
    if (!both) return py::cast(to_result(std::move(tables.front())));
    py::dict out;
    for (WaveTable& t : tables) out[wave_name(t.wave)] = to_result(std::move(t));
    return out;
}

py::object dispersion(const Model& model, const py::object& frequencies, const std::string& wave,
                      const py::object& modes, const std::optional<double>& tolerance,
                      const std::optional<int>& partitions, const std::optional<int>& iterations,
                      const py::object& threads, const std::string& search, double velocity_tolerance,
                      const py::object& periods, const py::object& highest_mode, const py::object& progress,
                      bool spherical, double radius) {
    const std::vector<Wave> waves = waves_of(wave);
    const Abscissa a = abscissa_of(frequencies, periods);
    const ModeChoice choice = modes_of(modes, highest_mode);
    SearchOptions o =
        options_of(waves, choice, {search, velocity_tolerance, tolerance, partitions, iterations}, threads_of(threads));
    if (choice.columns() > 0) check_result_size(waves.size(), a.size(), choice.columns(), 0);
    Tally tally(a.size());
    if (!progress.is_none())
        o.on_frequency = [&tally](const Modes&, std::size_t k) {
            tally.done.store(k + 1, std::memory_order_relaxed);
            return true;
        };
    std::vector<WaveTable> tables;
    run_interruptible(
        [&](const std::shared_ptr<const Cancellation>& flag) {
            SearchOptions watched = o;
            watched.cancellation = flag;
            tables =
                spherical ? sphere_tables(model, a.sorted, watched, radius) : wave_tables(model, a.sorted, watched);
        },
        tally, progress);
    return result_of(tables, a, waves.size() == 2);
}

// Each model on one thread of the batch; the threads take the next model as they finish one.
py::list dispersion_many(const py::iterable& models, const py::object& frequencies, const std::string& wave,
                         const py::object& modes, const std::optional<double>& tolerance,
                         const std::optional<int>& partitions, const std::optional<int>& iterations,
                         const py::object& threads, const std::string& search, double velocity_tolerance,
                         const py::object& periods, const py::object& highest_mode, const py::object& progress,
                         bool spherical, double radius) {
    const std::vector<Wave> waves = waves_of(wave);
    const Abscissa a = abscissa_of(frequencies, periods);
    const ModeChoice choice = modes_of(modes, highest_mode);
    const SearchOptions o =
        options_of(waves, choice, {search, velocity_tolerance, tolerance, partitions, iterations}, 1);
    const int asked = threads_of(threads);
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
    if (choice.columns() > 0)
        check_result_size(waves.size() * static_cast<std::size_t>(std::count_if(
                                             valid.begin(), valid.end(), [](const auto& m) { return m.has_value(); })),
                          a.size(), choice.columns(), 0);
    std::vector<std::vector<WaveTable>> tables(n);
    std::vector<std::exception_ptr> failures(n);
    Tally tally(n);
    run_interruptible(
        [&](const std::shared_ptr<const Cancellation>& flag) {
            SearchOptions watched = o;
            watched.cancellation = flag;
            ModelBatch batch;
            batch.compute = [&](std::size_t i, int) {
                if (valid[i] && !flag->cancelled()) {
                    try {
                        tables[i] = spherical ? sphere_tables(*valid[i], a.sorted, watched, radius)
                                              : wave_tables(*valid[i], a.sorted, watched);
                    } catch (...) {
                        failures[i] = std::current_exception();
                    }
                }
                tally.done.fetch_add(1, std::memory_order_relaxed);
            };
            batch.deliver = [&](std::size_t) { return !flag->cancelled(); };
            run_model_batch(n, asked, batch);
        },
        tally, progress);
    for (const std::exception_ptr& e : failures)
        if (e) std::rethrow_exception(e);
    py::list out;
    for (std::size_t i = 0; i < n; ++i) out.append(valid[i] ? result_of(tables[i], a, waves.size() == 2) : refused[i]);
    return out;
}

const char* dispersion_doc = R"(Every mode of a model at the given frequencies or periods.

model        a vemlari.Model
frequencies  frequencies in Hz: a number or an array-like, >= 0, all different, in any
             order (the result keeps it); or a vemlari.Frequencies
periods      instead of frequencies: periods in s, > 0, in any order
wave         "rayleigh", "love" (in any case) or "both"
highest_mode None: every mode found; n: modes 0 .. n only (the search stops there), n + 1
             columns
modes        a list of mode numbers, as [0] or [2, 5]: those modes alone, one column each in
             increasing order (the counted search finds them without the others). An int n
             is the old spelling of highest_mode=n (DeprecationWarning).
tolerance    search="scan" only: a candidate is a mode when |F| of its secular function
             falls below this
partitions   search="scan" only: the base step is the phase-velocity range over this number
iterations   search="scan" only: bracket halvings allowed per candidate
threads      None (the default): every core the process may run on; n: at most n threads
             (and no more than there is work for). Results do not depend on it.
search       "counted" (the default): every mode certified by a count of the modes below a
             trial velocity, its phase velocity refined to velocity_tolerance; any valid
             model. "scan": the interactive program's search on a grid of trial velocities,
             whose values are the program's files (the half-space must be the fastest layer).
velocity_tolerance  search="counted": relative phase-velocity tolerance; 0 (the default):
             as far as double precision allows, about 1e-15
progress     None; a callable, called as progress(done, total) with frequencies done; or
             True for a tqdm progress bar
spherical    True: the model is read as the shells of a sphere of the given radius, from
             its surface (thicknesses along the radius, the last layer filling the sphere
             below its top), and each wave's modes are found on its own flat model by the
             earth-flattening transformation (vemlari/flattening.h): exact for Love waves
             (the phase velocity omega a / (l + 1/2) of the sphere's order l is 9 / (8 k^2
             a^2) below the one reported: 6e-4 at 200 s), approximate for Rayleigh waves
             (5.7e-4 below the exact one at 200 s on a homogeneous sphere, 8e-5 at 20 s)
radius       the sphere's radius (m), with spherical=True

Returns a DispersionResult (with wave="both" a dict {"love": ..., "rayleigh": ...}):
frequency (Hz) and period (s), shaped (n_f,), in the order given; mode (n_modes,), the mode
number of each column; and, shaped (n_f, n_modes), NaN where a mode does not exist,
phase_velocity, group_velocity (m/s), energy_integral (kg/m^2 for rho in kg/m^3),
response, ellipticity (|H/V|; NaN for Love waves), ellipticity_signed (H/V with its sign:
positive where the particle motion at the surface is retrograde, negative where it is
prograde), found_at (int: the layer, numbered from
1 at the top, at whose top the mode's phase velocity was refined; 0 where absent), and
diagnostics. At a zero frequency the Rayleigh "mode" is the half-space's Rayleigh
velocity, as in the interactive program.

Raises ValueError for invalid frequencies or options, for frequencies outside the model's
range (vemlari.frequency_limits), and for a result larger than 2 GiB (52 bytes a frequency
and mode). Releases the GIL while it computes; Ctrl-C (KeyboardInterrupt) stops it within
a fraction of a second.)";

const char* dispersion_many_doc = R"(dispersion for each of many models, on several threads.

models   an iterable of vemlari.Model, or of sequences (thickness, vp, vs, rho[, qp[, qs[, fp[, fs]]]])
         of array-likes as Model takes them (a (n_models, 4, n_layers) array will do)
threads  None (the default): every core the process may run on; n: at most n threads, and
         no more than the models; each model is computed on one thread
progress None; a callable, called as progress(done, total) with models done; or True for a
         tqdm progress bar
The other arguments are those of dispersion.

Returns a list in the order of the models: for each what dispersion returns, or the
vemlari.ModelError of a model that is invalid, in its place. Releases the GIL while it
computes; Ctrl-C (KeyboardInterrupt) stops it within a fraction of a second.)";

}  // namespace

void bind_dispersion(py::module_& m) {
    m.def("dispersion", &dispersion, dispersion_doc, py::arg("model"), py::arg("frequencies") = py::none(),
          py::arg("wave") = "rayleigh", py::arg("modes") = py::none(), py::arg("tolerance") = py::none(),
          py::arg("partitions") = py::none(), py::arg("iterations") = py::none(), py::arg("threads") = py::none(),
          py::arg("search") = "counted", py::arg("velocity_tolerance") = 0.0, py::kw_only(),
          py::arg("periods") = py::none(), py::arg("highest_mode") = py::none(), py::arg("progress") = py::none(),
          py::arg("spherical") = false, py::arg("radius") = earth_radius);
    m.def("dispersion_many", &dispersion_many, dispersion_many_doc, py::arg("models"),
          py::arg("frequencies") = py::none(), py::arg("wave") = "rayleigh", py::arg("modes") = py::none(),
          py::arg("tolerance") = py::none(), py::arg("partitions") = py::none(), py::arg("iterations") = py::none(),
          py::arg("threads") = py::none(), py::arg("search") = "counted", py::arg("velocity_tolerance") = 0.0,
          py::kw_only(), py::arg("periods") = py::none(), py::arg("highest_mode") = py::none(),
          py::arg("progress") = py::none(), py::arg("spherical") = false, py::arg("radius") = earth_radius);
}

}  // namespace vemlari::python
