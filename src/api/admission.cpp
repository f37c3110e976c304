#include "api/admission.h"

#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>

#include "vemlari/scan_range.h"

namespace vemlari::detail {

namespace {

std::string number(double v) {
    std::ostringstream s;
    s.precision(17);
    s << v;
    return s.str();
}

[[noreturn]] void refuse_modes(const std::string& what) {
    throw Error(Error::Rule::request, "the modes do not come from find_modes on this model: " + what);
}

void check_wave(const Model& model, const WaveModes& w, std::size_t n, double lowest, double highest) {
    const char* name = w.wave == Wave::love ? "Love" : "Rayleigh";
    if (w.phase_velocity.size() != n || w.found_at.size() != n)
        refuse_modes(std::string(name) + " tables of another number of frequencies");
    const int deepest = std::max(1, static_cast<int>(model.size()) - 1);
    for (std::size_t k = 0; k < n; ++k) {
        const std::vector<double>& c = w.phase_velocity[k];
        if (w.found_at[k].size() != c.size())
            refuse_modes(std::string(name) + " entry " + std::to_string(k) + " has " + std::to_string(c.size()) +
                         " phase velocities and " + std::to_string(w.found_at[k].size()) + " layers");
        for (std::size_t m = 0; m < c.size(); ++m) {
            const int at = w.found_at[k][m];
            if (at < 0 || at > deepest)
                refuse_modes(std::string(name) + " entry " + std::to_string(k) + " mode " + std::to_string(m) +
                             " was found at layer " + std::to_string(at) + ", not 1 .. " + std::to_string(deepest));
            if (!(c[m] >= lowest && c[m] <= highest))
                refuse_modes(std::string(name) + " entry " + std::to_string(k) + " mode " + std::to_string(m) +
                             " has the phase velocity " + number(c[m]) + ", not between " + number(lowest) + " and " +
                             number(highest) + " m/s");
        }
    }
}

}  // namespace

void check_frequencies(const Model& model, const Frequencies& frequencies) {
    const FrequencyLimits lim = frequency_limits(model);
    const double pi2 = 8.0 * std::atan(1.0);
    auto inside = [&](double hz) { return hz >= lim.lowest && hz <= lim.highest; };
    const std::string range =
        " lies outside this model's range, " + number(lim.lowest) + " to " + number(lim.highest) + " Hz";
    for (std::size_t k = 0; k < frequencies.size(); ++k) {
        const double f = frequencies.frequency(k);
        if (f != 0.0 && !inside(f))
            throw Error(Error::Rule::frequencies,
                        "frequency " + std::to_string(k + 1) + " = " + number(f) + " Hz" + range);
        if (f != 0.0) continue;
        for (const double substitute : {frequencies.search_angular(k) / pi2, frequencies.property_angular(k) / pi2})
            if (!inside(substitute))
                throw Error(Error::Rule::frequencies, "frequency " + std::to_string(k + 1) + " = 0 Hz is computed at " +
                                                          number(substitute) + " Hz, which" + range);
    }
}

std::uint64_t admit(const Model& model, const Frequencies& frequencies) {
    check_frequencies(model, frequencies);
    return model.fingerprint();
}

void check_modes(const Model& model, const Modes& modes) {
    if (modes.fingerprint != 0 && modes.fingerprint != model.fingerprint())
        refuse_modes("their model's fingerprint differs");
    const std::size_t n = modes.frequencies.size();
    const ScanRange r = scan_range(model);
    double lowest = 0.5 * r.vsmin;
    const double highest = 2.0 * r.vsmax;
    // The Scholte wave is slower than the water's sound speed.
    for (std::size_t i = 0; i < model.fluid_layers(); ++i) lowest = std::fmin(lowest, 0.5 * model[i].vp);
    check_wave(model, modes.love, n, lowest, highest);
    check_wave(model, modes.rayleigh, n, lowest, highest);
    check_frequencies(model, modes.frequencies);
}

void check_no_water_over_anisotropy(const Model& model, const char* what) {
    if (model.fluid_layers() == 0) return;
    for (std::size_t i = model.fluid_layers(); i < model.size(); ++i)
        if (transversely_isotropic(model[i]))
            throw Error(Error::Rule::request,
                        std::string(what) + " are not computed for radially anisotropic layers under water: layer " +
                            std::to_string(i + 1) + " is transversely isotropic below " +
                            std::to_string(model.fluid_layers()) + " fluid layer(s)",
                        static_cast<int>(i + 1), "eta", model[i].eta);
}

void check_mode_entry(const Model& model, const Modes& modes, Wave wave, std::size_t frequency, int mode) {
    check_modes(model, modes);
    const WaveModes& w = modes[wave];
    if (frequency >= w.phase_velocity.size())
        throw Error(Error::Rule::request, "frequency entry " + std::to_string(frequency) + " is not in the modes");
    if (mode < 0 || static_cast<std::size_t>(mode) >= w.phase_velocity[frequency].size())
        throw Error(Error::Rule::request,
                    "mode " + std::to_string(mode) + " does not exist at frequency entry " + std::to_string(frequency));
}

}  // namespace vemlari::detail
