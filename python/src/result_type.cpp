#include "python/src/result_type.h"

#include "python/src/bindings.h"
#include "python/src/inputs.h"

namespace vemlari::python {

namespace {

py::dict diagnostic(const Diagnostic& d, const WaveTable& t) {
    py::dict x;
    x["index"] = d.frequency;
    x["frequency"] = t.frequency[d.frequency];
    x["mode"] = d.mode;
    x["phase_velocity"] = d.phase_velocity;
    if (d.kind == Diagnostic::Kind::not_converged) {
        x["kind"] = "not_converged";
        x["layer"] = d.layer;
        x["modulus"] = d.modulus;
        x["iterations"] = d.iterations;
    } else {
        x["kind"] = "near_singular";
        x["angular_frequency"] = d.angular_frequency;
        x["wavenumber"] = d.wavenumber;
        x["term"] = d.term;
    }
    return x;
}

}  // namespace

DispersionResult to_result(WaveTable&& t) {
    const auto rows = static_cast<py::ssize_t>(t.rows), cols = static_cast<py::ssize_t>(t.cols);
    DispersionResult r;
    r.wave = wave_name(t.wave);
    for (const Diagnostic& d : t.diagnostics) r.diagnostics.append(diagnostic(d, t));
    r.frequency = to_array(std::move(t.frequency), {rows});
    r.period = to_array(std::move(t.period), {rows});
    r.mode = to_array(std::move(t.modes), {cols});
    r.phase_velocity = to_array(std::move(t.phase_velocity), {rows, cols});
    r.group_velocity = to_array(std::move(t.group_velocity), {rows, cols});
    r.energy_integral = to_array(std::move(t.energy_integral), {rows, cols});
    r.response = to_array(std::move(t.response), {rows, cols});
    r.ellipticity = to_array(std::move(t.ellipticity), {rows, cols});
    r.found_at = to_array(std::move(t.found_at), {rows, cols});
    r.ellipticity_signed = to_array(std::move(t.ellipticity_signed), {rows, cols});
    r.seafloor_ellipticity = to_array(std::move(t.seafloor_ellipticity), {rows, cols});
    return r;
}

void bind_result(py::module_& m) {
    py::class_<DispersionResult>(m, "DispersionResult", R"(The modes of one wave type, as dispersion returns them.

Arrays shaped (n_frequencies, n_modes), mode 0 the fundamental, modes in increasing phase
velocity, NaN (found_at: 0) where a mode does not exist at a frequency.)")
        .def_readonly("wave", &DispersionResult::wave, "\"love\" or \"rayleigh\".")
        .def_readonly("frequency", &DispersionResult::frequency,
                      "Frequencies (Hz), shape (n_frequencies,), in the order given (of the periods if given).")
        .def_readonly("period", &DispersionResult::period,
                      "Periods (s), shape (n_frequencies,): as given, else 1 / frequency (inf at 0 Hz).")
        .def_readonly("mode", &DispersionResult::mode,
                      "The mode number of each column (0 the fundamental), shape (n_modes,).")
        .def_readonly("phase_velocity", &DispersionResult::phase_velocity, "Phase velocity c (m/s).")
        .def_readonly("group_velocity", &DispersionResult::group_velocity, "Group velocity U (m/s).")
        .def_readonly("energy_integral", &DispersionResult::energy_integral,
                      "Energy integral I1 = 1/2 integral of rho |u|^2 dz, for unit surface displacement.")
        .def_readonly("response", &DispersionResult::response,
                      "Medium response 1 / (4 omega U I1); 0 where U or I1 is at most 1e-5.")
        .def_readonly("ellipticity", &DispersionResult::ellipticity,
                      "H/V: |horizontal / vertical| displacement at the surface; NaN for Love waves.")
        .def_readonly("ellipticity_signed", &DispersionResult::ellipticity_signed,
                      "H/V with its sign: positive where the particle motion at the surface is retrograde (as the "
                      "Rayleigh wave of a half-space), negative where it is prograde; its modulus is ellipticity. "
                      "NaN for Love waves.")
        .def_readonly("seafloor_ellipticity", &DispersionResult::seafloor_ellipticity,
                      "|H/V| of the solid at the sea floor (the top of the first solid layer). Under water the "
                      "surface's H/V is 0 (the pressure-free surface has no horizontal motion), so this is the "
                      "ratio an ocean-bottom sensor reads; without water it equals ellipticity. NaN for Love waves.")
        .def_readonly("found_at", &DispersionResult::found_at,
                      "The layer whose secular function found the mode: 1 = the free surface, a deeper layer for a "
                      "mode trapped in a slow layer; 0 where the mode does not exist.")
        .def_readonly("diagnostics", &DispersionResult::diagnostics,
                      "What the computation met and went on with, as dicts: kind \"not_converged\" (a candidate "
                      "whose refinement stopped above the tolerance: no mode) or \"near_singular\" (an SH term "
                      "near a pole), with the frequency (Hz), its index, the mode and the phase velocity.")
        .def("__repr__",
             [](const DispersionResult& r) {
                 return "<vemlari.DispersionResult " + r.wave + ": " + std::to_string(r.phase_velocity.shape(0)) +
                        " frequencies, " + std::to_string(r.phase_velocity.shape(1)) + " modes>";
             })
        .def(py::pickle(
            [](const DispersionResult& r) {
                return py::make_tuple(r.wave, r.frequency, r.period, r.mode, r.phase_velocity, r.group_velocity,
                                      r.energy_integral, r.response, r.ellipticity, r.found_at, r.diagnostics,
                                      r.ellipticity_signed, r.seafloor_ellipticity);
            },
            [](const py::tuple& t) {
                auto a = [&](int i) { return t[i].cast<py::array>(); };
                return DispersionResult{t[0].cast<std::string>(), a(1),  a(2), a(3), a(4), a(5), a(6), a(7), a(8), a(9),
                                        t[10].cast<py::list>(),   a(11), a(12)};
            }));
}

}  // namespace vemlari::python
