#pragma once
// The records of what the computation met and went on with: a candidate that did not
// converge (console and log), a near-singular SH term (log).
#include "records/record_sink.h"
#include "vemlari/results.h"

namespace vemlari {

void write_diagnostic(RecordSink& out, const Diagnostic& d);

}  // namespace vemlari
