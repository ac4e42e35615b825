#include <gtest/gtest.h>
#include <string.h>
#include "../../src/desktops/window_filter.h"

TEST(WindowFilter, ClassNamesAreSearchedAsPartsOfTheExclusionList)
{
    struct { const char *name; int excluded; } cases[] = {
        {"Progman", 1}, {"Indicator", 1}, {"Shell_TrayWnd", 1}, {"WorkerW", 1},
        {"Shell_Tray", 1}, {"Worker", 1}, {"man", 1}, {"d|W", 1}, {"n|I", 1}, {"r|S", 1},
        {"", 1}, {"|", 1},
        {"ProgmanX", 0}, {"progman", 0}, {"indicator", 0}, {"n|W", 0}, {"Notepad", 0},
        {"#32770", 0}, {"TRELLITH15", 0},
    };
    for (const auto &c : cases) EXPECT_EQ(c.excluded, IsExcludedClassName(c.name)) << '"' << c.name << '"';
}

TEST(WindowFilter, ANameLongerThanTheReadIsJudgedByItsFirst31Characters)
{
    // The window's class name is read into 32 bytes; a long name of an excluded prefix stays
    // excluded only if the cut name is part of the list, which a 31-character cut never is.
    const char *longName = "Shell_TrayWndShell_TrayWndShell_TrayWnd";
    char read[32];
    strncpy(read, longName, 31);
    read[31] = '\0';
    EXPECT_EQ(0, IsExcludedClassName(read));
    EXPECT_EQ(1, IsExcludedClassName(EXCLUDED_CLASSES));  // the whole 39-character list itself
    EXPECT_EQ(39u, strlen(EXCLUDED_CLASSES));
}

TEST(WindowFilter, NewerShellsHostsAreMatchedWholeAndWithoutCase)
{
    struct { const char *name; int host; } cases[] = {
        {"Shell_SecondaryTrayWnd", 1}, {"shell_secondarytraywnd", 1}, {"NOTIFYICONOVERFLOWWINDOW", 1},
        {"TopLevelWindowForOverflowXamlIsland", 1}, {"Shell_SecondaryTrayWndX", 0}, {"Shell_Secondary", 0},
        {"NotifyIconOverflow", 0}, {"", 0}};
    for (const auto &c : cases) EXPECT_EQ(c.host, IsShellHostClassName(c.name)) << '"' << c.name << '"';
}
