#pragma once
// Phase-velocity kernels of radially anisotropic (transversely isotropic, vertical axis)
// models: the partial derivatives of every mode's phase velocity c at fixed frequency with
// respect to each layer's elastic constants A, C, F, L, N and density (Model: Layer), and
// with respect to its velocities vpv, vph, vsv, vsh, eta and density, from the energy
// integrals of the mode (the variational principle). Any model: an isotropic layer counts as
// one with A = C = rho vp^2, L = N = rho vs^2, F = A - 2L (its vph, vsh derivatives then
// split what dc_dvp and dc_dvs of vemlari/sensitivity.h hold together).
#include <vector>

#include "vemlari/compute.h"

namespace vemlari {

// One mode at one frequency; one entry per layer from the top, the half-space last. A
// positive entry means c rises with the parameter. Love waves: only L, N (vsv, vsh) and
// density are non-zero.
struct TransverseModeKernels {
    // (m/s) per unit of the constant (density unit times m^2/s^2), at fixed density.
    std::vector<double> dc_da, dc_dc, dc_df, dc_dl, dc_dn;
    // (m/s) per density unit, at fixed constants.
    std::vector<double> dc_drho;
    // (m/s) per (m/s), and per unit eta, at fixed density.
    std::vector<double> dc_dvpv, dc_dvph, dc_dvsv, dc_dvsh, dc_deta;
    // (m/s) per density unit, at fixed velocities and eta.
    std::vector<double> dc_drho_velocities;
};

struct TransverseKernels {
    std::vector<std::vector<TransverseModeKernels>> love, rayleigh;  // [frequency][mode], as in WaveModes
};

// The kernels of every mode in `modes` (from find_modes on the same model), at the
// frequencies the mode properties use (Frequencies::property_angular). `threads` >= 1 (else
// Error, Rule::option). Throws Error as mode_properties does, and (Rule::request) for a model
// with radially anisotropic layers under water. A mode whose field cannot be
// formed (no motion at the free surface) has NaN entries.
TransverseKernels transverse_kernels(const Model& model, const Modes& modes, int threads = 1);

}  // namespace vemlari
