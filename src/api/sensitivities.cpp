// Constant-Q physical dispersion, and modes, properties and kernels in one call.
#include <cmath>
#include <vector>

#include "api/cancel_check.h"
#include "api/wave_tables.h"
#include "vemlari/sensitivity.h"

namespace vemlari {

using namespace detail;

namespace {

constexpr double pi = 3.14159265358979323846;

// v at f from v at f_ref for a constant Q; unchanged when Q or f_ref is not above 0.
double dispersed(double v, double q, double f_ref, double f) {
    return q > 0.0 && f_ref > 0.0 ? v * (1.0 + std::log(f / f_ref) / (pi * q)) : v;
}

// Entry 0 of a one-frequency search placed at entry k of the whole one.
void place(const WaveModes& one, std::size_t k, WaveModes& w) {
    w.phase_velocity[k] = one.phase_velocity[0];
    w.found_at[k] = one.found_at[0];
    w.mode[k] = one.mode[0];
    w.diagnostics[k] = one.diagnostics[0];
    for (Diagnostic& d : w.diagnostics[k]) d.frequency = k;
    if (!w.trace.empty()) w.trace[k] = one.trace[0];
    w.count[k] = one.count[0];
    w.evaluations += one.evaluations;
    if (one.overflow) {
        w.overflow = true;
        w.overflow_at = k;
    }
}

// Each frequency on its own dispersed model, stitched into one result.
Sensitivities dispersed_sensitivities(const Model& model, const Frequencies& frequencies, const SearchOptions& options,
                                      bool ellipticity) {
    const std::size_t n = frequencies.size();
    for (std::size_t k = 0; k < n; ++k)
        if (frequencies.frequency(k) == 0.0)
            throw Error(Error::Rule::frequencies, "physical dispersion needs frequencies above 0 Hz");
    find_modes(model, Frequencies::hertz({}), options);  // refuses invalid options before any work
    std::vector<Model> models;
    models.reserve(n);
    for (std::size_t k = 0; k < n; ++k) models.push_back(dispersed_model(model, frequencies.frequency(k)));

    Sensitivities r{Modes{frequencies, options, {}, {}}, {}, {}};
    Modes& m = r.modes;
    size_for(m.love, Wave::love, options.love && model.size() > 1, n, options.keep_trace);
    size_for(m.rayleigh, Wave::rayleigh, options.rayleigh, n, options.keep_trace);
    for (WaveProperties* w : {&r.properties.love, &r.properties.rayleigh}) {
        w->modes.assign(n, {});
        w->diagnostics.assign(n, {});
    }
    r.kernels.love.modes.assign(n, {});
    r.kernels.rayleigh.modes.assign(n, {});
    SearchOptions one_options = options;
    one_options.on_frequency = nullptr;
    for (std::size_t k = 0; k < n; ++k) {
        stop_if_cancelled(options);
        // A wave whose search overflowed leaves its later frequencies empty.
        one_options.love = m.love.searched && !m.love.overflow;
        one_options.rayleigh = m.rayleigh.searched && !m.rayleigh.overflow;
        if (one_options.love || one_options.rayleigh) {
            const Modes one = find_modes(models[k], Frequencies::hertz({frequencies.frequency(k)}), one_options);
            const Properties p = mode_properties(models[k], one, options.threads);
            const Kernels kn = sensitivity_kernels(models[k], one, options.threads, ellipticity);
            for (Wave wave : {Wave::love, Wave::rayleigh}) {
                const bool on = wave == Wave::love ? one_options.love : one_options.rayleigh;
                if (!on) continue;
                place(one[wave], k, wave == Wave::love ? m.love : m.rayleigh);
                WaveProperties& wp = wave == Wave::love ? r.properties.love : r.properties.rayleigh;
                wp.modes[k] = p[wave].modes[0];
                wp.diagnostics[k] = p[wave].diagnostics[0];
                for (Diagnostic& d : wp.diagnostics[k]) d.frequency = k;
                (wave == Wave::love ? r.kernels.love : r.kernels.rayleigh).modes[k] = kn[wave].modes[0];
            }
        }
        m.searched = k + 1;
        if (options.on_frequency && !options.on_frequency(m, k)) break;
    }
    return r;
}

}  // namespace

Model dispersed_model(const Model& model, double frequency) {
    if (!(std::isfinite(frequency) && frequency > 0.0))
        throw Error(Error::Rule::frequencies, "the frequency must be a positive finite number of Hz");
    std::vector<Layer> layers = model.layers();
    for (Layer& l : layers) {
        l.vp = dispersed(l.vp, l.qp, l.fp, frequency);
        l.vs = dispersed(l.vs, l.qs, l.fs, frequency);
        if (l.vph != 0.0) l.vph = dispersed(l.vph, l.qp, l.fp, frequency);
        if (l.vsh != 0.0) l.vsh = dispersed(l.vsh, l.qs, l.fs, frequency);
    }
    return Model(std::move(layers));
}

Sensitivities sensitivities(const Model& model, const Frequencies& frequencies, const SearchOptions& options,
                            bool physical_dispersion, bool ellipticity) {
    if (physical_dispersion) return dispersed_sensitivities(model, frequencies, options, ellipticity);
    Sensitivities r{find_modes(model, frequencies, options), {}, {}};
    r.properties = mode_properties(model, r.modes, options.threads);
    r.kernels = sensitivity_kernels(model, r.modes, options.threads, ellipticity);
    return r;
}

}  // namespace vemlari
