#pragma once
// Refusal of a value the computation cannot use: the model reader's message on the console
// and the log, then the end of the run.
#include <string>

#include "records/streams.h"

namespace vemlari {

// Writes " FROM SUBROUTINE INDAT :" and " <rule>, THUS STOP !!!" to console and log; throws RunStop.
[[noreturn]] void refuse(Streams& st, const std::string& rule);
void require_positive(Streams& st, double v, const std::string& name);
void require_finite(Streams& st, double v, const std::string& name);

}  // namespace vemlari
