#include "python/src/frequency_grid.h"

#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include "python/src/bindings.h"
#include "python/src/inputs.h"

namespace vemlari::python {

FrequencyGrid hertz_grid(std::vector<double> hz) {
    // Braced initialisers run in order: the list is checked before it is moved.
    return {Frequencies::hertz(hz), false, 0.0, 0, -1, std::move(hz)};
}

FrequencyGrid regular_grid(double step, int first, int last) {
    return {Frequencies::regular(step, first, last), true, step, first, last, {}};
}

void bind_frequencies(py::module_& m) {
    py::class_<FrequencyGrid>(m, "Frequencies", R"(A list of frequencies for dispersion and dispersion_many.

Any array-like of frequencies in Hz does as well; this class also builds the regular grid
of angular frequencies that the interactive program builds from its model file, so that
the results equal the program's bit for bit.

    vemlari.Frequencies([0.1, 0.2, 0.5])            # Hz
    vemlari.Frequencies.regular(2 * math.pi / 256, 0, 51)  # omega_i = step * i, i = 0 .. 51)")
        .def(py::init([](const py::object& hz) { return hertz_grid(doubles(hz, "frequencies")); }), py::arg("hertz"),
             "Frequencies in Hz: finite, >= 0 and increasing (ValueError otherwise).")
        .def_static("regular", &regular_grid, py::arg("step"), py::arg("first"), py::arg("last"),
                    R"(The angular frequencies step * i (rad/s) for i = first .. last.

step > 0, first >= 0; last < first gives an empty list. At a zero frequency the search
runs as the program's does (see dispersion).)")
        .def_property_readonly(
            "hertz",
            [](const FrequencyGrid& g) {
                std::vector<double> hz(g.frequencies.size());
                for (std::size_t k = 0; k < hz.size(); ++k) hz[k] = g.frequencies.frequency(k);
                return to_array(std::move(hz), {static_cast<py::ssize_t>(g.frequencies.size())});
            },
            "The frequencies in Hz (numpy array).")
        .def("__len__", [](const FrequencyGrid& g) { return g.frequencies.size(); })
        .def("__repr__",
             [](const FrequencyGrid& g) {
                 return "<vemlari.Frequencies: " + std::to_string(g.frequencies.size()) + " frequencies>";
             })
        .def(py::pickle(
            [](const FrequencyGrid& g) {
                return g.regular ? py::make_tuple(true, g.step, g.first, g.last) : py::make_tuple(false, g.hertz);
            },
            [](const py::tuple& t) {
                return t[0].cast<bool>() ? regular_grid(t[1].cast<double>(), t[2].cast<int>(), t[3].cast<int>())
                                         : hertz_grid(t[1].cast<std::vector<double>>());
            }));
}

}  // namespace vemlari::python
