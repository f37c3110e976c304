#pragma once
// The computations. Every call works in memory on what it is given: it writes no file,
// prints nothing, keeps no state between calls, and may be called from any number of
// threads at once (results are the same as one call after another). Refusals throw Error
// before any work; a call whose SearchOptions::cancellation is raised stops within a
// fraction of a second of work and throws Error (Rule::cancelled), keeping nothing;
// std::bad_alloc is the only other exception. A call given more threads
// than the cores the process may run on, or than it has independent work for, starts only
// those; a thread the system will not start leaves it with fewer. Results never depend on
// the thread count.
#include <complex>
#include <cstddef>
#include <span>
#include <vector>

#include "vemlari/frequencies.h"
#include "vemlari/model.h"
#include "vemlari/options.h"
#include "vemlari/results.h"

namespace vemlari {

// Every Love and Rayleigh mode (as the options ask) at every frequency: the phase
// velocities, the layer whose secular function found each, and what the search met. The
// counted search throws Error where a frequency has more than a million modes of a wave and
// the options set no limit (highest_mode, mode_set or max_modes). Throws Error
// (Rule::frequencies) for a frequency outside frequency_limits(model) (a zero frequency:
// where it is computed, see Frequencies). The result records the model's fingerprint. The
// scan refuses transversely isotropic layers (Error, Rule::request); the counted search
// computes them.
Modes find_modes(const Model& model, const Frequencies& frequencies, const SearchOptions& options = {});

// Group velocity, energy integral, medium response and H/V of every mode in `modes`, which
// must come from find_modes on the same model. `threads` >= 1 (else Error, Rule::option).
// Throws Error (Rule::request) for modes of another model (Modes::fingerprint), tables not
// sized by their frequencies, a found_at that is not a layer top above the half-space, or
// a phase velocity that is not finite or lies beyond half the model's slowest or twice its
// fastest S velocity; Error (Rule::frequencies) for frequencies outside the model's limits.
// A mode is built from the layer top that found it, unless the secular function there does
// not vanish (|F| > 1e-3: a root the counted search took at a pole); then from the layer top
// where |F| is least. A model with transversely isotropic layers has its modes built from
// the layers' stiffness instead (eigen/transverse_mode.h), unit vertical (Love: transverse)
// displacement at the free surface as for isotropic modes (and so its eigenfunctions);
// sensitivity_kernels and secular_function refuse such a model (Error, Rule::request):
// transverse_kernels (vemlari/transverse_kernels.h) gives its kernels.
Properties mode_properties(const Model& model, const Modes& modes, int threads = 1);

// The eigenfunctions of mode `mode` of `wave` at frequency entry `frequency` of `modes`, at
// the given depths (m, >= 0, non-decreasing). A depth on an interface belongs to the layer
// above. Throws Error if the mode does not exist there, and as mode_properties does.
Eigenfunctions eigenfunctions(const Model& model, const Modes& modes, Wave wave, std::size_t frequency, int mode,
                              std::span<const double> depths);

// The secular function of `wave` at frequency f (Hz, within frequency_limits(model), else
// Error Rule::frequencies) for each phase velocity (m/s, min_velocity to max_velocity,
// else Error Rule::request), referred to the top of `layer` (1: the free surface;
// 2 .. layers - 1: the top of a deeper layer, where modes trapped in a slow layer show).
// Its zeros are the modes. Needs a layer above the half-space.
std::vector<std::complex<double>> secular_function(const Model& model, Wave wave, double frequency,
                                                   std::span<const double> phase_velocities, int layer = 1);

}  // namespace vemlari
