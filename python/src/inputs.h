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
// The same, or a number (a list of one).
std::vector<double> values(const py::handle& given, const char* name);

// The layers of Model(thickness, vp, vs, rho, qp, qs, fp, fs), None for an absent column
// (zeros): equal lengths, the half-space's thickness 0 whatever was given. ModelError for
// unequal or non-one-dimensional arrays.
std::vector<Layer> layers_of(const py::handle& thickness, const py::handle& vp, const py::handle& vs,
                             const py::handle& rho, const py::handle& qp, const py::handle& qs, const py::handle& fp,
                             const py::handle& fs);

// A Model, or the sequence (thickness, vp, vs, rho[, qp[, qs[, fp[, fs]]]]) of one; ModelError
// if invalid.
Model model_of(const py::handle& item);

// "love" or "rayleigh", in any case; ValueError otherwise.
Wave wave_of(const std::string& name);
const char* wave_name(Wave w);
// The same, or "both" (Love, then Rayleigh).
std::vector<Wave> waves_of(const std::string& name);

// The frequencies of a call as the caller gave them, frequencies (Hz) or periods (s), in any
// order, a number or an array-like (or a vemlari.Frequencies), and the increasing list the
// library takes.
struct Abscissa {
    Frequencies sorted = Frequencies::hertz({});
    // Entry of `sorted` of each value given, in the order given; empty: the same order.
    std::vector<std::size_t> entry;
    std::vector<double> period;  // s, as given (periods), else empty
    std::size_t size() const { return sorted.size(); }
};
// Exactly one of the two may be given (ValueError otherwise); frequencies >= 0, periods > 0,
// finite and all different.
Abscissa abscissa_of(const py::handle& frequencies, const py::handle& periods);

// The threads of a call: None, every core the process may run on; else at least 1.
int threads_of(const py::handle& threads);

// Which modes: `highest_mode` (modes 0 .. n), or `modes`, a set of mode numbers; an int
// `modes` is the old spelling of highest_mode (DeprecationWarning).
struct ModeChoice {
    int highest_mode = -1;
    std::vector<int> mode_set;
    // Columns of the result when known before the search (0: not known).
    std::size_t columns() const;
};
ModeChoice modes_of(const py::handle& modes, const py::handle& highest_mode);

// The search options of the waves asked for.
// How the modes are sought: the counted search (velocity_tolerance) or the program's scan
// (tolerance, partitions, iterations).
struct SearchChoice {
    std::string method = "counted";
    double velocity_tolerance = 0.0;
    std::optional<double> tolerance;  // the scan's; None: the library's defaults (vemlari/options.h)
    std::optional<int> partitions;
    std::optional<int> iterations;
};

SearchOptions options_of(const std::vector<Wave>& waves, const ModeChoice& modes, const SearchChoice& search,
                         int threads);

// spherical=True: the flat model of `model` for `wave` on a sphere of `radius` (m); else none.
std::optional<FlatModel> sphere_of(const Model& model, Wave wave, bool spherical, double radius);

// A numpy array that owns `values`, of the given shape.
template <class T>
py::array_t<T> to_array(std::vector<T>&& values, std::vector<py::ssize_t> shape) {
    auto* owned = new std::vector<T>(std::move(values));
    py::capsule free(owned, [](void* p) { delete static_cast<std::vector<T>*>(p); });
    return py::array_t<T>(std::move(shape), owned->data(), free);
}

}  // namespace vemlari::python
