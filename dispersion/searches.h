#pragma once
// The Love search and the Rayleigh step at one frequency.
#include "driver/run.h"
#include "records/record_sink.h"

namespace vemlari {

void love_search(int io, double om, Run& run, RecordSink& out);
// Also covers the half-space (one mode, ccmin) and zero frequency (one mode, ccmax).
void rayleigh_search(int io, double om, Run& run, RecordSink& out);

}  // namespace vemlari
