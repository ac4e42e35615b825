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

// Which windows serve every desktop, and where the focus may go after a command, from what a
// window shows of itself. Columns: class, style, extended style, class style, owned.
TEST(WindowFilter, WindowsThatServeEveryDesktopStayAndOnlyWindowsWindowsWouldActivateTakeTheFocus)
{
    const uint32_t shown = kStyleVisible, popup = kStylePopup | kStyleVisible, top = kExStyleTopmost,
                   noActivate = kExStyleNoActivate;
    struct { WindowLook look; int everyDesktop, focus; } rows[] = {
        {{"Notepad", shown, 0, 0, 0}, 0, 2},
        {{"Notepad", shown, top, 0, 0}, 0, 1},                        // always on top: after the ordinary ones
        {{"Notepad", shown | kStyleDisabled, 0, 0, 0}, 0, 0},         // behind a modal dialog
        {{"Notepad", shown | kStyleMinimized, 0, 0, 0}, 0, 0},
        {{"Notepad", shown, noActivate, 0, 0}, 0, 0},
        {{"Notepad", 0, 0, 0, 0}, 0, 0},                              // hidden
        {{"Notepad", shown | kStyleChild, 0, 0, 0}, 0, 0},
        {{"#32768", popup, top, 0, 0}, 1, 0},                         // another program's open menu
        {{"tooltips_class32", popup, top, 0, 1}, 1, 0},  {{"TOOLTIPS_CLASS32", popup, 0, 0, 0}, 1, 0},
        {{"CiceroUIWndFrame", popup | kStyleDisabled, top, 0, 0}, 1, 0},  // the language bar
        {{"IMEStatus", popup, 0, kClassStyleIme, 1}, 1, 0},           // an input method's status window
        {{"OSKMainClass", popup, top | noActivate, 0, 0}, 1, 0},      // the on-screen keyboard
        {{"Palette", popup, top | noActivate, 0, 1}, 0, 0},           // owned: goes with its owner
        {{"Palette", popup, noActivate, 0, 0}, 0, 0},                 // not on top: a window of its desktop
        {{"Notepad", popup | kStyleDisabled, top, 0, 0}, 0, 0}};      // disabled, on top: not the bar
    for (const auto &r : rows) {
        EXPECT_EQ(r.everyDesktop, ServesEveryDesktop(r.look)) << "row " << &r - rows;
        EXPECT_EQ(r.focus, FocusRank(r.look)) << "row " << &r - rows;
    }
}
