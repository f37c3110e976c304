#include <cmath>
#include <string>

#include "api/admission.h"
#include "kernels/secular.h"
#include "model/nstrc.h"
#include "vemlari/compute.h"

namespace vemlari {

using namespace detail;

std::vector<std::complex<double>> secular_function(const Model& model, Wave wave, double frequency,
                                                   std::span<const double> phase_velocities, int layer) {
    if (model.fluid_layers() > 0)
        throw Error(Error::Rule::request,
                    "layer 1 is a fluid (vs = 0): the secular function is that of solid layers only", 1, "vs", 0.0);
    check_isotropic(model, "the scan's secular function");
    const Nstrc s = nstrc_of(model);
    if (s.nl < 2) throw Error(Error::Rule::request, "a secular function needs a layer above the half-space");
    if (!(std::isfinite(frequency) && frequency > 0.0))
        throw Error(Error::Rule::frequencies, "the frequency must be a positive finite number of Hz");
    check_frequencies(model, Frequencies::hertz({frequency}));
    if (layer < 1 || layer > s.nl - 1)
        throw Error(Error::Rule::request,
                    "layer " + std::to_string(layer) + " must be 1 .. " + std::to_string(s.nl - 1));
    // The velocities a layer may have (min_velocity, max_velocity): wavenumbers stay in
    // range with them.
    for (std::size_t i = 0; i < phase_velocities.size(); ++i)
        if (!(phase_velocities[i] >= min_velocity && phase_velocities[i] <= max_velocity))
            throw Error(Error::Rule::request,
                        "phase velocity " + std::to_string(i + 1) + " must lie between 0.001 and 1e9 m/s");
    const double om = 8.0 * std::atan(1.0) * frequency;
    const double mu = s.rho[1] * s.vs[1] * s.vs[1];
    LoveWork lw;
    RayleighWork rw;
    std::vector<std::complex<double>> out;
    out.reserve(phase_velocities.size());
    for (double c : phase_velocities) {
        const double wn = om / c;
        cplx f;
        if (wave == Wave::love)
            f = layer == 1 ? love_secular(om, wn, s, lw) : love_secular_at(om, wn, layer, s, lw);
        else
            f = layer == 1 ? rayleigh_secular(om, wn, mu * mu, s, rw) : rayleigh_secular_at(om, wn, layer, s, rw);
        out.emplace_back(f.re, f.im);
    }
    return out;
}

}  // namespace vemlari
