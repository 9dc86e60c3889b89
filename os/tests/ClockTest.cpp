#include "os/Clock.h"

#include <gtest/gtest.h>

namespace {

TEST(Clock, TickReachedComparesBySignedDifferenceAcrossTheWrap) {
    struct Case {
        uint32_t now, deadline;
        bool reached;
    };
    const Case cases[] = {
        {100, 100, true},
        {101, 100, true},
        {99, 100, false},
        {0xFFFFFFF0u, 0x00000010u, false},  // deadline lies just after the wrap
        {0x00000010u, 0xFFFFFFF0u, true},   // now has wrapped past the deadline
        {0x7FFFFFFFu, 0u, true},            // 2^31 - 1 ms later: still reached
        {0x80000000u, 0u, false},           // 2^31 ms apart reads as "before"
    };
    for (const Case& c : cases) {
        EXPECT_EQ(os::TickReached(c.now, c.deadline), c.reached) << c.now << " vs " << c.deadline;
    }
}

TEST(Clock, TestSourceReplacesTheRealClockUntilReset) {
    uint32_t fake = 0xFFFFFFFEu;
    os::SetTickSourceForTest([&] { return fake; });
    EXPECT_EQ(os::TickCount(), 0xFFFFFFFEu);
    fake += 5;  // wraps
    EXPECT_EQ(os::TickCount(), 3u);
    os::SetTickSourceForTest(nullptr);
    const uint32_t a = os::TickCount();
    const uint32_t b = os::TickCount();
    EXPECT_TRUE(os::TickReached(b, a));  // the real clock runs forward
}

}  // namespace
