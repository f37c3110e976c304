#pragma once
// Destination of finished records. The stream table is the real one; a transcript can stand
// in for it when records must be collected first and written later in program order.
#include <string_view>

namespace vemlari {

// Stream numbers the program uses.
namespace unit {
constexpr int error = 0;
constexpr int keyboard = 5;
constexpr int console = 6;
constexpr int model = 7;
constexpr int log = 10;
}  // namespace unit

class RecordSink {
public:
    virtual ~RecordSink() = default;
    // Writes one finished record (without its line end) to stream `unit`. `layout` is the
    // template of the statement that produced it, empty for a free-form statement.
    virtual void put(int unit, std::string_view record, std::string_view layout) = 0;
};

}  // namespace vemlari
