#include "dispersion/merge_roots.h"

namespace vemlari::detail {

namespace {

bool overlap(const ScanRoots& a, int i, const ScanRoots& b, int j) {
    const auto u = static_cast<std::size_t>(i), v = static_cast<std::size_t>(j);
    return b.lo[v] <= a.hi[u] && a.lo[u] <= b.hi[v];
}

}  // namespace

void merge_roots(ScanRoots& into, const ScanRoots& more) {
    // Either list overflowing means the merged one does too.
    if (into.overflowing() || static_cast<std::size_t>(more.n) > into.capacity) {
        into.n += more.n;
        return;
    }
    ScanRoots all;
    all.capacity = into.capacity;
    int a = 0, b = 0;
    auto keep = [&](const ScanRoots& from, int i) {
        const auto u = static_cast<std::size_t>(i);
        all.add(from.c[u], from.lo[u], from.hi[u], from.top[u]);
    };
    while (a < into.n || b < more.n) {
        if (b == more.n || (a < into.n && into.c[static_cast<std::size_t>(a)] <= more.c[static_cast<std::size_t>(b)])) {
            keep(into, a++);
            continue;
        }
        const int j = b++;
        const bool twice = (all.n > 0 && !all.overflowing() && overlap(all, all.n - 1, more, j)) ||
                           (a < into.n && overlap(into, a, more, j));
        if (!twice) keep(more, j);
    }
    into = std::move(all);
}

}  // namespace vemlari::detail
