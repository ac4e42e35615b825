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
    EXPECT_EQ(2147483u, InputIdleSeconds(0x7FFFFFFFu, 0));  // just under 2^31 ms is idle time
    EXPECT_EQ(0u, InputIdleSeconds(0x80000000u, 0));        // 2^31 ms is the input ahead of now
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
    EXPECT_EQ(60u, SampleDiskIdle(&t, 1, 0, 79000));   // two samples in one millisecond
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
    for (size_t len : {44, 87}) {  // the NT 4 record is 44 bytes; anything short of 88 is one
        reads = writes = 0;
        ASSERT_EQ(1, DiskCountsFromPerformance(answer, len, &reads, &writes)) << len;
        EXPECT_EQ(1u, reads) << len;
        EXPECT_EQ(2u, writes) << len;
    }
    EXPECT_EQ(0, DiskCountsFromPerformance(answer, 43, &reads, &writes));
}

TEST(TimeOfDay, SecondsSinceMidnight)
{
    EXPECT_EQ(0u, SecondsOfDay(0, 0, 0));
    EXPECT_EQ(45296u, SecondsOfDay(12, 34, 56));
    EXPECT_EQ(86399u, SecondsOfDay(23, 59, 59));
}

// The program takes a time of day of 0 for a lost reading and restarts the counters, so it does
// every night at 00:00:00. The idle times run on through it.
TEST(Counters, IdleTimesRunOnThroughMidnight)
{
    DiskIdleTracker disk = {};
    PlatformSample sample = {};
    sample.haveClock = sample.haveDisks = sample.haveInput = 1;
    sample.diskSignature = 77;
    ASSERT_EQ(1u, CountersGetTime(&disk, NULL, sample));
    struct { unsigned hour, minute, second; uint32_t timeOfDay, idle; } table[] = {
        {23, 59, 58, 86398, 0}, {23, 59, 59, 86399, 1}, {0, 0, 0, 0, 2}, {0, 0, 1, 1, 3}, {0, 0, 2, 2, 4}};
    for (uint32_t i = 0; i < sizeof table / sizeof table[0]; ++i) {
        sample.hour = table[i].hour;
        sample.minute = table[i].minute;
        sample.second = table[i].second;
        sample.uptimeMs = 3600000 + i * 1000;
        sample.nowTick = 3600000 + i * 1000;
        sample.lastInputTick = 3600000;
        Counters c;
        ASSERT_EQ(1u, CountersGetTime(&disk, &c, sample));
        EXPECT_EQ(table[i].timeOfDay, c.timeOfDay) << i;
        EXPECT_EQ(table[i].idle, c.diskIdle) << i;
        EXPECT_EQ(table[i].idle, c.inputIdle) << i;
        EXPECT_EQ(3600u + i, c.uptime) << i;
        if (c.timeOfDay == 0) {
            EXPECT_EQ(1u, CountersGetTime(&disk, NULL, sample));  // as the program does
        }
    }
    sample.haveClock = 0;  // a clock that cannot be read: the counters cannot start
    EXPECT_EQ(0u, CountersGetTime(&disk, NULL, sample));
}
