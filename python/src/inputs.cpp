#include "python/src/inputs.h"

#include "python/src/errors.h"
#include "python/src/frequency_grid.h"

namespace vemlari::python {

namespace {

std::vector<double> model_column(const py::handle& values, const char* name) {
    try {
        return doubles(values, name);
    } catch (const py::value_error& e) {
        raise_model_error(e.what());
    }
}

}  // namespace

std::vector<double> doubles(const py::handle& values, const char* name) {
    const auto a = py::array_t<double, py::array::c_style | py::array::forcecast>::ensure(values);
    if (!a) {
        PyErr_Clear();
        throw py::value_error(std::string(name) + " must be an array-like of numbers");
    }
    if (a.ndim() != 1) throw py::value_error(std::string(name) + " must be one-dimensional");
    return {a.data(), a.data() + a.size()};
}

std::vector<Layer> layers_of(const py::handle& thickness, const py::handle& vp, const py::handle& vs,
                             const py::handle& rho, const py::handle& qp, const py::handle& qs,
                             const py::handle& fp, const py::handle& fs) {
    const std::vector<double> h = model_column(thickness, "thickness"), p = model_column(vp, "vp"),
                              s = model_column(vs, "vs"), d = model_column(rho, "rho");
    const std::size_t n = h.size();
    auto optional = [n](const py::handle& values, const char* name) {
        return values.is_none() ? std::vector<double>(n) : model_column(values, name);
    };
    const std::vector<double> q_p = optional(qp, "qp"), q_s = optional(qs, "qs"), f_p = optional(fp, "fp"),
                              f_s = optional(fs, "fs");
    for (const auto* column : {&p, &s, &d, &q_p, &q_s, &f_p, &f_s})
        if (column->size() != n)
            raise_model_error("thickness, vp, vs, rho, qp, qs, fp and fs must have one entry per layer: " +
                              std::to_string(n) + " thicknesses, " + std::to_string(column->size()) + " of another");
    std::vector<Layer> layers(n);
    for (std::size_t i = 0; i < n; ++i)
        layers[i] = {i + 1 == n ? 0.0 : h[i], p[i], s[i], d[i], q_p[i], q_s[i], f_p[i], f_s[i]};
    return layers;
}

Model model_of(const py::handle& item) {
    if (py::isinstance<Model>(item)) return item.cast<const Model&>();
    if (!py::isinstance<py::sequence>(item) || py::isinstance<py::str>(item))
        raise_model_error(
            "a model must be a vemlari.Model or a sequence (thickness, vp, vs, rho[, qp[, qs[, fp[, fs]]]])");
    const auto s = py::reinterpret_borrow<py::sequence>(item);
    const std::size_t n = s.size();
    if (n < 4 || n > 8) raise_model_error("a model sequence holds 4 to 8 arrays, not " + std::to_string(n));
    const py::object none = py::none();
    auto at = [&](std::size_t i) -> py::object { return n > i ? py::object(s[i]) : none; };
    return Model(layers_of(s[0], s[1], s[2], s[3], at(4), at(5), at(6), at(7)));
}

Wave wave_of(const std::string& name) {
    if (name == "love") return Wave::love;
    if (name == "rayleigh") return Wave::rayleigh;
    throw py::value_error("wave must be \"love\" or \"rayleigh\", not \"" + name + "\"");
}

const char* wave_name(Wave w) { return w == Wave::love ? "love" : "rayleigh"; }

Frequencies frequencies_of(const py::handle& frequencies) {
    if (py::isinstance<FrequencyGrid>(frequencies)) return frequencies.cast<const FrequencyGrid&>().frequencies;
    return Frequencies::hertz(doubles(frequencies, "frequencies"));
}

SearchOptions options_of(Wave wave, const std::optional<int>& modes, const SearchChoice& search, int threads) {
    if (modes && *modes < 0) throw py::value_error("modes must be None (every mode) or at least 0");
    if (search.method != "counted" && search.method != "scan")
        throw py::value_error("search must be \"counted\" or \"scan\", not \"" + search.method + "\"");
    const bool scan = search.method == "scan";
    // An option of the other search would be ignored without a word.
    if (!scan && (search.tolerance || search.partitions || search.iterations))
        throw py::value_error("tolerance, partitions and iterations apply to search=\"scan\"");
    SearchOptions o;
    o.method = scan ? SearchMethod::scan : SearchMethod::counted;
    o.velocity_tolerance = search.velocity_tolerance;
    o.love = wave == Wave::love;
    o.rayleigh = wave == Wave::rayleigh;
    o.highest_mode = modes ? *modes : -1;
    o.tolerance = search.tolerance.value_or(o.tolerance);
    o.partitions = search.partitions.value_or(o.partitions);
    o.max_iterations = search.iterations.value_or(o.max_iterations);
    o.threads = threads;
    return o;
}

}  // namespace vemlari::python
