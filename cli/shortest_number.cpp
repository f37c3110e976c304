#include "cli/shortest_number.h"

#include <charconv>
#include <cmath>

namespace vemlari::cli {

void append_shortest(std::string& out, double v) {
    if (std::isnan(v)) {
        out += "nan";
        return;
    }
    // Shortest round trip; 24 characters hold the longest ("-2.2250738585072014e-308").
    char buffer[32];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, v);
    out.append(buffer, r.ptr);
}

}  // namespace vemlari::cli
