#include <algorithm>
#include <cmath>
#include <limits>

#include "vemlari/scan_range.h"

namespace vemlari {

namespace {

constexpr double smallest_wavenumber = 1e-100;  // 1/m
constexpr double largest_wavenumber = 1e100;    // 1/m
constexpr double largest_decay = 600.0;         // exponent of the surface decay of a trapped mode

// The slowest phase velocity the scans reach: below the slowest S velocity (Love) and the
// Rayleigh velocity of the slowest layer (Rayleigh).
double slowest_trial(const ScanRange& r) { return r.cmin > 0.0 ? std::fmin(r.vsmin, r.cmin) : r.vsmin; }

// Decay exponent per unit angular frequency (s/m times m) of the slowest trial wave through
// the layers above the deepest layer slower than one above it.
double trapped_decay_per_omega(const Model& model, double c) {
    const std::size_t below = model.size() - 1;  // the half-space reflects nothing back
    std::size_t deepest = 0;
    double fastest_above = 0.0;
    for (std::size_t i = 0; i < below; ++i) {
        if (i > 0 && model[i].vs < fastest_above) deepest = i;
        fastest_above = std::fmax(fastest_above, model[i].vs);
    }
    double sum = 0.0;
    for (std::size_t i = 0; i < deepest; ++i) {
        const double slowness2 = 1.0 / (c * c) - 1.0 / (model[i].vs * model[i].vs);
        if (slowness2 > 0.0) sum += model[i].thickness * std::sqrt(slowness2);
    }
    return sum;
}

}  // namespace

FrequencyLimits frequency_limits(const Model& model) {
    const ScanRange r = scan_range(model);
    const double pi2 = 8.0 * std::atan(1.0);
    const double fastest_trial = r.cmax > 0.0 ? r.cmax : r.vsmax;
    const double c = slowest_trial(r);
    double highest_omega = largest_wavenumber * c;
    const double decay = trapped_decay_per_omega(model, c);
    if (decay > 0.0) highest_omega = std::fmin(highest_omega, largest_decay / decay);
    return {smallest_wavenumber * fastest_trial / pi2, highest_omega / pi2};
}

}  // namespace vemlari
