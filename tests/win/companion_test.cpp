// Trellith.dll measured against the platform: the clock, the uptime, input idleness, the disk
// counters Wine lacks, and the About block.
#include <gtest/gtest.h>
#include "harness.h"
#include "../../src/companion/about_block.h"
#include "../../src/companion/counters.h"

namespace {

class CompanionModule : public ::testing::Test {
protected:
    HMODULE module = NULL;
    GetTimeFn getTime = NULL;
    GetStringFn getString = NULL;
    void SetUp() override
    {
        module = LoadLibraryA((BinFolder() + "Trellith.dll").c_str());
        ASSERT_TRUE(module != NULL);
        getTime = (GetTimeFn)(void *)GetProcAddress(module, "GetTime");
        getString = (GetStringFn)(void *)GetProcAddress(module, "GetString");
        ASSERT_TRUE(getTime && getString);
        ASSERT_NE(0u, getTime(NULL));
    }
    void TearDown() override { FreeLibrary(module); }
    Counters Read()
    {
        Counters c = {};
        getTime(&c);
        return c;
    }
};

TEST_F(CompanionModule, TimeOfDayFollowsTheLocalClock)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    uint32_t expected = now.wHour * 3600u + now.wMinute * 60u + now.wSecond;
    uint32_t read = Read().timeOfDay;
    EXPECT_LE((read + 86400 - expected) % 86400, 1u) << read << " against " << expected;
}

TEST_F(CompanionModule, UptimeGrowsBySeconds)
{
    Counters before = Read();
    Sleep(2100);
    Counters after = Read();
    EXPECT_GE(after.uptime - before.uptime, 2u);
    EXPECT_LE(after.uptime - before.uptime, 3u);
    EXPECT_GT(before.uptime, 0u);
}

TEST_F(CompanionModule, InputIdleFallsBackToZeroAfterInput)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = MOUSEEVENTF_MOVE;
    input.mi.dx = 1;
    ASSERT_EQ(1u, SendInput(1, &input, sizeof input));
    Sleep(1200);
    EXPECT_GE(Read().inputIdle, 1u);
    input.mi.dx = -1;
    ASSERT_EQ(1u, SendInput(1, &input, sizeof input));
    EXPECT_EQ(0u, Read().inputIdle);
}

TEST_F(CompanionModule, DiskIdleIsZeroWithoutDiskCounters)
{
    // Wine answers IOCTL_DISK_PERFORMANCE with ERROR_NOT_SUPPORTED: no invented idle time.
    Sleep(1100);
    EXPECT_EQ(0u, Read().diskIdle);
}

TEST_F(CompanionModule, AboutBlockTextsEndInsideTheirPlaces)
{
    char block[kAboutBlockSize];
    memset(block, 'x', sizeof block);
    getString(block);
    const int offsets[] = {kAboutTitle, kAboutSubtitle, kAboutLinkTarget, kAboutLinkCaption, kAboutEditText, kAboutBlockSize};
    for (int i = 0; i < 5; ++i) {
        EXPECT_LT(strlen(block + offsets[i]), (size_t)(offsets[i + 1] - offsets[i])) << "text at " << offsets[i];
        EXPECT_GT(strlen(block + offsets[i]), 0u) << "text at " << offsets[i];
    }
    EXPECT_STREQ("Trellith 1.5", block);
    EXPECT_STREQ("docs", block + kAboutLinkTarget);
}

}  // namespace
