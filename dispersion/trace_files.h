#pragma once
// Secular-function traces of a check run: phase velocity, real and imaginary parts as
// plain data files, and all of them with the modulus as a CSV file, per wave type.
#include "kernels/complex.h"
#include "records/record_sink.h"
#include "records/streams.h"

namespace vemlari {

struct TraceUnits {
    int c, re, im, csv;
};
constexpr TraceUnits love_trace{11, 12, 13, 17};
constexpr TraceUnits rayleigh_trace{14, 15, 16, 18};

// Opens the eight trace files and writes the two CSV headers.
void open_trace_files(Streams& st);
void close_trace_files(Streams& st);
// One traced point (c, F) of a wave type.
void write_trace(RecordSink& out, const TraceUnits& u, double c, cplx f);

}  // namespace vemlari
