// eigenfunctions and secular: one mode's field against depth, the secular function against
// phase velocity.
#include <pybind11/complex.h>
#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include <cmath>
#include <complex>
#include <optional>
#include <vector>

#include "python/src/bindings.h"
#include "python/src/inputs.h"

namespace vemlari::python {

namespace {

struct ModeField {
    std::string wave;
    double frequency = 0.0, phase_velocity = 0.0;
    int mode = 0, found_at = 0;
    py::object depth = py::none(), displacement = py::none(), stress = py::none(), horizontal = py::none(),
               vertical = py::none(), shear = py::none(), normal = py::none();
};

// 201 depths from the surface to the half-space's top plus one S wavelength of the
// half-space, deep enough for the slowest decay there, as the command line takes them.
std::vector<double> default_depths(const Model& model, double hz) {
    double top = 0.0;
    for (std::size_t i = 0; i + 1 < model.size(); ++i) top += model[i].thickness;
    const double dz = (top + model[model.size() - 1].vs / hz) / 200;
    std::vector<double> z;
    for (int i = 0; i <= 200; ++i) z.push_back(dz * i);
    return z;
}

// The arrays a ModeField carries, in the order its pickle keeps them.
py::object ModeField::*const field_arrays[] = {&ModeField::depth,      &ModeField::displacement, &ModeField::stress,
                                               &ModeField::horizontal, &ModeField::vertical,     &ModeField::shear,
                                               &ModeField::normal};

py::object array_of(std::vector<double>& v) {
    const auto n = static_cast<py::ssize_t>(v.size());
    return to_array(std::move(v), {n});
}

ModeField eigenfunctions(const Model& model, std::optional<double> frequency_given, const std::string& wave, int mode,
                         const py::object& depths, const std::optional<double>& tolerance,
                         const std::optional<int>& partitions, const std::optional<int>& iterations,
                         const std::string& search, double velocity_tolerance, std::optional<double> period,
                         bool spherical, double radius) {
    const Wave w = wave_of(wave);
    if (frequency_given.has_value() == period.has_value())
        throw py::value_error("give either frequency (Hz) or period (s)");
    if (period && !(std::isfinite(*period) && *period > 0.0))
        throw py::value_error("period must be a positive finite number of seconds");
    const double frequency = period ? 1.0 / *period : *frequency_given;
    if (!(std::isfinite(frequency) && frequency > 0.0))
        throw py::value_error("frequency must be a positive finite number of Hz");
    if (mode < 0) throw py::value_error("mode must be at least 0");
    const std::vector<double> z = depths.is_none() ? default_depths(model, frequency) : values(depths, "depths");
    const Frequencies f = Frequencies::hertz({frequency});
    const SearchOptions o =
        options_of({w}, ModeChoice{mode, {}}, {search, velocity_tolerance, tolerance, partitions, iterations}, 1);
    std::optional<Modes> modes;
    std::optional<Eigenfunctions> e;
    {
        py::gil_scoped_release free;
        const std::optional<FlatModel> flat = sphere_of(model, w, spherical, radius);
        if (flat) {
            std::vector<double> zf;
            for (double d : z) zf.push_back(flat_depth(d, radius));
            modes = find_modes(flat->model, f, o);
            if (static_cast<std::size_t>(mode) < (*modes)[w].phase_velocity[0].size())
                e = spherical_eigenfunctions(*flat, vemlari::eigenfunctions(flat->model, *modes, w, 0, mode, zf));
        } else {
            modes = find_modes(model, f, o);
            if (static_cast<std::size_t>(mode) < (*modes)[w].phase_velocity[0].size())
                e = vemlari::eigenfunctions(model, *modes, w, 0, mode, z);
        }
    }
    const WaveModes& found = (*modes)[w];
    if (!e)
        throw py::value_error(std::string(wave_name(w)) + " mode " + std::to_string(mode) + " does not exist at " +
                              py::repr(py::float_(frequency)).cast<std::string>() +
                              " Hz (modes found: " + std::to_string(found.phase_velocity[0].size()) + ")");
    const auto j = static_cast<std::size_t>(mode);
    ModeField r{wave_name(w), frequency, found.phase_velocity[0][j], mode, found.found_at[0][j]};
    r.depth = array_of(e->depth);
    if (w == Wave::love) {
        r.displacement = array_of(e->displacement);
        r.stress = array_of(e->stress);
    } else {
        r.horizontal = array_of(e->horizontal);
        r.vertical = array_of(e->vertical);
        r.shear = array_of(e->shear);
        r.normal = array_of(e->normal);
    }
    return r;
}

py::array_t<std::complex<double>> secular(const Model& model, double frequency, const py::object& phase_velocity,
                                          const std::string& wave, int layer) {
    const Wave w = wave_of(wave);
    const auto c = py::array_t<double, py::array::c_style | py::array::forcecast>::ensure(phase_velocity);
    if (!c) {
        PyErr_Clear();
        throw py::value_error("phase_velocity must be an array-like of numbers");
    }
    const std::vector<double> cs(c.data(), c.data() + c.size());
    std::vector<py::ssize_t> shape(c.shape(), c.shape() + c.ndim());
    std::vector<std::complex<double>> f;
    {
        py::gil_scoped_release free;
        f = secular_function(model, w, frequency, cs, layer);
    }
    return to_array(std::move(f), std::move(shape));
}

const char* eigenfunctions_doc = R"(The eigenfunctions of one mode at the given depths.

model      a vemlari.Model
frequency  Hz (> 0); or period= in s instead
wave       "love" or "rayleigh" (in any case)
mode       0 for the fundamental mode; ValueError if the search finds no such mode
depths     m (a number or an array), >= 0 and non-decreasing; a depth on an interface
           belongs to the layer above.
           None: 201 depths from 0 to the half-space's top plus one S wavelength in it
tolerance, partitions, iterations, search, velocity_tolerance: the search's, as in dispersion
spherical, radius  as in dispersion: the depths are true depths in the sphere (below its
           radius), and the fields are the sphere's (vemlari/flattening.h,
           spherical_eigenfunctions: Love waves exact, Rayleigh waves approximate)

Returns a ModeField: the mode's phase_velocity and found_at, depth, and the real parts of
its field normalised as the interactive program normalises them (a down-going wave of
amplitude 1/2 at the top of layer 1; modes trapped in a slow layer: unit surface
displacement). Love: displacement and stress (shear); Rayleigh: horizontal and vertical
displacement, shear and normal traction. The other wave's fields are None.
Releases the GIL while it computes.)";

const char* secular_doc = R"(The complex secular function of a wave at one frequency.

model           a vemlari.Model with at least one layer above the half-space
frequency       Hz (> 0)
phase_velocity  array-like of phase velocities (m/s, > 0), any shape
wave            "love" or "rayleigh"
layer           1: referred to the free surface; 2 .. n_layers - 1: to the top of that
                layer, where modes trapped in a slow layer show

Returns a complex array of the shape of phase_velocity. Its zeros are the modes.
Releases the GIL while it computes.)";

}  // namespace

void bind_fields(py::module_& m) {
    py::class_<ModeField>(m, "ModeField", "One mode's eigenfunctions, as eigenfunctions returns them.")
        .def_readonly("wave", &ModeField::wave)
        .def_readonly("frequency", &ModeField::frequency, "Hz.")
        .def_readonly("mode", &ModeField::mode)
        .def_readonly("phase_velocity", &ModeField::phase_velocity, "m/s.")
        .def_readonly("found_at", &ModeField::found_at, "The layer whose secular function found the mode.")
        .def_readonly("depth", &ModeField::depth, "m.")
        .def_readonly("displacement", &ModeField::displacement, "Love: displacement.")
        .def_readonly("stress", &ModeField::stress, "Love: shear stress.")
        .def_readonly("horizontal", &ModeField::horizontal, "Rayleigh: horizontal displacement.")
        .def_readonly("vertical", &ModeField::vertical, "Rayleigh: vertical displacement.")
        .def_readonly("shear", &ModeField::shear, "Rayleigh: shear traction.")
        .def_readonly("normal", &ModeField::normal, "Rayleigh: normal traction.")
        .def(py::pickle(
            [](const ModeField& f) {
                py::list state;
                for (py::object x : {py::cast(f.wave), py::cast(f.frequency), py::cast(f.phase_velocity),
                                     py::cast(f.mode), py::cast(f.found_at)})
                    state.append(x);
                for (py::object ModeField::*a : field_arrays) state.append(f.*a);
                return py::tuple(state);
            },
            [](const py::tuple& t) {
                ModeField f{t[0].cast<std::string>(), t[1].cast<double>(), t[2].cast<double>(), t[3].cast<int>(),
                            t[4].cast<int>()};
                std::size_t i = 5;
                for (py::object ModeField::*a : field_arrays) f.*a = t[i++];
                return f;
            }));
    m.def("eigenfunctions", &eigenfunctions, eigenfunctions_doc, py::arg("model"), py::arg("frequency") = py::none(),
          py::arg("wave") = "rayleigh", py::arg("mode") = 0, py::arg("depths") = py::none(), py::kw_only(),
          py::arg("tolerance") = py::none(), py::arg("partitions") = py::none(), py::arg("iterations") = py::none(),
          py::arg("search") = "counted", py::arg("velocity_tolerance") = 0.0, py::arg("period") = py::none(),
          py::arg("spherical") = false, py::arg("radius") = earth_radius);
    m.def("secular", &secular, secular_doc, py::arg("model"), py::arg("frequency"), py::arg("phase_velocity"),
          py::arg("wave"), py::arg("layer") = 1);
}

}  // namespace vemlari::python
