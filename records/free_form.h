#pragma once
// Free-form records: a list of texts, integers, reals and complex values laid out by fixed
// rules, wrapped before an item would bring the record to 80 characters or more.
#include <complex>
#include <initializer_list>
#include <string_view>

#include "records/record_sink.h"

namespace vemlari {

struct FreeItem {
    enum class Kind { text, integer, real, complex };
    Kind kind;
    std::string_view text{};
    long long i = 0;
    double r = 0.0;
    std::complex<double> c{};

    FreeItem(const char* s) : kind(Kind::text), text(s) {}
    FreeItem(std::string_view s) : kind(Kind::text), text(s) {}
    FreeItem(int v) : kind(Kind::integer), i(v) {}
    FreeItem(long long v) : kind(Kind::integer), i(v) {}
    FreeItem(double v) : kind(Kind::real), r(v) {}
    FreeItem(std::complex<double> v) : kind(Kind::complex), c(v) {}
};

// One free-form write statement: one record, or several when the 80-character rule wraps.
// An empty list writes an empty record.
void write_free(RecordSink& sink, int unit, std::initializer_list<FreeItem> items);

}  // namespace vemlari
