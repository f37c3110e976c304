#pragma once
// The pole files: highest mode index per frequency and the phase velocities of every mode.
#include "records/streams.h"
#include "records/tables.h"

namespace vemlari {

// Rows iom .. nom of the table.
void write_dispersion_files(Streams& st, int iom, int nom, const Ccmd& t);

}  // namespace vemlari
