#include <gtest/gtest.h>
#include <string.h>
#include "../../src/scheduler/trigger.h"

namespace {

class DueScheme : public ::testing::Test {
protected:
    void TearDown() override { FreeSchemeList(SchemeListHead()); }
    Scheme *Add(const char *name, uint32_t kind, uint32_t minutes)
    {
        Scheme *s = AddScheme(name);
        s->triggerKind = kind;
        s->triggerMinutes = minutes;
        return s;
    }
    Scheme *Due(uint32_t timeOfDay, uint32_t disk, uint32_t input, uint32_t uptime)
    {
        return FindDueScheme(*SchemeListHead(), Counters{timeOfDay, disk, input, uptime});
    }
};

TEST_F(DueScheme, EachKindComparesItsOwnCounterInWholeMinutes)
{
    Scheme *clock = Add("clock", 0, 450), *disk = Add("disk", 1, 5), *input = Add("input", 2, 10),
           *up = Add("up", 3, 1439);
    EXPECT_EQ(clock, Due(450 * 60 + 59, 0, 0, 0));
    EXPECT_EQ(nullptr, Due(451 * 60, 299, 599, 1439 * 60 - 1));
    EXPECT_EQ(disk, Due(1, 300, 0, 0));
    EXPECT_EQ(disk, Due(1, 359, 0, 0));
    EXPECT_EQ(nullptr, Due(1, 360, 0, 0));  // a passed minute never fires late
    EXPECT_EQ(input, Due(1, 0, 600, 0));
    EXPECT_EQ(up, Due(1, 0, 0, 1439 * 60));
}

TEST_F(DueScheme, FirstInListOrderSkippingSuspendedAndFired)
{
    Scheme *paused = Add("paused", 0, 10), *done = Add("done", 0, 10), *a = Add("a", 0, 10), *b = Add("b", 0, 10);
    paused->suspended = 7;
    done->fired = 1;
    EXPECT_EQ(a, Due(600, 0, 0, 0));
    a->fired = 1;  // at most one fires per tick; the next one on a later tick
    EXPECT_EQ(b, Due(600, 0, 0, 0));
    b->fired = 1;
    EXPECT_EQ(nullptr, Due(600, 0, 0, 0));
    EXPECT_EQ(nullptr, FindDueScheme(nullptr, Counters{600, 0, 0, 0}));
}

TEST(ElapsedSeconds, MatchesWholeSecondDifferencesAndSurvivesTheWrap)
{
    const uint32_t starts[] = {0, 999, 1000, 123456789, 0xFFFFFFFFu - 2500, 0xFFFFFFFFu};
    for (uint32_t start : starts) {
        for (uint32_t later = 0; later < 5000; later += 7) {
            uint32_t now = start + later;  // may wrap
            uint64_t exact = ((uint64_t)start + later) / 1000 - start / 1000;
            ASSERT_EQ(exact, ElapsedSeconds(start, now)) << "start " << start << " later " << later;
        }
    }
    // The old whole-second difference jumps by about 4,294,967 seconds at the wrap.
    EXPECT_EQ(2u, ElapsedSeconds(0xFFFFFFFFu - 1500, 500));
}

TEST(Countdown, NinetySecondsOfDelay)
{
    CountdownStep step;
    StepCountdown(1, 90, 1, &step);
    EXPECT_FALSE(step.ended);
    EXPECT_STREQ("01分29秒", step.remaining);
    EXPECT_EQ(1u, step.percent);
    EXPECT_FALSE(step.beep);
    StepCountdown(90, 90, 1, &step);
    EXPECT_FALSE(step.ended);
    EXPECT_STREQ("00分00秒", step.remaining);
    EXPECT_EQ(100u, step.percent);
    StepCountdown(91, 90, 1, &step);
    EXPECT_TRUE(step.ended);
    EXPECT_EQ(1, step.result);
    EXPECT_EQ(0, step.exitFlags);
}

TEST(Countdown, OutcomeOfEachAction)
{
    struct { uint32_t action; int result; int32_t flags; int beeps; } cases[] = {
        {0, 0, -1, 1}, {1, 1, 0, 0}, {2, 1, 2, 0}, {3, 1, 9, 0}, {4, 1, -1, 0}, {99, 1, -1, 0}};
    for (const auto &c : cases) {
        CountdownStep step;
        StepCountdown(3, 5, c.action, &step);
        EXPECT_EQ(c.beeps, step.beep) << "action " << c.action;
        StepCountdown(6, 5, c.action, &step);
        EXPECT_TRUE(step.ended);
        EXPECT_EQ(c.result, step.result) << "action " << c.action;
        EXPECT_EQ(c.flags, step.exitFlags) << "action " << c.action;
    }
}

TEST(Countdown, DelayOfZeroShowsAFullBarThenEndsRingingABellOnce)
{
    CountdownStep step;
    StepCountdown(0, 0, 0, &step);
    EXPECT_FALSE(step.ended);
    EXPECT_EQ(100u, step.percent);
    EXPECT_STREQ("00分00秒", step.remaining);
    StepCountdown(1, 0, 0, &step);
    EXPECT_TRUE(step.ended);
    EXPECT_EQ(0, step.result);
    EXPECT_TRUE(step.beep);  // a bell of delay 0 rings as it closes
    StepCountdown(1, 0, 1, &step);
    EXPECT_FALSE(step.beep);
}

TEST(Countdown, LongestDelayKeepsTwoDigits)
{
    CountdownStep step;
    StepCountdown(0, 3599, 3, &step);
    EXPECT_STREQ("59分59秒", step.remaining);
    EXPECT_EQ(0u, step.percent);
    StepCountdown(0, 120, 3, &step);  // whole minutes
    EXPECT_STREQ("02分00秒", step.remaining);
}

}  // namespace
