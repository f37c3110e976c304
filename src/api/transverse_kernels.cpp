// Kernels of transversely isotropic models from the layer energy integrals.
#include "vemlari/transverse_kernels.h"

#include "api/admission.h"
#include "eigen/transverse_mode.h"
#include "eigen/transverse_mode_kernels.h"
#include "model/nstrc.h"
#include "parallel/per_frequency.h"

namespace vemlari {

using namespace detail;

namespace {

struct Slot {};

}  // namespace

TransverseKernels transverse_kernels(const Model& model, const Modes& modes, int threads) {
    if (threads < 1) throw Error(Error::Rule::option, "the number of threads must be at least 1");
    check_modes(model, modes);
    check_no_water_over_anisotropy(model, "transverse kernels");
    const std::size_t n = modes.frequencies.size();
    const Nstrc s = nstrc_of(model);
    TransverseKernels out;
    out.love.assign(n, {});
    out.rayleigh.assign(n, {});
    for_each_frequency<Slot>(n, threads, [&](std::size_t k, Slot&) {
        const double om = modes.frequencies.property_angular(k);
        for (Wave wave : {Wave::love, Wave::rayleigh}) {
            const WaveModes& wm = modes[wave];
            std::vector<TransverseModeKernels>& row = wave == Wave::love ? out.love[k] : out.rayleigh[k];
            row.resize(wm.phase_velocity[k].size());
            for (std::size_t md = 0; md < row.size(); ++md) {
                const double c = wm.phase_velocity[k][md];
                row[md] = transverse_mode_kernels(transverse_mode(wave, om, c, wm.found_at[k][md], s), om, c, s);
            }
        }
    });
    return out;
}

}  // namespace vemlari
