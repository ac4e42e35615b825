// The desktops and the stash on real windows of another process (testwin.exe), driven through
// the operations the tray calls.
#include <gtest/gtest.h>
#include <algorithm>
#include "harness.h"
#include "../../src/app/alloc.h"
#include "../../src/desktops/desktops.h"

namespace {

typedef std::vector<std::string> Lines;

class Desktops : public ::testing::Test {
protected:
    void TearDown() override { ShowAllSlots(); }

    // Switches until the desktop in view is the given one.
    static void SwitchTo(int desktop)
    {
        while (CurrentDesktop() != desktop) SwitchDesktop();
    }
    static void MakeCurrent(HWND window)
    {
        SetForegroundWindow(window);
        ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == window; }));
        RecordCurrentWindow();
    }
    static std::string Name(HWND window)
    {
        char className[64], title[16];
        GetClassNameA(window, className, sizeof className);
        GetWindowTextA(window, title, sizeof title);
        return std::string(className) + " " + title;
    }
};

TEST_F(Desktops, FilterOnRealWindowsOfAnotherProcess)
{
    {
        // Class names are atoms that ignore case: while "Indicator" exists anywhere in the
        // session, "indicator" reads back as "Indicator". So this one stands alone.
        HelperWindows lowerCase({"indicator"});
        EXPECT_EQ(1, IsManageableWindow(lowerCase.Find("indicator")));
    }
    HelperWindows helper({"Indicator", "WorkerW", "Shell_Tray", "Worker", "ProgmanX", "Notepadish",
                          "ALongClassNameOfMoreThan31Characters"});
    struct { const char *className; int manageable; } cases[] = {
        {"Indicator", 0}, {"WorkerW", 0}, {"Shell_Tray", 0}, {"Worker", 0}, {"ProgmanX", 1},
        {"Notepadish", 1}, {"ALongClassNameOfMoreThan31Characters", 1}};
    for (const auto &c : cases) {
        HWND window = helper.Find(c.className);
        ASSERT_TRUE(window != NULL) << c.className;
        EXPECT_EQ(c.manageable, IsManageableWindow(window)) << c.className;
    }
    HWND shown = helper.Find("Notepadish");
    ShowWindow(shown, SW_HIDE);
    EXPECT_EQ(0, IsManageableWindow(shown));  // the style bit decides
    ShowWindow(shown, SW_SHOW);
    EXPECT_EQ(0, IsManageableWindow(FindWindowA("Shell_TrayWnd", NULL)));
    EXPECT_EQ(0, IsManageableWindow((HWND)(ULONG_PTR)0x7ff00));  // no window at all
}

TEST_F(Desktops, FourSwitchesComeBackWithTheWindowsInOrderAndLeaveTheShellAlone)
{
    HelperWindows helper({"Alpha*3", "WorkerW", "Indicator"});
    SwitchTo(0);
    std::vector<HWND> alphas;
    for (HWND w : helper.All())  // in the order the switch will meet them
        if (Name(w).compare(0, 5, "Alpha") == 0) alphas.push_back(w);
    ASSERT_EQ(3u, alphas.size());
    helper.ClearLog();
    SwitchDesktop();
    EXPECT_EQ(1, CurrentDesktop());
    for (HWND w : alphas) EXPECT_FALSE(IsWindowVisible(w)) << Name(w);
    EXPECT_TRUE(IsWindowVisible(helper.Find("WorkerW")));
    EXPECT_TRUE(IsWindowVisible(helper.Find("Indicator")));
    Lines hidden = helper.Lines("HIDE");
    for (int i = 0; i < 2; ++i) {
        SwitchDesktop();
        for (HWND w : alphas) EXPECT_FALSE(IsWindowVisible(w)) << Name(w) << " on desktop " << CurrentDesktop();
        EXPECT_TRUE(IsWindowVisible(helper.Find("WorkerW")));
    }
    SwitchDesktop();
    EXPECT_EQ(0, CurrentDesktop());
    for (HWND w : alphas) EXPECT_TRUE(IsWindowVisible(w)) << Name(w);
    Lines shown = helper.Lines("SHOW");
    std::reverse(hidden.begin(), hidden.end());
    EXPECT_EQ(hidden, shown);  // the most recently hidden first
    EXPECT_TRUE(helper.Lines("SC_CLOSE").empty());
}

TEST_F(Desktops, StashedWindowsComeBackTogetherOnTheDesktopInView)
{
    HelperWindows helper({"Beta*3"});
    HWND b0 = helper.Find("Beta", 0), b1 = helper.Find("Beta", 1), b2 = helper.Find("Beta", 2);
    StoreCurrentWindow();  // no current window: nothing
    MakeCurrent(b0);
    StoreCurrentWindow();
    MakeCurrent(b1);
    StoreCurrentWindow();
    StoreCurrentWindow();  // the current window was cleared
    EXPECT_FALSE(IsWindowVisible(b0));
    EXPECT_FALSE(IsWindowVisible(b1));
    EXPECT_TRUE(IsWindowVisible(b2));
    helper.ClearLog();
    RestoreStoredWindows();
    EXPECT_TRUE(IsWindowVisible(b0));
    EXPECT_TRUE(IsWindowVisible(b1));
    EXPECT_EQ((Lines{"Beta 1", "Beta 0"}), helper.Lines("SHOW"));  // the second stored first
    helper.ClearLog();
    RestoreStoredWindows();
    EXPECT_TRUE(helper.Lines("SHOW").empty());

    // Stored on one desktop, restored on the next: it belongs to the desktop in view.
    int from = CurrentDesktop();
    MakeCurrent(b2);
    StoreCurrentWindow();
    SwitchDesktop();
    EXPECT_FALSE(IsWindowVisible(b0));
    RestoreStoredWindows();
    EXPECT_TRUE(IsWindowVisible(b2));
    EXPECT_FALSE(IsWindowVisible(b0));
    SwitchTo(from);
    EXPECT_TRUE(IsWindowVisible(b0));
    EXPECT_FALSE(IsWindowVisible(b2));  // it went with the desktop it was restored on
}

TEST_F(Desktops, ClosingAsksExactlyTheVisibleManageableWindows)
{
    HelperWindows helper({"Gamma*2", "Delta", "WorkerW", "Shell_Tray"});
    SwitchTo(0);
    HWND delta = helper.Find("Delta");
    MakeCurrent(delta);
    SwitchDesktop();  // Gamma and Delta now wait on desktop 0
    HWND g0 = helper.Find("Gamma", 0);
    ShowWindow(g0, SW_SHOW);  // a window its program shows again joins the desktop in view
    ClearCurrentDesktop();
    ASSERT_TRUE(WaitUntil([&] { return helper.Lines("SC_CLOSE").size() >= 1; }));
    Sleep(200);
    EXPECT_EQ((Lines{"Gamma 0"}), helper.Lines("SC_CLOSE"));
    helper.ClearLog();
    CloseCurrentWindow();  // Delta is hidden now: it fails the filter, nothing is posted
    Sleep(200);
    EXPECT_TRUE(helper.Lines("SC_CLOSE").empty());
    CloseCurrentWindow();  // and the current window was cleared all the same
    SwitchTo(0);
    MakeCurrent(delta);
    CloseCurrentWindow();
    ASSERT_TRUE(WaitUntil([&] { return !helper.Lines("SC_CLOSE").empty(); }));
    EXPECT_EQ((Lines{"Delta 0"}), helper.Lines("SC_CLOSE"));
}

BOOL CALLBACK CollectManageable(HWND window, LPARAM list)
{
    if (IsManageableWindow(window)) ((std::vector<HWND> *)list)->push_back(window);
    return TRUE;
}

TEST_F(Desktops, AllocationFailureEndsTheSwitchAtThatWindow)
{
    HelperWindows helper({"Eps*4"});
    SwitchTo(0);
    std::vector<HWND> order;  // as the switch will meet them, other programs' windows included
    EnumWindows(CollectManageable, (LPARAM)&order);
    ASSERT_GE(order.size(), 4u);
    static int calls;
    calls = 0;
    g_allocRecord = [](size_t size) -> void * { return ++calls == 3 ? nullptr : malloc(size); };
    SwitchDesktop();
    g_allocRecord = malloc;
    EXPECT_EQ(1, CurrentDesktop());
    EXPECT_FALSE(IsWindowVisible(order[0]));
    EXPECT_FALSE(IsWindowVisible(order[1]));
    for (size_t i = 2; i < order.size(); ++i)  // no record for the third: it and all after it stay
        EXPECT_TRUE(IsWindowVisible(order[i])) << Name(order[i]);
    SwitchTo(0);  // those went on with desktop 1
    EXPECT_TRUE(IsWindowVisible(order[0]) && IsWindowVisible(order[1]));
    for (size_t i = 2; i < order.size(); ++i) EXPECT_FALSE(IsWindowVisible(order[i])) << Name(order[i]);
    SwitchTo(1);
    EXPECT_FALSE(IsWindowVisible(order[0]) || IsWindowVisible(order[1]));
    for (size_t i = 2; i < order.size(); ++i) EXPECT_TRUE(IsWindowVisible(order[i])) << Name(order[i]);
}

}  // namespace
