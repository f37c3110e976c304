// Which layers get a scan of their own, and how the roots of several scans become one
// mode list.
#include <gtest/gtest.h>

#include <vector>

#include "dispersion/merge_roots.h"
#include "dispersion/slow_layer_tops.h"
#include "tests/kernels_support.h"

namespace vemlari {

using namespace vemlari::detail;
namespace {

constexpr int nmode = 231;  // the program's table of modes 0 .. 230

using namespace vemlari::testing;

std::vector<int> tops_of(std::initializer_list<double> vs) {
    Nstrc s;
    for (double v : vs) s.add(2000, 2 * v, v, 100);
    return slow_layer_tops(s).layer;
}

TEST(SlowLayerTops, EveryLayerSlowerThanSomeLayerAboveItButNotTheHalfSpace) {
    EXPECT_EQ(tops_of({1500, 1000, 2000, 3000}), (std::vector<int>{2}));
    EXPECT_EQ(tops_of({1000, 2000, 3000}), std::vector<int>{});
    EXPECT_EQ(tops_of({1000, 1000, 3000}), std::vector<int>{});  // equal is not slower
    // Layer 3 is faster than layer 2 but still slower than layer 1.
    EXPECT_EQ(tops_of({2000, 1500, 1800, 1000, 3000}), (std::vector<int>{2, 3, 4}));
    // A slow half-space traps nothing: no stack below it reflects.
    EXPECT_EQ(tops_of({1000, 2000, 1500}), std::vector<int>{});
    EXPECT_EQ(tops_of({1000}), std::vector<int>{});
}

ScanRoots roots(std::initializer_list<std::array<double, 3>> rs, int top) {
    ScanRoots r;
    r.capacity = nmode;
    for (const auto& [lo, c, hi] : rs) r.add(c, lo, hi, top);
    return r;
}

TEST(MergeRoots, OverlappingBracketsAreOneModeAndKeepTheFirstScansValue) {
    ScanRoots into = roots({{99, 100, 101}, {199, 200, 201}, {300, 301, 302}}, 1);
    const ScanRoots more = roots({{50, 50.5, 51}, {149, 150, 151}, {200.9, 201.2, 202}, {302.5, 303, 304}}, 2);
    merge_roots(into, more);
    ASSERT_EQ(into.n, 6);
    const double c[] = {50.5, 100, 150, 200, 301, 303};
    const int top[] = {2, 1, 2, 1, 1, 2};
    for (int k = 0; k < 6; ++k) {
        EXPECT_EQ(into.c[k], c[k]) << k;
        EXPECT_EQ(into.top[k], top[k]) << k;
    }
    // Merging the same scan again adds nothing.
    merge_roots(into, more);
    EXPECT_EQ(into.n, 6);
}

TEST(MergeRoots, CountsPastTheTableStayPastIt) {
    ScanRoots full;
    full.capacity = nmode;
    for (int k = 0; k < nmode; ++k) full.add(1000 + k, 1000 + k - 0.1, 1000 + k + 0.1, 1);
    ScanRoots into = full;
    merge_roots(into, roots({{999, 999.5, 999.6}, {1000.05, 1000.1, 1000.2}}, 2));
    EXPECT_EQ(into.n, nmode + 1);  // one duplicate, one new root below all others
    EXPECT_EQ(into.c[0], 999.5);
    EXPECT_EQ(into.c[nmode - 1], 1000 + nmode - 2);
    // A scan that overflowed on its own makes the merged list overflow too.
    ScanRoots over;
    over.capacity = nmode;
    for (int k = 0; k < nmode + 3; ++k) over.add(5000 + k, 5000 + k - 0.1, 5000 + k + 0.1, 2);
    ScanRoots small = roots({{1, 2, 3}}, 1);
    merge_roots(small, over);
    EXPECT_GT(small.n, nmode);
}

}  // namespace
}  // namespace vemlari
