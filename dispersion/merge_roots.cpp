#include "dispersion/merge_roots.h"

namespace vemlari {

namespace {

bool overlap(const ScanRoots& a, int i, const ScanRoots& b, int j) { return b.lo[j] <= a.hi[i] && a.lo[i] <= b.hi[j]; }

void copy_root(const ScanRoots& from, int i, ScanRoots& to, int k) {
    to.c[k] = from.c[i];
    to.lo[k] = from.lo[i];
    to.hi[k] = from.hi[i];
    to.top[k] = from.top[i];
}

}  // namespace

void merge_roots(ScanRoots& into, const ScanRoots& more) {
    // Either list overflowing the table means the merged one does too.
    if (into.n > nmode || more.n > nmode) {
        into.n += more.n;
        return;
    }
    // Entries past nmode only count.
    ScanRoots all;
    int n = 0, a = 0, b = 0;
    auto keep = [&](const ScanRoots& from, int i) {
        if (n < nmode) copy_root(from, i, all, n);
        ++n;
    };
    while (a < into.n || b < more.n) {
        if (b == more.n || (a < into.n && into.c[a] <= more.c[b])) {
            keep(into, a++);
            continue;
        }
        const int j = b++;
        const bool twice = (n > 0 && n <= nmode && overlap(all, n - 1, more, j)) || (a < into.n && overlap(into, a, more, j));
        if (!twice) keep(more, j);
    }
    all.n = n;
    into = all;
}

}  // namespace vemlari
