#pragma once
// --spherical: the modes of each wave are sought on the flat model of that wave (the
// density exponent of the earth-flattening transformation differs between Love and
// Rayleigh waves), one search per wave.
#include <cstddef>

#include "cli/requests.h"
#include "vemlari/flattening.h"
#include "vemlari/options.h"

namespace vemlari::cli {

// The options of one wave only.
inline SearchOptions one_wave(SearchOptions o, Wave w) {
    o.love = w == Wave::love;
    o.rayleigh = w == Wave::rayleigh;
    return o;
}

inline bool asked(const Common& c, Wave w) { return w == Wave::love ? c.love : c.rayleigh; }

// Searches per model: one, or one per wave on a sphere (for the progress line).
inline std::size_t searches(const Sphere& s, const Common& c) { return s.on && c.love && c.rayleigh ? 2 : 1; }

}  // namespace vemlari::cli
