#include <gtest/gtest.h>
#include "../../src/schemes/file_rules.h"

namespace {

TEST(FileRules, ALeftoverNewFileIsTakenOnlyWhereItIsAloneAndWhole)
{
    struct { int there, fresh, decodes; LeftoverAction action; } rows[] = {
        {0, 0, 0, kNoLeftover},       {1, 0, 0, kNoLeftover},
        {1, 1, 1, kRemoveLeftover},   {1, 1, 0, kRemoveLeftover},  // the scheme file is the truth
        {0, 1, 1, kPromoteLeftover},  {0, 1, 0, kSetLeftoverAside},
    };
    for (const auto &r : rows)
        EXPECT_EQ(r.action, LeftoverNewFileAction(r.there, r.fresh, r.decodes)) << r.there << r.fresh << r.decodes;
}

TEST(FileRules, BriefLocksAreWaitedOutForAboutASecondAndUnreadableFilesBackOff)
{
    EXPECT_TRUE(IsBriefLock(32, 0) && IsBriefLock(33, 0) && IsBriefLock(5, 1));
    EXPECT_FALSE(IsBriefLock(5, 0) || IsBriefLock(2, 1) || IsBriefLock(0, 1));
    uint32_t total = 0;
    int attempt = 0;
    for (; BriefLockWaitMs(attempt); ++attempt) total += BriefLockWaitMs(attempt);
    EXPECT_LE(15u, BriefLockWaitMs(0));
    EXPECT_TRUE(total >= 900 && total <= 1100) << total;
    std::vector<uint32_t> ticks;
    for (int failures : {1, 2, 3, 8, 9, 1000}) ticks.push_back(UnreadableRetryTicks(failures));
    EXPECT_EQ((std::vector<uint32_t>{2, 4, 8, 256, 256, 256}), ticks);
}

TEST(FileRules, ASessionActionIsForcedOnlyOnHungProgramsWithoutTheOption)
{
    struct { uint32_t flags, force, major, expected; } rows[] = {
        {0, 0, 4, 0},     {9, 0, 4, 9},            // NT 4 does not know EWX_FORCEIFHUNG
        {0, 0, 5, 0x10},  {2, 0, 6, 0x12},  {9, 0, 10, 0x19},
        {0, 1, 4, 4},     {2, 7, 5, 6},     {9, 1, 10, 13},  // the force option: as it was
    };
    for (const auto &r : rows)
        EXPECT_EQ(r.expected, SessionExitFlags(r.flags, r.force, r.major)) << r.flags << " " << r.major;
}

}  // namespace
