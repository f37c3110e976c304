#include "program/refusal.h"

#include <cmath>

#include "records/free_form.h"
#include "records/run_stop.h"

namespace vemlari {

namespace {
constexpr const char* indat_head = " FROM SUBROUTINE INDAT :";
}

void refuse(Streams& st, const std::string& rule) {
    const std::string line = " " + rule + ", THUS STOP !!!";
    write_free(st, unit::console, {indat_head});
    write_free(st, unit::console, {std::string_view(line)});
    write_free(st, unit::log, {indat_head});
    write_free(st, unit::log, {std::string_view(line)});
    throw RunStop();
}

void require_positive(Streams& st, double v, const std::string& name) {
    if (!(std::isfinite(v) && v > 0.0)) refuse(st, name + " must be a positive finite number");
}

void require_finite(Streams& st, double v, const std::string& name) {
    if (!std::isfinite(v)) refuse(st, name + " must be a finite number");
}

}  // namespace vemlari
