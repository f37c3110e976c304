#pragma once
// Destination of finished records. The stream table is the real one; a transcript can stand
// in for it when records must be collected first and written later in program order.
#include <string_view>

#include "records/stream_table.h"

namespace vemlari {

class RecordSink {
public:
    virtual ~RecordSink() = default;
    // Writes one finished record (without its line end) to stream `unit`. `layout` is the
    // template of the statement that produced it, empty for a free-form statement.
    virtual void put(int unit, std::string_view record, std::string_view layout) = 0;
};

}  // namespace vemlari
