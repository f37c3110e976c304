// A process pinned to fewer cores than the machine has gets that many threads, not one per
// core of the machine (which would only compete for the pinned ones).
#include "vemlari/threads.h"

#include <gtest/gtest.h>
#include <sched.h>

namespace vemlari {
namespace {

TEST(UsableCores, FollowTheAffinityMask) {
    cpu_set_t all;
    ASSERT_EQ(sched_getaffinity(0, sizeof all, &all), 0);
    EXPECT_EQ(usable_cores(), CPU_COUNT(&all));
    int first = 0;
    while (!CPU_ISSET(first, &all)) ++first;
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(first, &one);
    ASSERT_EQ(sched_setaffinity(0, sizeof one, &one), 0);
    EXPECT_EQ(usable_cores(), 1);
    ASSERT_EQ(sched_setaffinity(0, sizeof all, &all), 0);
}

}  // namespace
}  // namespace vemlari
