#include <gtest/gtest.h>
#include <string.h>
#include "../../src/dll/idle.h"

TEST(InputIdle, WholeSecondsSinceTheLastInputAcrossTheWrap)
{
    EXPECT_EQ(0u, InputIdleSeconds(5000, 5000));
    EXPECT_EQ(4u, InputIdleSeconds(5999, 1000));
    EXPECT_EQ(2u, InputIdleSeconds(1000, 0xFFFFFFFFu - 999));  // the tick count wrapped
    // Input after the tick was read (or a clock that went back) is no idleness, not 49 days.
    EXPECT_EQ(0u, InputIdleSeconds(1000, 1500));
}

TEST(DiskIdle, ActivityNoActivityWrapAndAClockGoingBack)
{
    DiskIdleTracker t;
    ResetDiskIdle(&t);
    EXPECT_EQ(0u, SampleDiskIdle(&t, 1, 100, 10000));  // first sample: the idle time starts
    EXPECT_EQ(5u, SampleDiskIdle(&t, 1, 100, 15000));  // no activity
    EXPECT_EQ(0u, SampleDiskIdle(&t, 1, 101, 16000));  // activity
    EXPECT_EQ(2u, SampleDiskIdle(&t, 1, 101, 18500));
    EXPECT_EQ(0u, SampleDiskIdle(&t, 1, 0, 19000));    // counters wrapped: still activity
    EXPECT_EQ(60u, SampleDiskIdle(&t, 1, 0, 79000));
    EXPECT_EQ(0u, SampleDiskIdle(&t, 1, 0, 50000));    // the clock went back: start afresh
    EXPECT_EQ(1u, SampleDiskIdle(&t, 1, 0, 51000));
    EXPECT_EQ(0u, SampleDiskIdle(&t, 0, 0, 500000));   // counters lost: "not idle"
    EXPECT_EQ(0u, SampleDiskIdle(&t, 1, 0, 501000));   // and the next reading starts afresh
    EXPECT_EQ(3u, SampleDiskIdle(&t, 1, 0, 504000));
}

TEST(DiskIdle, ReadWriteCountsFromEitherRecordLayout)
{
    unsigned char answer[88];
    memset(answer, 0, sizeof answer);
    answer[32] = 1; answer[36] = 2;  // NT 4: after four 64-bit fields
    answer[40] = 3; answer[44] = 4;  // 2000 and later: IdleTime comes first
    uint32_t reads = 0, writes = 0;
    ASSERT_EQ(1, DiskCountsFromPerformance(answer, 88, &reads, &writes));
    EXPECT_EQ(3u, reads);
    EXPECT_EQ(4u, writes);
    ASSERT_EQ(1, DiskCountsFromPerformance(answer, 48, &reads, &writes));
    EXPECT_EQ(1u, reads);
    EXPECT_EQ(2u, writes);
    EXPECT_EQ(0, DiskCountsFromPerformance(answer, 40, &reads, &writes));
}

TEST(TimeOfDay, SecondsSinceMidnight)
{
    EXPECT_EQ(0u, SecondsOfDay(0, 0, 0));
    EXPECT_EQ(45296u, SecondsOfDay(12, 34, 56));
    EXPECT_EQ(86399u, SecondsOfDay(23, 59, 59));
}
