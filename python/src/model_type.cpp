// vemlari.Model: a validated layered half-space, its layers as numpy arrays.
#include <pybind11/numpy.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "python/src/bindings.h"
#include "python/src/errors.h"
#include "python/src/inputs.h"

namespace vemlari::python {

namespace {

py::array_t<double> column(const Model& model, double Layer::*field) {
    std::vector<double> v;
    for (const Layer& l : model.layers()) v.push_back(l.*field);
    return to_array(std::move(v), {static_cast<py::ssize_t>(v.size())});
}

// km, km/s or g/cm3 as m, m/s or kg/m3; None stays None.
py::object thousandfold(const py::object& values, const char* name) {
    if (values.is_none()) return values;
    std::vector<double> v;
    try {
        v = doubles(values, name);
    } catch (const py::value_error& e) {
        raise_model_error(e.what());
    }
    for (double& x : v) x *= 1000.0;
    return to_array(std::move(v), {static_cast<py::ssize_t>(v.size())});
}

// The radially anisotropic columns (None: isotropic layers), set on `layers` (vp, vs then
// the vertical velocities).
std::vector<Layer> with_anisotropy(std::vector<Layer> layers, const py::handle& vph, const py::handle& vsh,
                                   const py::handle& eta) {
    const std::pair<const py::handle*, double Layer::*> columns[] = {
        {&vph, &Layer::vph}, {&vsh, &Layer::vsh}, {&eta, &Layer::eta}};
    const char* names[] = {"vph", "vsh", "eta"};
    for (std::size_t c = 0; c < 3; ++c) {
        if (columns[c].first->is_none()) continue;
        std::vector<double> v;
        try {
            v = doubles(*columns[c].first, names[c]);
        } catch (const py::value_error& e) {
            raise_model_error(e.what());
        }
        if (v.size() != layers.size())
            raise_model_error(std::string(names[c]) +
                              " must have one entry per layer: " + std::to_string(layers.size()) + " thicknesses, " +
                              std::to_string(v.size()) + " of " + names[c]);
        for (std::size_t i = 0; i < v.size(); ++i) layers[i].*columns[c].second = v[i];
    }
    return layers;
}

}  // namespace

void bind_model(py::module_& m) {
    py::class_<Model>(m, "Model", R"(A horizontally layered elastic half-space.

Model(thickness, vp, vs, rho, qp=None, qs=None, fp=None, fs=None, vph=None, vsh=None, eta=None)
Model.from_moduli(thickness, rho, A, C, F, L, N, qp=None, qs=None, fp=None, fs=None)

One entry per layer from the top, the last one the half-space (its thickness is ignored):
thickness in m, P and S velocities in m/s, density in kg/m^3: the results are then in SI
units too (m/s; the energy integral in kg/m^2, the response in m s^2/kg, for the eigenfunctions'
normalisation). A density in another unit scales the energy integral and the response with
it. For km, km/s and g/cm^3 use Model.from_km, which converts them. The quality factors qp, qs (0 or None:
elastic) and the frequencies fp, fs (Hz) at which vp, vs are given serve the modal
attenuation and the physical dispersion of vemlari.kernels; the mode search is elastic.

Raises vemlari.ModelError (a ValueError) naming the first layer, quantity and rule broken:
values must be finite, rho > 0, vs > 0, vp > vs (a solid: vp^2 > 4/3 vs^2), thickness >= 0
above the half-space (vs = 0: a fluid layer, water, allowed above every solid layer and not
as the half-space; Love waves are then those of the solid layers, H/V at the water's
surface is 0), and within the ranges the computation can evaluate: vp and vs 1e-3
to 1e9 m/s, vp at most 1000 vs, rho 1e-12 to 1e12, thickness at most 1e12 m, a positive
qp or qs at least 1e-3, every vs at least the largest over 1e4 and every rho at least the
largest over 1e6. search="scan" also needs the half-space to have the largest vs and vp, and takes no water.)

Radial anisotropy (transverse isotropy with a vertical axis): with vph, vsh (m/s) or eta
given, vp and vs are the vertical velocities vpv, vsv and the layers' elastic constants are
A = rho vph^2, C = rho vpv^2, L = rho vsv^2, N = rho vsh^2, F = eta (A - 2L); a 0 in vph or
vsh means "as vp" or "as vs", eta 1 with equal velocities an isotropic layer. from_moduli
takes the constants A, C, F, L, N (in rho times m^2/s^2) instead. Love waves see L and N,
Rayleigh waves A, C, F and L. Such layers need the counted search (search="scan" refuses
them) and may lie under water (vs = 0 on top), though the kernels of such a model are
refused; vemlari.kernels gives their velocity kernels (dc_dvsh, dc_dvph, dc_deta besides),
vemlari.transverse_kernels those of the constants too. An
anisotropic layer must be a stable solid (vph > vsh, F^2 < C (A - N), F + L > 0) and the
half-space's qSV wave no slower horizontally than min(vsv, vph).)")
        .def(py::init([](const py::object& thickness, const py::object& vp, const py::object& vs, const py::object& rho,
                         const py::object& qp, const py::object& qs, const py::object& fp, const py::object& fs,
                         const py::object& vph, const py::object& vsh, const py::object& eta) {
                 return Model(with_anisotropy(layers_of(thickness, vp, vs, rho, qp, qs, fp, fs), vph, vsh, eta));
             }),
             py::arg("thickness"), py::arg("vp"), py::arg("vs"), py::arg("rho"), py::arg("qp") = py::none(),
             py::arg("qs") = py::none(), py::arg("fp") = py::none(), py::arg("fs") = py::none(),
             py::arg("vph") = py::none(), py::arg("vsh") = py::none(), py::arg("eta") = py::none())
        .def_static(
            "from_moduli",
            [](const py::object& thickness, const py::object& rho, const py::object& a, const py::object& c,
               const py::object& f, const py::object& l, const py::object& n, const py::object& qp,
               const py::object& qs, const py::object& fp, const py::object& fs) {
                std::vector<double> d, m[5];
                const py::handle columns[] = {a, c, f, l, n};
                const char* names[] = {"A", "C", "F", "L", "N"};
                try {
                    d = doubles(rho, "rho");
                    for (std::size_t i = 0; i < 5; ++i) m[i] = doubles(columns[i], names[i]);
                } catch (const py::value_error& e) {
                    raise_model_error(e.what());
                }
                for (const auto& v : m)
                    if (v.size() != d.size())
                        raise_model_error(
                            "rho, A, C, F, L and N must have one entry per layer: " + std::to_string(d.size()) +
                            " densities, " + std::to_string(v.size()) + " of another");
                // vpv = sqrt(C / rho), vsv = sqrt(L / rho), vph = sqrt(A / rho), vsh = sqrt(N / rho),
                // eta = F / (A - 2L).
                std::vector<double> vpv, vsv, vph, vsh, eta;
                for (std::size_t i = 0; i < d.size(); ++i) {
                    vpv.push_back(std::sqrt(m[1][i] / d[i]));
                    vsv.push_back(std::sqrt(m[3][i] / d[i]));
                    vph.push_back(std::sqrt(m[0][i] / d[i]));
                    vsh.push_back(std::sqrt(m[4][i] / d[i]));
                    eta.push_back(m[2][i] / (m[0][i] - 2.0 * m[3][i]));
                }
                const auto array = [](std::vector<double> v) {
                    const auto size = static_cast<py::ssize_t>(v.size());
                    return to_array(std::move(v), {size});
                };
                return Model(with_anisotropy(layers_of(thickness, array(vpv), array(vsv), rho, qp, qs, fp, fs),
                                             array(vph), array(vsh), array(eta)));
            },
            py::arg("thickness"), py::arg("rho"), py::arg("A"), py::arg("C"), py::arg("F"), py::arg("L"), py::arg("N"),
            py::arg("qp") = py::none(), py::arg("qs") = py::none(), py::arg("fp") = py::none(),
            py::arg("fs") = py::none(),
            "A model from each layer's elastic constants A, C, F, L, N (rho times m^2/s^2) and density.")
        .def_static(
            "from_km",
            [](const py::object& thickness, const py::object& vp, const py::object& vs, const py::object& rho,
               const py::object& qp, const py::object& qs, const py::object& fp, const py::object& fs) {
                return Model(layers_of(thousandfold(thickness, "thickness"), thousandfold(vp, "vp"),
                                       thousandfold(vs, "vs"), thousandfold(rho, "rho"), qp, qs, fp, fs));
            },
            py::arg("thickness"), py::arg("vp"), py::arg("vs"), py::arg("rho"), py::arg("qp") = py::none(),
            py::arg("qs") = py::none(), py::arg("fp") = py::none(), py::arg("fs") = py::none(),
            R"(A Model from thickness in km, vp and vs in km/s and rho in g/cm^3 (model96's units).

Each value is multiplied by 1000 to m, m/s and kg/m^3, the units of Model and of every
result. The quality factors and fp, fs (Hz) are taken as they are.)")
        .def_property_readonly_static(
            "units",
            [](const py::object&) {
                py::dict u;
                for (const char* q : {"thickness"}) u[q] = "m";
                for (const char* q : {"vp", "vs", "vph", "vsh"}) u[q] = "m/s";
                u["rho"] = "kg/m^3";
                for (const char* q : {"qp", "qs", "eta"}) u[q] = "1";
                for (const char* q : {"fp", "fs"}) u[q] = "Hz";
                return u;
            },
            "The units of the columns: SI, as every result's (a dict of column name to unit).")
        .def_property_readonly(
            "thickness", [](const Model& x) { return column(x, &Layer::thickness); },
            "Layer thicknesses (m); 0 for the half-space.")
        .def_property_readonly(
            "vp", [](const Model& x) { return column(x, &Layer::vp); }, "P velocities (m/s).")
        .def_property_readonly(
            "vs", [](const Model& x) { return column(x, &Layer::vs); }, "S velocities (m/s).")
        .def_property_readonly(
            "rho", [](const Model& x) { return column(x, &Layer::density); }, "Densities.")
        .def_property_readonly(
            "qp", [](const Model& x) { return column(x, &Layer::qp); }, "P quality factors (0: not given).")
        .def_property_readonly(
            "qs", [](const Model& x) { return column(x, &Layer::qs); }, "S quality factors (0: not given).")
        .def_property_readonly(
            "fp", [](const Model& x) { return column(x, &Layer::fp); },
            "Frequencies (Hz) at which vp is given (0: not given).")
        .def_property_readonly(
            "fs", [](const Model& x) { return column(x, &Layer::fs); },
            "Frequencies (Hz) at which vs is given (0: not given).")
        .def_property_readonly(
            "vph", [](const Model& x) { return column(x, &Layer::vph); }, "Horizontal P velocities (m/s; 0: as vp).")
        .def_property_readonly(
            "vsh", [](const Model& x) { return column(x, &Layer::vsh); }, "Horizontal S velocities (m/s; 0: as vs).")
        .def_property_readonly(
            "eta", [](const Model& x) { return column(x, &Layer::eta); }, "F / (A - 2L) (1: isotropic).")
        .def_property_readonly("transversely_isotropic", &Model::transversely_isotropic,
                               "Whether any layer is radially anisotropic.")
        .def("__len__", &Model::size)
        .def("__repr__", [](const Model& x) { return "<vemlari.Model: " + std::to_string(x.size()) + " layers>"; })
        .def(py::pickle(
            [](const Model& x) {
                return py::make_tuple(column(x, &Layer::thickness), column(x, &Layer::vp), column(x, &Layer::vs),
                                      column(x, &Layer::density), column(x, &Layer::qp), column(x, &Layer::qs),
                                      column(x, &Layer::fp), column(x, &Layer::fs), column(x, &Layer::vph),
                                      column(x, &Layer::vsh), column(x, &Layer::eta));
            },
            [](const py::tuple& t) {
                const py::object none = py::none();
                auto at = [&](std::size_t i) -> py::object { return t.size() > i ? py::object(t[i]) : none; };
                return Model(
                    with_anisotropy(layers_of(t[0], t[1], t[2], t[3], t[4], t[5], t[6], t[7]), at(8), at(9), at(10)));
            }));
    m.def(
        "frequency_limits",
        [](const Model& x) {
            const FrequencyLimits l = frequency_limits(x);
            return py::make_tuple(l.lowest, l.highest);
        },
        py::arg("model"), R"((lowest, highest): the frequencies (Hz) at which the model can be evaluated.

Every call refuses a frequency above 0 outside them with ValueError: there the wavenumbers
of the search would leave the range where their squares and products stay finite, or a
mode trapped under a velocity inversion would decay too much to be scaled to the surface.)");
}

}  // namespace vemlari::python
