#include "python/src/inputs.h"

#include "python/src/errors.h"
#include "python/src/frequency_grid.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>
#include <numeric>

#include "vemlari/threads.h"

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
                             const py::handle& rho, const py::handle& qp, const py::handle& qs, const py::handle& fp,
                             const py::handle& fs) {
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
    std::string lower(name);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (lower == "love") return Wave::love;
    if (lower == "rayleigh") return Wave::rayleigh;
    throw py::value_error("wave must be \"love\" or \"rayleigh\", not \"" + name + "\"");
}

const char* wave_name(Wave w) { return w == Wave::love ? "love" : "rayleigh"; }

std::vector<Wave> waves_of(const std::string& name) {
    std::string lower(name);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (lower == "both") return {Wave::love, Wave::rayleigh};
    try {
        return {wave_of(name)};
    } catch (const py::value_error&) {
        throw py::value_error("wave must be \"love\", \"rayleigh\" or \"both\", not \"" + name + "\"");
    }
}

std::vector<double> values(const py::handle& given, const char* name) {
    const auto a = py::array_t<double, py::array::c_style | py::array::forcecast>::ensure(given);
    if (a && a.ndim() == 0) return {*a.data()};
    PyErr_Clear();
    return doubles(given, name);
}

Abscissa abscissa_of(const py::handle& frequencies, const py::handle& periods) {
    if (frequencies.is_none() == periods.is_none())
        throw py::value_error("give either frequencies (Hz) or periods (s)");
    Abscissa a;
    if (py::isinstance<FrequencyGrid>(frequencies)) {
        a.sorted = frequencies.cast<const FrequencyGrid&>().frequencies;
        return a;
    }
    const bool by_period = !periods.is_none();
    const char* name = by_period ? "periods" : "frequencies";
    std::vector<double> given = values(by_period ? periods : frequencies, name);
    for (const double x : given)
        if (!(std::isfinite(x) && (by_period ? x > 0.0 : x >= 0.0)))
            throw py::value_error(by_period ? "periods must be finite numbers of seconds above 0"
                                            : "frequencies must be finite numbers of Hz, at least 0");
    std::vector<double> hz(given.size());
    for (std::size_t i = 0; i < hz.size(); ++i) hz[i] = by_period ? 1.0 / given[i] : given[i];
    std::vector<std::size_t> order(hz.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t i, std::size_t j) { return hz[i] < hz[j]; });
    std::vector<double> sorted(hz.size());
    for (std::size_t r = 0; r < order.size(); ++r) sorted[r] = hz[order[r]];
    for (std::size_t r = 1; r < sorted.size(); ++r)
        if (sorted[r] == sorted[r - 1])
            throw py::value_error(std::string(name) + " must all differ: " +
                                  py::repr(py::float_(given[order[r]])).cast<std::string>() + " is given twice");
    a.sorted = Frequencies::hertz(std::move(sorted));
    if (!std::is_sorted(order.begin(), order.end())) {
        a.entry.resize(order.size());
        for (std::size_t r = 0; r < order.size(); ++r) a.entry[order[r]] = r;
    }
    if (by_period) a.period = std::move(given);
    return a;
}

namespace {

// A Python int that fits an int; TypeError for another type, ValueError out of range.
int whole(const py::handle& value, const char* name) {
    if (!py::isinstance<py::int_>(value) && !py::isinstance(value, py::module_::import("numpy").attr("integer")))
        throw py::type_error(std::string(name) + " must be None or an int");
    const long long n = value.cast<long long>();
    if (n < std::numeric_limits<int>::min() || n > std::numeric_limits<int>::max())
        throw py::value_error(std::string(name) + " is out of range");
    return static_cast<int>(n);
}

}  // namespace

int threads_of(const py::handle& threads) {
    if (threads.is_none()) return usable_cores();
    const int n = whole(threads, "threads");
    if (n < 1) throw py::value_error("threads must be None (every core) or at least 1");
    return n;
}

std::size_t ModeChoice::columns() const {
    if (!mode_set.empty()) return mode_set.size();
    return highest_mode >= 0 ? static_cast<std::size_t>(highest_mode) + 1 : 0;
}

ModeChoice modes_of(const py::handle& modes, const py::handle& highest_mode) {
    ModeChoice c;
    if (!highest_mode.is_none()) {
        if (!modes.is_none()) throw py::value_error("give highest_mode or modes, not both");
        c.highest_mode = whole(highest_mode, "highest_mode");
        if (c.highest_mode < 0) throw py::value_error("highest_mode must be None (every mode) or at least 0");
        return c;
    }
    if (modes.is_none()) return c;
    if (!py::isinstance<py::iterable>(modes)) {
        PyErr_WarnEx(PyExc_DeprecationWarning,
                     "modes=n (modes 0 .. n) is now highest_mode=n; modes takes a list of mode numbers", 2);
        c.highest_mode = whole(modes, "modes");
        if (c.highest_mode < 0) throw py::value_error("highest_mode must be None (every mode) or at least 0");
        return c;
    }
    for (const py::handle m : modes) {
        c.mode_set.push_back(whole(m, "a mode number"));
        if (c.mode_set.back() < 0) throw py::value_error("a mode number must be at least 0");
    }
    std::sort(c.mode_set.begin(), c.mode_set.end());
    c.mode_set.erase(std::unique(c.mode_set.begin(), c.mode_set.end()), c.mode_set.end());
    if (c.mode_set.empty()) throw py::value_error("modes must name at least one mode");
    return c;
}

SearchOptions options_of(const std::vector<Wave>& waves, const ModeChoice& modes, const SearchChoice& search,
                         int threads) {
    if (search.method != "counted" && search.method != "scan")
        throw py::value_error("search must be \"counted\" or \"scan\", not \"" + search.method + "\"");
    const bool scan = search.method == "scan";
    // An option of the other search would be ignored without a word.
    if (!scan && (search.tolerance || search.partitions || search.iterations))
        throw py::value_error("tolerance, partitions and iterations apply to search=\"scan\"");
    if (scan && !modes.mode_set.empty()) throw py::value_error("a set of modes needs search=\"counted\"");
    SearchOptions o;
    o.method = scan ? SearchMethod::scan : SearchMethod::counted;
    o.velocity_tolerance = search.velocity_tolerance;
    o.love = std::find(waves.begin(), waves.end(), Wave::love) != waves.end();
    o.rayleigh = std::find(waves.begin(), waves.end(), Wave::rayleigh) != waves.end();
    o.highest_mode = modes.highest_mode;
    o.mode_set = modes.mode_set;
    o.tolerance = search.tolerance.value_or(o.tolerance);
    o.partitions = search.partitions.value_or(o.partitions);
    o.max_iterations = search.iterations.value_or(o.max_iterations);
    o.threads = threads;
    return o;
}

std::optional<FlatModel> sphere_of(const Model& model, Wave wave, bool spherical, double radius) {
    if (!spherical) return std::nullopt;
    return flatten(model, wave, radius);
}

}  // namespace vemlari::python
