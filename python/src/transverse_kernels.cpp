// transverse_kernels: the modes of a radially anisotropic model with the partial derivatives
// of their phase velocities with respect to every layer's elastic constants and velocities.
#include <pybind11/stl.h>

#include <limits>
#include <optional>
#include <vector>

#include "python/src/bindings.h"
#include "python/src/given_order.h"
#include "python/src/inputs.h"
#include "python/src/result_type.h"
#include "python/src/wave_table.h"
#include "vemlari/transverse_kernels.h"

namespace vemlari::python {

namespace {

using Field = std::vector<double> TransverseModeKernels::*;

constexpr std::pair<const char*, Field> fields[] = {
    {"dc_da", &TransverseModeKernels::dc_da},     {"dc_dc", &TransverseModeKernels::dc_dc},
    {"dc_df", &TransverseModeKernels::dc_df},     {"dc_dl", &TransverseModeKernels::dc_dl},
    {"dc_dn", &TransverseModeKernels::dc_dn},     {"dc_drho", &TransverseModeKernels::dc_drho},
    {"dc_dvpv", &TransverseModeKernels::dc_dvpv}, {"dc_dvph", &TransverseModeKernels::dc_dvph},
    {"dc_dvsv", &TransverseModeKernels::dc_dvsv}, {"dc_dvsh", &TransverseModeKernels::dc_dvsh},
    {"dc_deta", &TransverseModeKernels::dc_deta}, {"dc_drho_velocities", &TransverseModeKernels::dc_drho_velocities}};

struct Table {
    WaveTable modes;
    std::size_t layers = 0;
    std::vector<std::vector<double>> kernels;  // per field: [(row * cols + column) * layers + layer]
};

Table table(const Model& model, const Frequencies& f, Wave w, const SearchOptions& o) {
    const Modes m = find_modes(model, f, o);
    const Properties p = mode_properties(model, m, o.threads);
    const TransverseKernels k = transverse_kernels(model, m, o.threads);
    Table t;
    t.modes = tabulate(m, p, w);
    t.layers = model.size();
    check_result_size(1, t.modes.rows, t.modes.cols, t.layers * 2);
    const std::size_t rows = t.modes.rows, cols = t.modes.cols;
    t.kernels.assign(std::size(fields),
                     std::vector<double>(rows * cols * t.layers, std::numeric_limits<double>::quiet_NaN()));
    const auto& wk = w == Wave::love ? k.love : k.rayleigh;
    const WaveModes& wm = m[w];
    for (std::size_t r = 0; r < rows; ++r)
        for (std::size_t j = 0; j < wk[r].size(); ++j) {
            const std::size_t col = t.modes.column(wm.mode[r][j]);
            if (col >= cols || t.modes.modes[col] != wm.mode[r][j]) continue;
            for (std::size_t q = 0; q < std::size(fields); ++q) {
                const std::vector<double>& v = wk[r][j].*fields[q].second;
                std::copy(v.begin(), v.end(),
                          t.kernels[q].begin() + static_cast<std::ptrdiff_t>((r * cols + col) * t.layers));
            }
        }
    return t;
}

py::tuple transverse(const Model& model, const py::object& frequencies, const std::string& wave,
                     const py::object& modes, const py::object& threads, double velocity_tolerance,
                     const py::object& periods, const py::object& highest_mode) {
    const Wave w = wave_of(wave);
    const Abscissa a = abscissa_of(frequencies, periods);
    const ModeChoice choice = modes_of(modes, highest_mode);
    const SearchOptions o = options_of({w}, choice, {"counted", velocity_tolerance, {}, {}, {}}, threads_of(threads));
    if (choice.columns() > 0) check_result_size(1, a.size(), choice.columns(), model.size() * 2);
    Table t;
    {
        py::gil_scoped_release free;
        t = table(model, a.sorted, w, o);
    }
    in_given_order(t.modes, a);
    if (!a.entry.empty())
        for (std::vector<double>& v : t.kernels) in_given_order(v, t.modes.cols * t.layers, a.entry);
    const auto rows = static_cast<py::ssize_t>(t.modes.rows), cols = static_cast<py::ssize_t>(t.modes.cols),
               layers = static_cast<py::ssize_t>(t.layers);
    py::dict k;
    for (std::size_t q = 0; q < std::size(fields); ++q)
        k[fields[q].first] = to_array(std::move(t.kernels[q]), {rows, cols, layers});
    return py::make_tuple(to_result(std::move(t.modes)), k);
}

const char* transverse_doc =
    R"(Every mode of one wave type of a model, with the phase-velocity kernels of radial anisotropy.

model, frequencies (or periods), wave ("love" or "rayleigh"), modes, highest_mode, threads
and velocity_tolerance as for dispersion (the counted search). Any model: an isotropic layer counts as one with A = C = rho vp^2,
L = N = rho vs^2, F = A - 2L.

Returns (result, kernels): result a DispersionResult, kernels a dict of arrays shaped
(n_f, n_modes, n_layers), the half-space last, NaN where a mode does not exist, of the
partial derivatives of c at fixed frequency:
  dc_da, dc_dc, dc_df, dc_dl, dc_dn  per unit of A, C, F, L, N (rho m^2/s^2), fixed density
  dc_drho                            per unit density at fixed constants
  dc_dvpv, dc_dvph, dc_dvsv, dc_dvsh per m/s, dc_deta per unit eta, at fixed density
  dc_drho_velocities                 per unit density at fixed velocities and eta
Love waves: only L, N (vsv, vsh) and density are non-zero. Releases the GIL.)";

}  // namespace

void bind_transverse_kernels(py::module_& m) {
    m.def("transverse_kernels", &transverse, transverse_doc, py::arg("model"), py::arg("frequencies") = py::none(),
          py::arg("wave") = "rayleigh", py::arg("modes") = py::none(), py::arg("threads") = py::none(),
          py::arg("velocity_tolerance") = 0.0, py::kw_only(), py::arg("periods") = py::none(),
          py::arg("highest_mode") = py::none());
}

}  // namespace vemlari::python
