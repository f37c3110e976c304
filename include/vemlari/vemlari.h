#pragma once
// vemlari: normal modes (Love and Rayleigh) of a horizontally layered elastic half-space.
//
//   vemlari::Model model({{2000, 4500, 2600, 2500}, {0, 8000, 4500, 3300}});
//   auto modes = vemlari::find_modes(model, vemlari::Frequencies::hertz({0.1, 0.2}));
//   auto props = vemlari::mode_properties(model, modes);
//   double c0 = modes.rayleigh.phase_velocity[0][0];      // m/s
//   double u0 = props.rayleigh.modes[0][0].group_velocity;  // m/s
#include "vemlari/cancellation.h"
#include "vemlari/compute.h"
#include "vemlari/error.h"
#include "vemlari/flattening.h"
#include "vemlari/free_form_list.h"
#include "vemlari/frequencies.h"
#include "vemlari/grid_eigenfunctions.h"
#include "vemlari/model.h"
#include "vemlari/model_files.h"
#include "vemlari/options.h"
#include "vemlari/results.h"
#include "vemlari/scan_range.h"
#include "vemlari/sensitivity.h"
#include "vemlari/threads.h"
#include "vemlari/transverse_kernels.h"
#include "vemlari/version.h"
