#include "python/src/kernels_result.h"

#include "python/src/bindings.h"

namespace vemlari::python {

namespace {

py::array KernelsResult::*const arrays[] = {&KernelsResult::frequency,
                                            &KernelsResult::period,
                                            &KernelsResult::mode,
                                            &KernelsResult::phase_velocity,
                                            &KernelsResult::group_velocity,
                                            &KernelsResult::energy_integral,
                                            &KernelsResult::response,
                                            &KernelsResult::ellipticity,
                                            &KernelsResult::found_at,
                                            &KernelsResult::ellipticity_signed,
                                            &KernelsResult::dc_dvs,
                                            &KernelsResult::dc_dvp,
                                            &KernelsResult::dc_drho,
                                            &KernelsResult::dc_dh,
                                            &KernelsResult::du_dvs,
                                            &KernelsResult::du_dvp,
                                            &KernelsResult::du_drho,
                                            &KernelsResult::inverse_q,
                                            &KernelsResult::gamma,
                                            &KernelsResult::du_dh,
                                            &KernelsResult::dhv_dvs,
                                            &KernelsResult::dhv_dvp,
                                            &KernelsResult::dhv_drho,
                                            &KernelsResult::dhv_dh,
                                            &KernelsResult::seafloor_ellipticity,
                                            &KernelsResult::dc_dvsh,
                                            &KernelsResult::dc_dvph,
                                            &KernelsResult::dc_deta};

}  // namespace

void bind_kernels_result(py::module_& m) {
    py::class_<KernelsResult, DispersionResult>(
        m, "KernelsResult", R"(The modes of one wave type with their sensitivity kernels, as kernels returns them.

Every array of a DispersionResult, and the partial derivatives at fixed frequency of each
mode's phase velocity c, group velocity U and signed H/V with respect to each layer's
parameters (a positive entry: the quantity rises with the parameter), and the mode's
attenuation.)")
        .def_readonly("dc_dvs", &KernelsResult::dc_dvs,
                      "dc/dvs_j, (m/s) per (m/s). Shape (n_frequencies, n_modes, n_layers), the half-space last; NaN "
                      "where absent.")
        .def_readonly("dc_dvp", &KernelsResult::dc_dvp,
                      "dc/dvp_j, (m/s) per (m/s). Shape (n_frequencies, n_modes, n_layers), the half-space last; NaN "
                      "where absent.")
        .def_readonly("dc_drho", &KernelsResult::dc_drho,
                      "dc/drho_j, (m/s) per density unit. Shape (n_frequencies, n_modes, n_layers), the half-space "
                      "last; NaN where absent.")
        .def_readonly("dc_dh", &KernelsResult::dc_dh,
                      "dc/dh_j, (m/s) per m: layer j's bottom moved with every deeper interface; 0 for the "
                      "half-space. Shape (n_frequencies, n_modes, n_layers); NaN where absent.")
        .def_readonly("du_dvs", &KernelsResult::du_dvs,
                      "dU/dvs_j, (m/s) per (m/s). Shape (n_frequencies, n_modes, n_layers), the half-space last; NaN "
                      "where absent.")
        .def_readonly("du_dvp", &KernelsResult::du_dvp,
                      "dU/dvp_j, (m/s) per (m/s). Shape (n_frequencies, n_modes, n_layers), the half-space last; NaN "
                      "where absent.")
        .def_readonly("du_drho", &KernelsResult::du_drho,
                      "dU/drho_j, (m/s) per density unit. Shape (n_frequencies, n_modes, n_layers), the half-space "
                      "last; NaN where absent.")
        .def_readonly("du_dh", &KernelsResult::du_dh,
                      "dU/dh_j, (m/s) per m: layer j's bottom moved with every deeper interface; 0 for the "
                      "half-space. Shape (n_frequencies, n_modes, n_layers); NaN where absent.")
        .def_readonly("dhv_dvs", &KernelsResult::dhv_dvs,
                      "d(H/V)/dvs_j of the signed H/V (ellipticity_signed), per (m/s). Shape (n_frequencies, "
                      "n_modes, n_layers), the half-space last; NaN where absent and for Love waves.")
        .def_readonly("dhv_dvp", &KernelsResult::dhv_dvp,
                      "d(H/V)/dvp_j of the signed H/V, per (m/s). Shape (n_frequencies, n_modes, n_layers); NaN "
                      "where absent and for Love waves.")
        .def_readonly("dhv_drho", &KernelsResult::dhv_drho,
                      "d(H/V)/drho_j of the signed H/V, per density unit. Shape (n_frequencies, n_modes, "
                      "n_layers); NaN where absent and for Love waves.")
        .def_readonly("dhv_dh", &KernelsResult::dhv_dh,
                      "d(H/V)/dh_j of the signed H/V, per m, as dc_dh; 0 for the half-space. Shape "
                      "(n_frequencies, n_modes, n_layers); NaN where absent and for Love waves.")
        .def_readonly("dc_dvsh", &KernelsResult::dc_dvsh,
                      "dc/dvsh_j, (m/s) per (m/s), of a model with radially anisotropic layers (dc_dvs is then "
                      "dc/dvsv_j). Shape (n_frequencies, n_modes, n_layers); NaN where absent and for models "
                      "without such layers.")
        .def_readonly("dc_dvph", &KernelsResult::dc_dvph,
                      "dc/dvph_j, (m/s) per (m/s), of a model with radially anisotropic layers (dc_dvp is then "
                      "dc/dvpv_j). Shape (n_frequencies, n_modes, n_layers); NaN where absent and for models "
                      "without such layers.")
        .def_readonly("dc_deta", &KernelsResult::dc_deta,
                      "dc/deta_j, (m/s) per unit eta, of a model with radially anisotropic layers. Shape "
                      "(n_frequencies, n_modes, n_layers); NaN where absent and for models without such layers.")
        .def_readonly("inverse_q", &KernelsResult::inverse_q,
                      "1/Q of the mode: sum over layers of (vp/c dc/dvp / qp + vs/c dc/dvs / qs), a Q of 0 "
                      "elastic. Shape (n_frequencies, n_modes), NaN where the mode does not exist.")
        .def_readonly("gamma", &KernelsResult::gamma,
                      "Spatial attenuation coefficient (1/m), omega inverse_q / (2 c): amplitude decays as "
                      "exp(-gamma x). Shape (n_frequencies, n_modes), NaN where the mode does not exist.")
        .def("__repr__",
             [](const KernelsResult& r) {
                 return "<vemlari.KernelsResult " + r.wave + ": " + std::to_string(r.dc_dvs.shape(0)) +
                        " frequencies, " + std::to_string(r.dc_dvs.shape(1)) + " modes, " +
                        std::to_string(r.dc_dvs.shape(2)) + " layers>";
             })
        .def(py::pickle(
            [](const KernelsResult& r) {
                py::list state;
                state.append(r.wave);
                for (py::array KernelsResult::*a : arrays) state.append(r.*a);
                state.append(r.diagnostics);
                return py::tuple(state);
            },
            [](const py::tuple& t) {
                KernelsResult r;
                r.wave = t[0].cast<std::string>();
                std::size_t i = 1;
                for (py::array KernelsResult::*a : arrays) r.*a = t[i++].cast<py::array>();
                r.diagnostics = t[i].cast<py::list>();
                return r;
            }));
}

}  // namespace vemlari::python
