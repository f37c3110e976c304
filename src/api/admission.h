#pragma once
// What the calls check before they work: frequencies at which the model can be evaluated,
// and modes that belong to the model at hand.
#include <cstddef>
#include <cstdint>

#include "vemlari/frequencies.h"
#include "vemlari/model.h"
#include "vemlari/results.h"

namespace vemlari::detail {

// Throws Error (Rule::frequencies) unless every frequency of the list lies within
// frequency_limits(model); a zero frequency is computed at its substitutes (the search's
// 0.001 rad/s and the properties' fraction of the next frequency), which must lie within.
void check_frequencies(const Model& model, const Frequencies& frequencies);

// What find_modes stores in Modes::fingerprint, once check_frequencies has passed.
std::uint64_t admit(const Model& model, const Frequencies& frequencies);

// Throws Error (Rule::request) unless `modes` can be read against `model`: the same
// fingerprint (or 0), one table row per frequency, a layer for each phase velocity that
// names a layer top above the half-space (0 and 1: the free surface), phase velocities
// finite and within a factor of two of the model's S velocities; and the frequencies as
// check_frequencies wants them.
void check_modes(const Model& model, const Modes& modes);

// check_modes, then throws Error (Rule::request) unless `modes` hold mode `mode` of `wave`
// at frequency entry `frequency`.
void check_mode_entry(const Model& model, const Modes& modes, Wave wave, std::size_t frequency, int mode);

// Throws Error (Rule::request, naming the first such layer and `what`) if a radially
// anisotropic layer lies under water: the kernels of such a model are not computed.
void check_no_water_over_anisotropy(const Model& model, const char* what);

}  // namespace vemlari::detail
