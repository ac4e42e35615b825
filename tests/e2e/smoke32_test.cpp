// The program as it ships: the 32-bit Trellith.exe from the unpacked package, in the 64-bit
// prefix, driven from this 64-bit test. scripts/test.sh runs it where 32-bit Wine runs only under
// emulation, and names the program in TRELLITH_SMOKE_EXE; without it the test is skipped. Here a
// calling convention that is wrong for 32-bit code (a GetProcAddress cast without WINAPI, an
// export decorated as _GetTime@4) shows, as it never can in a 64-bit build.
#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>
#include <stdio.h>
#include <stdlib.h>
#include "program.h"
#include "../win/harness.h"

namespace {

const DWORD kEmulated = 300000;  // a 32-bit process starts in a minute or two under qemu-user

// Seconds of one "HH:MM:SS" group of the counter line, or -1.
long Group(const std::string &line, int n)
{
    unsigned h, m, s;
    size_t at = 0;
    for (int i = 0; i < n && at != std::string::npos; ++i) at = line.find("   ", at) + 3;
    if (at == std::string::npos || sscanf(line.c_str() + at, "%u:%u:%u", &h, &m, &s) != 3) return -1;
    return (long)(h * 3600 + m * 60 + s);
}

TEST(Smoke32, TheShippedProgramStartsSwitchesReadsItsCountersAndEnds)
{
    const char *exe = getenv("TRELLITH_SMOKE_EXE");
    if (!exe) GTEST_SKIP() << "TRELLITH_SMOKE_EXE names no program";
    std::string folder(exe, (const char *)strrchr(exe, 0x5C) + 1);
    std::string file(84, '\0');  // one scheme, stored as fired: the exit writes it back cleared
    memcpy(&file[0], "smoke", 5);
    file[52] = (char)0x9F, file[53] = 0x05;  // 23:59
    file[72] = 1;
    WriteFileBytes(folder + "Trellith.ini", file);
    HelperWindows helper({"Smoke"});
    HWND window = helper.Find("Smoke");

    DWORD start = GetTickCount();
    Program program(exe);
    HWND main = program.MainWindow(kEmulated);
    ASSERT_TRUE(main != NULL);
    NOTIFYICONDATAA probe = {};
    probe.cbSize = NOTIFYICONDATAA_V1_SIZE;
    probe.hWnd = main;
    probe.uID = 102;
    ASSERT_TRUE(WaitUntil([&] { return Shell_NotifyIconA(NIM_MODIFY, &probe) != FALSE; }, kEmulated));
    printf("32-bit start-up to the tray icon, under emulation: %lu ms\n", GetTickCount() - start);

    PostMessageA(main, WM_COMMAND, 1036, 0);  // the CD-ROM door: winmm.dll, loaded on demand
    PostMessageA(main, WM_USER, 102, WM_LBUTTONUP);
    EXPECT_TRUE(Becomes(window, false, 60000));
    for (int i = 0; i < 3; ++i) PostMessageA(main, WM_USER, 102, WM_LBUTTONUP);
    EXPECT_TRUE(Becomes(window, true, 60000));

    // The counters as the settings show them, read once a second through the module's GetTime:
    // the time of day, and an input idle time that a moment ago's input brought back to nought.
    INPUT move = {};
    move.type = INPUT_MOUSE;
    move.mi.dx = 3;
    move.mi.dwFlags = MOUSEEVENTF_MOVE;
    SendInput(1, &move, sizeof move);
    PostMessageA(main, WM_COMMAND, 1038, 0);
    HWND dialog = NULL;
    ASSERT_TRUE(WaitUntil([&] { return (dialog = FindWindowA("#32770", "定时器设置")) && IsWindowVisible(dialog); }, 60000));
    std::string line;
    EXPECT_TRUE(WaitUntil([&] {
        char text[80] = "";
        GetDlgItemTextA(dialog, 1010, text, sizeof text);
        line = text;
        return Group(line, 0) >= 0;
    }, 20000));
    SYSTEMTIME now;
    GetLocalTime(&now);
    long timeOfDay = now.wHour * 3600 + now.wMinute * 60 + now.wSecond;
    long off = labs(Group(line, 0) - timeOfDay);
    EXPECT_TRUE(off <= 30 || off >= 86400 - 30) << line;
    EXPECT_LE(Group(line, 2), 30) << line;  // input idle
    EXPECT_GT(Group(line, 3), 0) << line;   // uptime
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);

    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, program.WaitForExit(60000));
    file[72] = 0;
    EXPECT_EQ(file, ReadFileBytes(folder + "Trellith.ini"));
}

}  // namespace
