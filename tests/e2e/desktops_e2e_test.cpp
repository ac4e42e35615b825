// Trellith.exe hides windows of another program on several desktops and in the stash; every way
// out of the program (its own exit, the end of the session, a fault) shows them all again.
#include <gtest/gtest.h>
#include "program.h"
#include "../win/harness.h"
#include "../../src/tray/commands.h"

namespace {

class HiddenWindowsAtTheEnd : public ::testing::Test {
protected:
    HelperWindows helper{{"Zeta*4"}};
    std::vector<HWND> zeta;
    HWND main = NULL;

    // Desktop 0 keeps Zeta 3 hidden, desktop 1 Zeta 2, the stash Zeta 0; Zeta 1 is in view on
    // desktop 2.
    void HideOnSeveralDesktops(Program &program)
    {
        main = program.MainWindow();
        ASSERT_TRUE(main != NULL);
        for (int i = 0; i < 4; ++i) zeta.push_back(helper.Find("Zeta", i));
        SetForegroundWindow(zeta[0]);
        ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == zeta[0]; }));
        SendMessageA(main, WM_TRAYNOTIFY, TRAY_ICON_ID, WM_MOUSEMOVE);
        SendMessageA(main, WM_COMMAND, IDM_STORE_WINDOW, 0);
        ShowWindow(zeta[1], SW_HIDE);
        ShowWindow(zeta[2], SW_HIDE);
        SendMessageA(main, WM_TRAYNOTIFY, TRAY_ICON_ID, WM_LBUTTONUP);  // Zeta 3 to desktop 0
        ShowWindow(zeta[2], SW_SHOW);
        SendMessageA(main, WM_TRAYNOTIFY, TRAY_ICON_ID, WM_LBUTTONUP);  // Zeta 2 to desktop 1
        ShowWindow(zeta[1], SW_SHOW);
        for (int i : {0, 2, 3}) ASSERT_FALSE(IsWindowVisible(zeta[i])) << i;
        ASSERT_TRUE(IsWindowVisible(zeta[1]));
    }
    void ExpectAllVisible(DWORD timeoutMs = 5000)
    {
        for (int i = 0; i < 4; ++i)
            EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(zeta[i]) != FALSE; }, timeoutMs)) << "Zeta " << i;
    }
};

TEST_F(HiddenWindowsAtTheEnd, CloseFromOutsideShowsEveryWindow)
{
    Program program(MakeProgramFolder("hidden-close") + "Trellith.exe");
    HideOnSeveralDesktops(program);
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, program.WaitForExit(5000));
    ExpectAllVisible(0);
}

TEST_F(HiddenWindowsAtTheEnd, TheSessionEndingFromOutsideShowsEveryWindow)
{
    Program program(MakeProgramFolder("hidden-session") + "Trellith.exe");
    HideOnSeveralDesktops(program);
    SendMessageA(main, WM_QUERYENDSESSION, 0, 0);
    SendMessageA(main, WM_ENDSESSION, TRUE, 0);
    ExpectAllVisible(0);  // before the session kills the process
    EXPECT_EQ(STILL_ACTIVE, program.WaitForExit(0));
}

TEST_F(HiddenWindowsAtTheEnd, AFaultShowsEveryWindowBeforeTheProcessDies)
{
    Program program(MakeProgramFolder("hidden-fault") + "Trellith.exe");
    HideOnSeveralDesktops(program);
    // A thread that starts at an address where nothing is: an access violation in the program.
    HANDLE thread = CreateRemoteThread(program.Process(), NULL, 0, (LPTHREAD_START_ROUTINE)(ULONG_PTR)0x10, NULL, 0, NULL);
    ASSERT_TRUE(thread != NULL);
    CloseHandle(thread);
    ExpectAllVisible(15000);
    EXPECT_NE(STILL_ACTIVE, program.WaitForExit(15000));
}

}  // namespace
