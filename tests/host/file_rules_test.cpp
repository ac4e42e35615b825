#include <gtest/gtest.h>
#include <string>
#include "../../src/schemes/file_rules.h"

namespace {

TEST(FileRules, ALeftoverNewFileIsTakenOnlyWhereItIsAloneAndAWholeSave)
{
    struct { int there, fresh, complete; LeftoverAction action; } rows[] = {
        {0, 0, 0, kNoLeftover},       {1, 0, 0, kNoLeftover},
        {1, 1, 1, kRemoveLeftover},   {1, 1, 0, kRemoveLeftover},  // the scheme file is the truth
        {0, 1, 1, kPromoteLeftover},  {0, 1, 0, kSetLeftoverAside},
    };
    for (const auto &r : rows)
        EXPECT_EQ(r.action, LeftoverNewFileAction(r.there, r.fresh, r.complete)) << r.there << r.fresh << r.complete;
    // What a save writes: the empty list, or whatever the reading rules accept, a scheme without
    // a name from a hand-made file among them; a length that reached the disk without all of its
    // data reads as zeros from some point on, so a last record of zeros is torn.
    std::string named(84, '\0'), zeros(84, '\0'), unnamed(84, '\0'), outOfRange(84, '\0');
    named[0] = 'a';
    unnamed[80] = 1;  // the force-close word
    outOfRange[48] = 4;  // a trigger kind the reading rules refuse
    struct { std::string bytes; int complete; } files[] = {
        {"", 1}, {named, 1}, {named.substr(0, 80) + named, 1}, {zeros, 0}, {unnamed, 0},
        {named.substr(0, 80) + zeros, 0}, {named.substr(0, 80) + unnamed, 0}, {zeros.substr(0, 80) + named, 1},
        {outOfRange, 0}, {named + "x", 0}, {std::string(4, '\0'), 0}};
    for (const auto &f : files)
        EXPECT_EQ(f.complete, IsCompleteSave((const unsigned char *)f.bytes.data(), f.bytes.size())) << f.bytes.size();
}

TEST(FileRules, BriefLocksAreWaitedOutWithinOneDeadlineAndUnreadableFilesBackOff)
{
    EXPECT_TRUE(IsBriefLock(32, 0) && IsBriefLock(33, 0) && IsBriefLock(5, 1));
    EXPECT_FALSE(IsBriefLock(5, 0) || IsBriefLock(2, 1) || IsBriefLock(0, 1));
    // The writers' lock: "access denied" is a lock closed a moment ago where the file is there,
    // a folder that may not be written where it is not.
    EXPECT_TRUE(IsLockHeldElsewhere(32, 0) && IsLockHeldElsewhere(33, 1) && IsLockHeldElsewhere(5, 1));
    EXPECT_FALSE(IsLockHeldElsewhere(5, 0) || IsLockHeldElsewhere(3, 1));
    // The whole save, its write check and its replace together, keeps to about a second.
    struct { int attempt; uint32_t elapsed, wait; } rows[] = {
        {0, 0, 15}, {4, 225, 250}, {9, 500, 500}, {2, 990, 10}, {0, 1000, 0}, {1, 5000, 0}};
    for (const auto &r : rows) EXPECT_EQ(r.wait, BriefLockWaitMs(r.attempt, r.elapsed)) << r.attempt << " " << r.elapsed;
    std::vector<uint32_t> ticks;
    for (int failures : {1, 2, 3, 8, 9, 1000}) ticks.push_back(UnreadableRetryTicks(failures));
    EXPECT_EQ((std::vector<uint32_t>{2, 4, 8, 256, 256, 256}), ticks);
}

// The base's force-close word: the file's own, or where the file is the empty list (which keeps
// none), the word in effect when it was read or written.
TEST(FileRules, AnEmptyFileStandsForTheWordInEffect)
{
    std::string one(84, '\0'), damaged(83, '\0');
    one[80] = 1;
    struct { std::string bytes; uint32_t inEffect, word; } rows[] = {
        {"", 1, 1}, {"", 0, 0}, {one, 0, 1}, {one.substr(0, 80) + one, 0, 1}, {std::string(84, '\0'), 1, 0}, {damaged, 1, 1}};
    for (const auto &r : rows)
        EXPECT_EQ(r.word, WordOfFile((const unsigned char *)r.bytes.data(), r.bytes.size(), r.inEffect)) << &r - rows;
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
