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
// Rayleigh velocity of the slowest layer (Rayleigh); with water on top, below half the
// water's sound speed too (the Scholte wave at the sea floor is slower than both).
double slowest_trial(const Model& model, const ScanRange& r) {
    double c = r.cmin > 0.0 ? std::fmin(r.vsmin, r.cmin) : r.vsmin;
    for (std::size_t i = 0; i < model.fluid_layers(); ++i) c = std::fmin(c, 0.5 * model[i].vp);
    return c;
}

// Decay exponent per unit angular frequency (s/m times m) of the slowest trial wave through
// the layers above the deepest layer slower than one above it (or the sea floor, where the
// Scholte wave is trapped); a fluid layer's wave is its P wave.
double trapped_decay_per_omega(const Model& model, double c) {
    const std::size_t below = model.size() - 1;  // the half-space reflects nothing back
    const std::size_t fluid = model.fluid_layers();
    std::size_t deepest = std::min(fluid, below);
    double fastest_above = 0.0;
    for (std::size_t i = fluid; i < below; ++i) {
        if (i > fluid && model[i].vs < fastest_above) deepest = i;
        fastest_above = std::fmax(fastest_above, model[i].vs);
    }
    double sum = 0.0;
    for (std::size_t i = 0; i < deepest; ++i) {
        const double v = i < fluid ? model[i].vp : model[i].vs;
        const double slowness2 = 1.0 / (c * c) - 1.0 / (v * v);
        if (slowness2 > 0.0) sum += model[i].thickness * std::sqrt(slowness2);
    }
    return sum;
}

}  // namespace

FrequencyLimits frequency_limits(const Model& model) {
    const ScanRange r = scan_range(model);
    const double pi2 = 8.0 * std::atan(1.0);
    const double fastest_trial = r.cmax > 0.0 ? r.cmax : r.vsmax;
    const double c = slowest_trial(model, r);
    double highest_omega = largest_wavenumber * c;
    const double decay = trapped_decay_per_omega(model, c);
    if (decay > 0.0) highest_omega = std::fmin(highest_omega, largest_decay / decay);
    return {smallest_wavenumber * fastest_trial / pi2, highest_omega / pi2};
}

}  // namespace vemlari
