#pragma once
// The roots of one scan in increasing order, each with the last bracket [lo, hi] of its
// refinement, which holds the minimum of |F|, and the layer its function is referred to.
// `n` counts every root found; with a capacity, those past it are counted, not stored.
#include <cstddef>
#include <limits>
#include <vector>

#include "dispersion/root_history.h"

namespace vemlari::detail {

struct ScanRoots {
    std::vector<double> c, lo, hi;
    std::vector<int> top;
    int n = 0;
    std::size_t capacity = std::numeric_limits<std::size_t>::max();
    // Told each root kept, where the roots of this scan are final as found.
    RootSink* sink = nullptr;

    void clear() {
        c.clear();
        lo.clear();
        hi.clear();
        top.clear();
        n = 0;
    }
    // Counts a root, and keeps it while there is room.
    void add(double root, double low, double high, int layer) {
        if (static_cast<std::size_t>(n) < capacity) {
            c.push_back(root);
            lo.push_back(low);
            hi.push_back(high);
            top.push_back(layer);
            if (sink) sink->found(root);
        }
        ++n;
    }
    bool overflowing() const { return static_cast<std::size_t>(n) > capacity; }
};

}  // namespace vemlari::detail
