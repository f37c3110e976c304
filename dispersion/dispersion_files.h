#pragma once
// The pole files: highest mode index per frequency and the phase velocities of every mode.
#include "dispersion/ccmd.h"
#include "driver/run_state.h"
#include "records/streams.h"

namespace vemlari {

void write_dispersion_files(Streams& st, const Freq& fq, const Ccmd& t);

}  // namespace vemlari
