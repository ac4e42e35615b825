#include <gtest/gtest.h>
#include <string.h>
#include "../../src/settings/settings_rules.h"

TEST(NumberEntry, AboveTheLimitKeepsOnlyTheLastDigit)
{
    struct { int32_t typed; uint32_t limit; uint32_t stored; int corrected; } cases[] = {
        {24, 23, 4, 1}, {23, 23, 23, 0}, {123, 23, 3, 1}, {0, 23, 0, 0}, {60, 59, 0, 1},
        {75, 59, 5, 1}, {59, 59, 59, 0}, {56, 59, 56, 0}, {-1, 59, 5, 1}};
    for (const auto &c : cases) {
        int corrected = -1;
        EXPECT_EQ(c.stored, CorrectNumberEntry(c.typed, c.limit, &corrected)) << c.typed;
        EXPECT_EQ(c.corrected, corrected) << c.typed;
        EXPECT_LE(CorrectNumberEntry(c.typed, c.limit, &corrected), c.limit);
    }
}

TEST(CounterLine, HoursAreNotWrappedAndGroupsStandThreeBlanksApart)
{
    char line[kCounterLineSize];
    FormatCounterLine(Counters{45296, 59, 360000, 3600}, line);
    EXPECT_STREQ("12:34:56   00:00:59   100:00:00   01:00:00", line);
    FormatCounterLine(Counters{0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu}, line);
    EXPECT_STREQ("1193046:28:15   1193046:28:15   1193046:28:15   1193046:28:15", line);
    EXPECT_LT(strlen(line), kCounterLineSize);
}

TEST(NameClipping, NeverSplitsADoubleByteCharacter)
{
    // 24 characters of 2 bytes: 48 bytes, cut to 23 characters, 46 bytes.
    std::string wide;
    for (int i = 0; i < 24; ++i) wide += "中";
    ASSERT_EQ(48u, wide.size());
    char name[64];
    strcpy(name, wide.c_str());
    EXPECT_EQ(46u, ClipNameToCharacters(name, 47));
    EXPECT_EQ(wide.substr(0, 46), name);

    strcpy(name, ("a" + wide).c_str());  // "a" then 23 characters fit in 47 exactly
    EXPECT_EQ(47u, ClipNameToCharacters(name, 47));

    strcpy(name, "short");
    EXPECT_EQ(5u, ClipNameToCharacters(name, 47));
    EXPECT_STREQ("short", name);

    const char broken[] = {'a', '\xD6', '\0'};  // a lead byte without its trail byte
    strcpy(name, broken);
    EXPECT_EQ(1u, ClipNameToCharacters(name, 47));

    // At the 47th byte: 0x81 to 0xFE begin a character that would end in the 48th and go; 0x80
    // and 0xFF are characters of one byte and stay.
    struct { unsigned char last; size_t kept; } edges[] = {{0x80, 47}, {0x81, 46}, {0xFE, 46}, {0xFF, 47}};
    for (const auto &e : edges) {
        std::string n(46, 'a');
        n += (char)e.last;
        n += 'b';
        strcpy(name, n.c_str());
        EXPECT_EQ(e.kept, ClipNameToCharacters(name, 47)) << std::hex << (int)e.last;
        EXPECT_EQ(n.substr(0, e.kept), name) << std::hex << (int)e.last;
    }
}
