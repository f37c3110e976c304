#pragma once
// Python arguments as the library's values. Every function here needs the GIL.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <optional>
#include <string>
#include <vector>

#include "vemlari/vemlari.h"

namespace vemlari::python {

namespace py = pybind11;

// A one-dimensional array-like of numbers; ValueError (with `name`) for anything else.
std::vector<double> doubles(const py::handle& values, const char* name);

// The layers of Model(thickness, vp, vs, rho, qp, qs, fp, fs), None for an absent column
// (zeros): equal lengths, the half-space's thickness 0 whatever was given. ModelError for
// unequal or non-one-dimensional arrays.
std::vector<Layer> layers_of(const py::handle& thickness, const py::handle& vp, const py::handle& vs,
                             const py::handle& rho, const py::handle& qp, const py::handle& qs,
                             const py::handle& fp, const py::handle& fs);

// A Model, or the sequence (thickness, vp, vs, rho[, qp[, qs[, fp[, fs]]]]) of one; ModelError
// if invalid.
Model model_of(const py::handle& item);

// "love" or "rayleigh"; ValueError otherwise.
Wave wave_of(const std::string& name);
const char* wave_name(Wave w);

// A vemlari.Frequencies, or an array-like of frequencies in Hz.
Frequencies frequencies_of(const py::handle& frequencies);

// The search options of one wave; modes None: every mode.
// How the modes are sought: the counted search (velocity_tolerance) or the program's scan
// (tolerance, partitions, iterations).
struct SearchChoice {
    std::string method = "counted";
    double velocity_tolerance = 0.0;
    std::optional<double> tolerance;  // the scan's; None: 1e-3, 200, 100
    std::optional<int> partitions;
    std::optional<int> iterations;
};

SearchOptions options_of(Wave wave, const std::optional<int>& modes, const SearchChoice& search, int threads);

// A numpy array that owns `values`, of the given shape.
template <class T>
py::array_t<T> to_array(std::vector<T>&& values, std::vector<py::ssize_t> shape) {
    auto* owned = new std::vector<T>(std::move(values));
    py::capsule free(owned, [](void* p) { delete static_cast<std::vector<T>*>(p); });
    return py::array_t<T>(std::move(shape), owned->data(), free);
}

}  // namespace vemlari::python
