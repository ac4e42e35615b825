// Trellith.exe hides windows of another program on several desktops and in the stash; every way
// out of the program (its own exit, the end of the session, a fault, a hard kill followed by a
// new start) shows them all again, and a hung program holds none of it up.
#include <gtest/gtest.h>
#include "program.h"
#include "../win/harness.h"
#include "../../src/desktops/hidden_window.h"
#include "../../src/desktops/recovery_file.h"
#include "../../src/tray/commands.h"

namespace {

class HiddenWindowsAtTheEnd : public ::testing::Test {
protected:
    HelperWindows helper{{"Zeta*4"}};
    std::vector<HWND> zeta;
    HWND main = NULL;

    void SetUp() override
    {
        for (int i = 0; i < 4; ++i) zeta.push_back(helper.Find("Zeta", i));
    }
    static void Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        PostMessageA(window, message, wParam, lParam);
    }
    void Click(UINT mouseMessage) { Post(main, WM_TRAYNOTIFY, TRAY_ICON_ID, mouseMessage); }
    // As the mouse passes over the icon while the window is in front.
    void MakeCurrent(HWND window)
    {
        SetForegroundWindow(window);
        ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == window; }));
        SendMessageA(main, WM_TRAYNOTIFY, TRAY_ICON_ID, WM_MOUSEMOVE);
    }
    // Desktop 0 keeps Zeta 3 hidden, desktop 1 Zeta 2, the stash Zeta 0; Zeta 1 is in view on
    // desktop 2.
    void HideOnSeveralDesktops(Program &program)
    {
        main = program.MainWindow();
        ASSERT_TRUE(main != NULL);
        MakeCurrent(zeta[0]);
        Post(main, WM_COMMAND, IDM_STORE_WINDOW, 0);
        ASSERT_TRUE(Becomes(zeta[0], false));
        ShowWindow(zeta[1], SW_HIDE);
        ShowWindow(zeta[2], SW_HIDE);
        Click(WM_LBUTTONUP);  // Zeta 3 to desktop 0
        ASSERT_TRUE(Becomes(zeta[3], false));
        // Desktop 1 is empty: the foreground is not our invisible window, where Alt+F4 would end us.
        EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == ShellDesktop(); }));
        ShowWindow(zeta[2], SW_SHOW);
        Click(WM_LBUTTONUP);  // Zeta 2 to desktop 1
        ASSERT_TRUE(Becomes(zeta[2], false));
        ShowWindow(zeta[1], SW_SHOW);
        for (int i : {0, 2, 3}) ASSERT_FALSE(IsWindowVisible(zeta[i])) << i;
        ASSERT_TRUE(IsWindowVisible(zeta[1]));
    }
    // The recovery file of this logon session, as the program names it.
    static std::string RecoveryPath()
    {
        char name[MAX_PATH + 40];
        return RecoveryFileName(name, sizeof name) ? name : "<none>";
    }
    void ExpectAllVisible(DWORD timeoutMs = 5000)
    {
        for (int i = 0; i < 4; ++i) EXPECT_TRUE(Becomes(zeta[i], true, timeoutMs)) << "Zeta " << i;
    }
};

TEST_F(HiddenWindowsAtTheEnd, CloseFromOutsideShowsEveryWindowSlotAfterSlot)
{
    std::string folder = MakeProgramFolder("hidden-close");
    Program program(folder + "Trellith.exe");
    HideOnSeveralDesktops(program);
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(RecoveryPath().c_str()));
    helper.ClearLog();
    Post(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, program.WaitForExit(5000));
    ExpectAllVisible();
    EXPECT_TRUE(WaitUntil([&] { return helper.Lines("SHOW").size() == 3; }));
    EXPECT_EQ((std::vector<std::string>{"Zeta 3", "Zeta 2", "Zeta 0"}), helper.Lines("SHOW"));  // desktop 0 first, the stash last
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(RecoveryPath().c_str()));
}

TEST_F(HiddenWindowsAtTheEnd, TheSessionEndingFromOutsideShowsEveryWindow)
{
    Program program(MakeProgramFolder("hidden-session") + "Trellith.exe");
    HideOnSeveralDesktops(program);
    SendMessageA(main, WM_QUERYENDSESSION, 0, 0);
    SendMessageA(main, WM_ENDSESSION, TRUE, 0);
    ExpectAllVisible();  // the session may kill the process now: the requests are made
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

TEST_F(HiddenWindowsAtTheEnd, AHardKillIsMendedByTheNextStart)
{
    std::string folder = MakeProgramFolder("hidden-kill");
    {
        Program program(folder + "Trellith.exe");
        HideOnSeveralDesktops(program);
        DeleteFileA(RecoveryPath().c_str());  // the temporary folder cleaned meanwhile
        ShowWindow(zeta[1], SW_HIDE);
        Click(WM_LBUTTONUP);  // a change that leaves every slot as it was
        EXPECT_TRUE(WaitUntil([&] { return GetFileAttributesA(RecoveryPath().c_str()) != INVALID_FILE_ATTRIBUTES; }));
        TerminateProcess(program.Process(), 1);  // no filter, no clean-up runs
        program.WaitForExit(5000);
    }
    Sleep(500);
    for (int i : {0, 2, 3}) ASSERT_FALSE(IsWindowVisible(zeta[i])) << i;
    ShowWindow(zeta[1], SW_SHOW);
    Program next(folder + "Trellith.exe");
    ExpectAllVisible();
    main = next.MainWindow();
    EXPECT_TRUE(main != NULL);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(RecoveryPath().c_str()));
}

// Killed while a busy program's hide is still queued: the next start asks its window to show
// however long the program stays busy, and the show, queued behind the hide, wins.
TEST_F(HiddenWindowsAtTheEnd, AHideStillQueuedAtAKillIsUndoneWhenItsProgramRunsAgain)
{
    HelperWindows busy({"Hung"});
    HWND h = busy.Find("Hung");
    std::string folder = MakeProgramFolder("hidden-queued");
    {
        Program program(folder + "Trellith.exe");
        main = program.MainWindow();
        ASSERT_TRUE(main != NULL);
        Post(h, WM_APP + 1, 32000, 0);  // its thread takes no message for over half a minute
        Sleep(100);
        Click(WM_LBUTTONUP);
        for (HWND z : zeta) ASSERT_TRUE(Becomes(z, false));
        TerminateProcess(program.Process(), 1);
        program.WaitForExit(5000);
    }
    Program next(folder + "Trellith.exe");
    ExpectAllVisible();
    EXPECT_TRUE(IsWindowVisible(h));  // it has carried out nothing yet
    DWORD_PTR answer;
    ASSERT_TRUE(SendMessageTimeoutA(h, WM_NULL, 0, 0, SMTO_NORMAL, 40000, &answer));  // it runs again
    Pump(500);
    EXPECT_TRUE(IsWindowVisible(h));
}

// Window handles are reused once their windows are gone: after a reboot, the file may name a
// stranger's window. Only a window of the same process, thread and class comes back, and only
// from a sound file of this logon.
TEST_F(HiddenWindowsAtTheEnd, ARecoveryFileShowsNoWindowThatIsNotTheSameOne)
{
    std::string folder = MakeProgramFolder("hidden-strangers");
    HiddenWindow records[3] = {};
    for (int i = 0; i < 3; ++i) {
        ShowWindow(zeta[i], SW_HIDE);
        records[i].window = (uintptr_t)zeta[i];
        DWORD process;
        records[i].identity.threadId = GetWindowThreadProcessId(zeta[i], &process);
        records[i].identity.processId = process;
        strcpy(records[i].identity.className, "Zeta");
        records[i].slot = i;
        records[i].next = i < 2 ? &records[i + 1] : NULL;
    }
    records[1].identity.processId += 4;         // another process
    strcpy(records[2].identity.className, "Zet");  // another class
    const RecoveryStamp now = CurrentRecoveryStamp();
    auto write = [&](const RecoveryStamp &stamp) {
        std::string file(RecoveryFileSize(records), '\0');
        EncodeRecoveryFile(records, stamp, (unsigned char *)&file[0]);
        WriteFileBytes(RecoveryPath(), file);
        return file;
    };
    write(now);
    {
        Program program(folder + "Trellith.exe");
        EXPECT_TRUE(Becomes(zeta[0], true));
        ASSERT_TRUE(program.MainWindow() != NULL);
        Sleep(500);
        EXPECT_FALSE(IsWindowVisible(zeta[1]));
        EXPECT_FALSE(IsWindowVisible(zeta[2]));
    }
    // A damaged file, or one of an earlier logon (its mark went with it) or of another logon
    // session, is not read at all, and does not stay. The damage is to a slot, which no identity
    // check would notice. No clock is read: setting it changes nothing.
    ShowWindow(zeta[0], SW_HIDE);
    records[0].next = NULL;
    const RecoveryStamp otherBoot = {now.logonMark + 1, now.logonSession},
                        otherSession = {now.logonMark, now.logonSession + 1};
    for (int row = 0; row < 3; ++row) {
        std::string file = write(row == 1 ? otherBoot : row == 2 ? otherSession : now);
        if (row == 0) {
            file[kRecoveryHeaderSize + 16] ^= 1;  // slot 0 becomes 1
            WriteFileBytes(RecoveryPath(), file);
        }
        Program program(folder + "Trellith.exe");
        ASSERT_TRUE(program.MainWindow() != NULL);
        Sleep(500);
        EXPECT_FALSE(IsWindowVisible(zeta[0])) << row;
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(RecoveryPath().c_str())) << row;
        Post(program.MainWindow(), WM_CLOSE, 0, 0);
        program.WaitForExit(5000);
    }
}

TEST_F(HiddenWindowsAtTheEnd, AHungProgramHoldsNothingUpAndItsWindowEndsWhereItWasPut)
{
    HelperWindows hung({"Hung"});
    HWND h = hung.Find("Hung");
    Program program(MakeProgramFolder("hidden-hung") + "Trellith.exe");
    main = program.MainWindow();
    ASSERT_TRUE(main != NULL);
    MakeCurrent(h);
    Post(h, WM_APP + 1, 8000, 0);  // its thread takes no message for eight seconds
    Sleep(100);
    Post(main, WM_COMMAND, IDM_STORE_WINDOW, 0);
    Post(main, WM_COMMAND, IDM_RESTORE_WINDOWS, 0);
    Click(WM_LBUTTONUP);  // it goes with desktop 0, as the other program's windows do at once
    for (HWND z : zeta) EXPECT_TRUE(Becomes(z, false)) << "Zeta";
    Post(main, WM_COMMAND, IDM_ABOUT, 0);  // the program still takes its posted messages
    HWND about = NULL;
    EXPECT_TRUE(WaitUntil([&] { return (about = FindWindowA("#32770", "关于 Trellith")) != NULL; }));
    Post(about, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(IsWindowVisible(h));  // it has carried out none of it yet
    EXPECT_TRUE(Becomes(h, false, 12000));
    Pump(500);
    EXPECT_FALSE(IsWindowVisible(h));

    Post(h, WM_APP + 1, 5000, 0);  // hung again: the exit does not wait for it either
    Sleep(100);
    Post(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, program.WaitForExit(3000));
    ExpectAllVisible();
    EXPECT_TRUE(Becomes(h, true, 8000));
}

}  // namespace
