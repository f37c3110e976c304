#include "cli/table_size.h"

#include <cstdio>

namespace vemlari::cli {

namespace {

// Bytes a row takes through the search, the table and its text, as measured (peak resident
// size against rows, 4 to 40 layers).
double bytes_per_row(TableKind kind) {
    switch (kind) {
        case TableKind::modes:
            return 400;
        case TableKind::kernels:
            return 600;
        case TableKind::eigen:
            return 250;
        case TableKind::secular:
            return 120;
    }
    return 600;
}

}  // namespace

std::string too_large(TableKind kind, double rows) {
    const double bytes = rows * bytes_per_row(kind);
    if (bytes <= max_table_bytes) return {};
    const double gb = bytes / 1e9;
    char text[256];
    std::snprintf(text, sizeof text,
                  "asks for at least %.0f rows of one model's table, about %.*f GB of memory, past the 2 GiB a "
                  "table may take: ask for fewer",
                  rows, gb < 10 ? 1 : 0, gb);
    return text;
}

}  // namespace vemlari::cli
