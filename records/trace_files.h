#pragma once
// Secular-function traces of a check run: phase velocity, real and imaginary parts as
// plain data files, and all of them with the modulus as a CSV file, per wave type.
#include "records/streams.h"
#include "vemlari/results.h"

namespace vemlari {

// Opens the eight trace files and writes the two CSV headers.
void open_trace_files(Streams& st);
void close_trace_files(Streams& st);
// One traced point (c, F) of a wave type.
void write_trace(RecordSink& out, Wave wave, const TracePoint& p);

}  // namespace vemlari
