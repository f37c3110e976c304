// kernels: the modes of one model with the partial derivatives of their phase and group
// velocities with respect to every layer's parameters, and their attenuation.
#include <pybind11/stl.h>

#include <limits>
#include <optional>
#include <vector>

#include "python/src/bindings.h"
#include "python/src/given_order.h"
#include "python/src/inputs.h"
#include "python/src/interruptible.h"
#include "python/src/kernels_result.h"

namespace vemlari::python {

namespace {

// The kernels as dense tables beside the wave's table, computed without Python.
struct KernelTable {
    WaveTable modes;
    std::size_t layers = 0;
    // [(row * cols + mode) * layers + layer]; NaN where the mode does not exist.
    std::vector<double> dc_dvs, dc_dvp, dc_drho, dc_dh, du_dvs, du_dvp, du_drho, du_dh, dhv_dvs, dhv_dvp, dhv_drho,
        dhv_dh, dc_dvsh, dc_dvph, dc_deta;
    std::vector<double> inverse_q, gamma;  // [row * cols + mode]
};

KernelTable kernel_table(const Model& model, const Sensitivities& s, Wave w) {
    KernelTable t;
    t.modes = tabulate(s.modes, s.properties, w);
    t.layers = model.size();
    check_result_size(1, t.modes.rows, t.modes.cols, t.layers);
    const std::size_t rows = t.modes.rows, cols = t.modes.cols, cells = rows * cols;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    std::vector<double>* per_layer[] = {&t.dc_dvs,   &t.dc_dvp,  &t.dc_drho, &t.dc_dh,   &t.du_dvs,
                                        &t.du_dvp,   &t.du_drho, &t.du_dh,   &t.dhv_dvs, &t.dhv_dvp,
                                        &t.dhv_drho, &t.dhv_dh,  &t.dc_dvsh, &t.dc_dvph, &t.dc_deta};
    std::vector<double> ModeKernels::*fields[] = {&ModeKernels::dc_dvs,  &ModeKernels::dc_dvp,   &ModeKernels::dc_drho,
                                                  &ModeKernels::dc_dh,   &ModeKernels::du_dvs,   &ModeKernels::du_dvp,
                                                  &ModeKernels::du_drho, &ModeKernels::du_dh,    &ModeKernels::dhv_dvs,
                                                  &ModeKernels::dhv_dvp, &ModeKernels::dhv_drho, &ModeKernels::dhv_dh,
                                                  &ModeKernels::dc_dvsh, &ModeKernels::dc_dvph,  &ModeKernels::dc_deta};
    for (std::vector<double>* v : per_layer) v->assign(cells * t.layers, nan);
    t.inverse_q.assign(cells, nan);
    t.gamma.assign(cells, nan);
    const WaveKernels& wk = s.kernels[w];
    const WaveModes& wm = s.modes[w];
    for (std::size_t k = 0; k < rows; ++k)
        for (std::size_t j = 0; j < wk.modes[k].size(); ++j) {
            const std::size_t col = t.modes.column(wm.mode[k][j]);
            if (col >= cols || t.modes.modes[col] != wm.mode[k][j]) continue;
            const ModeKernels& m = wk.modes[k][j];
            const std::size_t at = k * cols + col;
            for (std::size_t q = 0; q < std::size(fields); ++q)
                std::copy((m.*fields[q]).begin(), (m.*fields[q]).end(), per_layer[q]->begin() + at * t.layers);
            t.inverse_q[at] = m.inverse_q;
            t.gamma[at] = m.gamma;
        }
    return t;
}

KernelsResult kernels_result(KernelTable& t, const Abscissa& a) {
    in_given_order(t.modes, a);
    if (!a.entry.empty()) {
        for (auto* v : {&t.dc_dvs, &t.dc_dvp, &t.dc_drho, &t.dc_dh, &t.du_dvs, &t.du_dvp, &t.du_drho, &t.du_dh,
                        &t.dhv_dvs, &t.dhv_dvp, &t.dhv_drho, &t.dhv_dh, &t.dc_dvsh, &t.dc_dvph, &t.dc_deta})
            in_given_order(*v, t.modes.cols * t.layers, a.entry);
        in_given_order(t.inverse_q, t.modes.cols, a.entry);
        in_given_order(t.gamma, t.modes.cols, a.entry);
    }
    const auto rows = static_cast<py::ssize_t>(t.modes.rows), cols = static_cast<py::ssize_t>(t.modes.cols),
               layers = static_cast<py::ssize_t>(t.layers);
    KernelsResult r;
    static_cast<DispersionResult&>(r) = to_result(std::move(t.modes));
    r.dc_dvs = to_array(std::move(t.dc_dvs), {rows, cols, layers});
    r.dc_dvp = to_array(std::move(t.dc_dvp), {rows, cols, layers});
    r.dc_drho = to_array(std::move(t.dc_drho), {rows, cols, layers});
    r.dc_dh = to_array(std::move(t.dc_dh), {rows, cols, layers});
    r.du_dvs = to_array(std::move(t.du_dvs), {rows, cols, layers});
    r.du_dvp = to_array(std::move(t.du_dvp), {rows, cols, layers});
    r.du_drho = to_array(std::move(t.du_drho), {rows, cols, layers});
    r.du_dh = to_array(std::move(t.du_dh), {rows, cols, layers});
    r.dhv_dvs = to_array(std::move(t.dhv_dvs), {rows, cols, layers});
    r.dhv_dvp = to_array(std::move(t.dhv_dvp), {rows, cols, layers});
    r.dhv_drho = to_array(std::move(t.dhv_drho), {rows, cols, layers});
    r.dhv_dh = to_array(std::move(t.dhv_dh), {rows, cols, layers});
    r.dc_dvsh = to_array(std::move(t.dc_dvsh), {rows, cols, layers});
    r.dc_dvph = to_array(std::move(t.dc_dvph), {rows, cols, layers});
    r.dc_deta = to_array(std::move(t.dc_deta), {rows, cols, layers});
    r.inverse_q = to_array(std::move(t.inverse_q), {rows, cols});
    r.gamma = to_array(std::move(t.gamma), {rows, cols});
    return r;
}

py::object kernels(const Model& model, const py::object& frequencies, const std::string& wave, const py::object& modes,
                   const std::optional<double>& tolerance, const std::optional<int>& partitions,
                   const std::optional<int>& iterations, const py::object& threads, bool physical_dispersion,
                   const std::string& search, double velocity_tolerance, const py::object& periods,
                   const py::object& highest_mode, const py::object& progress, bool spherical, double radius,
                   bool ellipticity) {
    const std::vector<Wave> waves = waves_of(wave);
    const Abscissa a = abscissa_of(frequencies, periods);
    const ModeChoice choice = modes_of(modes, highest_mode);
    SearchOptions o =
        options_of(waves, choice, {search, velocity_tolerance, tolerance, partitions, iterations}, threads_of(threads));
    if (choice.columns() > 0) check_result_size(waves.size(), a.size(), choice.columns(), model.size());
    Tally tally(a.size());
    if (!progress.is_none())
        o.on_frequency = [&tally](const Modes&, std::size_t k) {
            tally.done.store(k + 1, std::memory_order_relaxed);
            return true;
        };
    std::vector<KernelTable> tables;
    run_interruptible(
        [&](const std::shared_ptr<const Cancellation>& flag) {
            SearchOptions watched = o;
            watched.cancellation = flag;
            if (!spherical) {
                const Sensitivities s = sensitivities(model, a.sorted, watched, physical_dispersion, ellipticity);
                for (const Wave w : waves) tables.push_back(kernel_table(model, s, w));
                return;
            }
            // Each wave on its own flat model, its kernels summed back onto the model's layers.
            for (const Wave w : waves) {
                const FlatModel flat = flatten(model, w, radius);
                SearchOptions one = watched;
                one.love = w == Wave::love;
                one.rayleigh = !one.love;
                Sensitivities s = sensitivities(flat.model, a.sorted, one, physical_dispersion, ellipticity);
                for (std::vector<ModeKernels>& row : (w == Wave::love ? s.kernels.love : s.kernels.rayleigh).modes)
                    for (ModeKernels& k : row) k = spherical_kernels(flat, k);
                tables.push_back(kernel_table(model, s, w));
            }
        },
        tally, progress);
    if (waves.size() == 1) return py::cast(kernels_result(tables.front(), a));
    py::dict out;
    for (KernelTable& t : tables) out[wave_name(t.modes.wave)] = kernels_result(t, a);
    return out;
}

const char* kernels_doc = R"(Every mode of one wave type of a model, with its sensitivity kernels and attenuation.

The arguments are those of dispersion (with wave="both" the result is a dict of both
waves' results; progress counts the frequencies whose modes are found), and
physical_dispersion  False: the model's velocities at every frequency. True: each layer's
             vp and vs are taken as given at its fp and fs (Hz) and moved to each frequency
             f by the constant-Q relation v(f) = v(f_ref) (1 + ln(f / f_ref) / (pi Q))
             before that frequency's modes are found (a layer whose Q or reference
             frequency is 0 keeps its velocity); the kernels are then derivatives with
             respect to that frequency's velocities. Needs every frequency > 0.

Returns a KernelsResult: the arrays of a DispersionResult, and
  dc_dvs, dc_dvp, dc_drho, dc_dh, du_dvs, du_dvp, du_drho, du_dh  shaped (n_f, n_modes,
      n_layers), the partial derivatives of phase velocity c and group velocity U with
      respect to each layer's S velocity, P velocity, density and thickness at fixed
      frequency, the half-space last (its dc_dh and du_dh are 0); NaN where a mode does not
      exist
  dhv_dvs, dhv_dvp, dhv_drho, dhv_dh  the same shape, with ellipticity=True (else NaN): the
      partial derivatives of the signed H/V (ellipticity_signed) per m/s, per density unit
      and per m; NaN for Love waves. They cost two evaluations of the mode's field per layer
      value (5 times the Rayleigh kernels' time on 10 layers, growing as the square of the
      layers)
  dc_dvsh, dc_dvph, dc_deta  the same shape, for a model with radially anisotropic layers
      (else NaN): dc/dvsh and dc/dvph per m/s, dc/deta per unit eta; dc_dvs and dc_dvp are
      then dc/dvsv and dc/dvpv, dc_drho at fixed velocities and eta, and the dc_dh, du and
      dhv arrays NaN
  inverse_q, gamma  shaped (n_f, n_modes): the mode's 1/Q and its spatial attenuation
      coefficient (1/m), from the model's qp and qs to first order in 1/Q

spherical=True, radius: as in dispersion; the kernels are then with respect to the
sphere's layers (thicknesses along the radius), the flat model's summed back by the chain
rule.

du_* are NaN also where the mode cannot be followed in frequency (see the C++ header
vemlari/sensitivity.h).

Raises ValueError for invalid frequencies or options (with physical_dispersion, a zero
frequency), for frequencies outside the model's range (vemlari.frequency_limits), and for
a result larger than 2 GiB (52 bytes a frequency and mode, 96 more per layer and 16).
Releases the GIL while it computes; Ctrl-C (KeyboardInterrupt) stops it within a fraction
of a second.)";

}  // namespace

void bind_kernels(py::module_& m) {
    m.def("kernels", &kernels, kernels_doc, py::arg("model"), py::arg("frequencies") = py::none(),
          py::arg("wave") = "rayleigh", py::arg("modes") = py::none(), py::arg("tolerance") = py::none(),
          py::arg("partitions") = py::none(), py::arg("iterations") = py::none(), py::arg("threads") = py::none(),
          py::arg("physical_dispersion") = false, py::arg("search") = "counted", py::arg("velocity_tolerance") = 0.0,
          py::kw_only(), py::arg("periods") = py::none(), py::arg("highest_mode") = py::none(),
          py::arg("progress") = py::none(), py::arg("spherical") = false, py::arg("radius") = earth_radius,
          py::arg("ellipticity") = false);
}

}  // namespace vemlari::python
