#pragma once
// Value buffer of one comma-separated record: the leading field and up to 500 group values,
// the capacity of the "(F8.4,500(',',E12.4))" rows and of the headings.
#include <array>
#include <span>

#include "records/layout.h"

namespace vemlari {

using Row = std::array<LayoutValue, 501>;

inline std::span<const LayoutValue> first(const Row& row, int n) { return {row.data(), static_cast<std::size_t>(n)}; }

}  // namespace vemlari
