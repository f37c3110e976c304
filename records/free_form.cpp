#include "records/free_form.h"

#include <string>

#include "records/number_images.h"

namespace vemlari {

namespace {

// A record is full when placing the next item would bring it to this length or more.
constexpr std::size_t record_limit = 80;

std::size_t digit_count(long long v) {
    unsigned long long m = v < 0 ? 0ULL - static_cast<unsigned long long>(v) : static_cast<unsigned long long>(v);
    std::size_t n = 1;
    while (m >= 10) {
        m /= 10;
        ++n;
    }
    return n;
}

}  // namespace

void write_free(RecordSink& sink, int unit, std::initializer_list<FreeItem> items) {
    thread_local std::string rec;
    rec.clear();
    for (const FreeItem& item : items) {
        // Numbers are imaged in place first: their length decides the wrap, and the image
        // moves to the front of the new record when it does not fit.
        const std::size_t start = rec.size();
        std::size_t len = 0;
        switch (item.kind) {
            case FreeItem::Kind::text:
                len = item.text.size();
                break;
            case FreeItem::Kind::integer:
                len = digit_count(item.i);
                break;
            case FreeItem::Kind::real:
                append_free_real(rec, item.r);
                len = rec.size() - start;
                break;
            case FreeItem::Kind::complex:
                rec += " (";
                append_free_real_bare(rec, item.c.real());
                rec += ',';
                append_free_real_bare(rec, item.c.imag());
                rec += ')';
                len = rec.size() - start;
                break;
        }
        std::size_t used = start;
        if (start > 0 && start + len >= record_limit) {
            sink.put(unit, std::string_view(rec.data(), start), {});
            rec.erase(0, start);
            used = 0;
        }
        if (item.kind == FreeItem::Kind::text) {
            if (used == 0) rec += ' ';
            rec += item.text;
        } else if (item.kind == FreeItem::Kind::integer) {
            append_free_int(rec, item.i);
        }
    }
    sink.put(unit, rec, {});
}

}  // namespace vemlari
