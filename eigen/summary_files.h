#pragma once
// The files written after the frequency loop of the eigenvector stage: group velocities,
// dispersion tables, medium responses and H/V ratios. Replaces missing velocities in place.
#include "driver/run.h"

namespace vemlari {

void write_summary_files(Run& run);

}  // namespace vemlari
