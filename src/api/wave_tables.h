#pragma once
// What a search sets up before it fills its tables: the admission of its frequencies
// (admit, which gives Modes::fingerprint) and the tables of each wave, sized for n
// frequency entries.
#include <cstddef>

#include "api/admission.h"
#include "vemlari/results.h"

namespace vemlari::detail {

inline void size_for(WaveModes& w, Wave wave, bool searched, std::size_t n, bool tracing) {
    w.wave = wave;
    w.searched = searched;
    w.phase_velocity.assign(n, {});
    w.found_at.assign(n, {});
    w.mode.assign(n, {});
    w.diagnostics.assign(n, {});
    w.trace.assign(tracing && searched ? n : 0, {});
    w.count.assign(n, 0);
}

// The modes of a call before any is found: the frequencies admitted (the model's
// fingerprint) and both waves' tables sized; a trace asked for has an entry per frequency
// (empty in the counted search, which has no scan points). A lone half-space has no Love wave.
inline Modes sized_modes(const Model& model, const Frequencies& frequencies, const SearchOptions& options) {
    Modes m{frequencies, options, {}, {}};
    m.fingerprint = admit(model, frequencies);
    const std::size_t n = frequencies.size();
    size_for(m.love, Wave::love, options.love && model.size() > 1, n, options.keep_trace);
    size_for(m.rayleigh, Wave::rayleigh, options.rayleigh, n, options.keep_trace);
    return m;
}

// The scan finds every mode up to where it stops: entry k's mode numbers are its columns.
inline void number_modes(WaveModes& w, std::size_t k) {
    w.mode[k].resize(w.phase_velocity[k].size());
    for (std::size_t i = 0; i < w.mode[k].size(); ++i) w.mode[k][i] = static_cast<int>(i);
}

}  // namespace vemlari::detail
