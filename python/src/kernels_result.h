#pragma once
// vemlari.KernelsResult: one wave's modes, their kernels and attenuation as numpy arrays.
#include "python/src/result_type.h"

namespace vemlari::python {

struct KernelsResult : DispersionResult {
    // (n_f, n_modes, n_layers)
    py::array dc_dvs, dc_dvp, dc_drho, dc_dh, du_dvs, du_dvp, du_drho, du_dh, dhv_dvs, dhv_dvp, dhv_drho, dhv_dh,
        dc_dvsh, dc_dvph, dc_deta;
    // (n_f, n_modes)
    py::array inverse_q, gamma;
};

}  // namespace vemlari::python
