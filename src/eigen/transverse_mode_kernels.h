#pragma once
// The phase-velocity kernels of one mode of a radially anisotropic model from its layer
// energy integrals (the variational principle).
#include "eigen/transverse_mode.h"
#include "model/nstrc.h"
#include "vemlari/transverse_kernels.h"

namespace vemlari::detail {

// The kernels of the mode `t` (transverse_mode at om and phase velocity c on s); NaN entries
// where t is not valid.
TransverseModeKernels transverse_mode_kernels(const TransverseMode& t, double om, double c, const Nstrc& s);

}  // namespace vemlari::detail
