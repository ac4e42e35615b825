// The tray icon, its mouse messages, the popup menu and the commands, with the program running
// in this process and its window driven from a second thread.
#include <gtest/gtest.h>
#include "harness.h"
#include "../../src/app/app_main.h"
#include "../../src/app/app_state.h"
#include "../../src/app/seams.h"
#include "../../src/desktops/desktops.h"
#include "../../src/res/resource.h"
#include "../../src/tray/commands.h"
#include "../../src/tray/popup_menu.h"
#include "../../src/tray/tray_icon.h"

namespace {

class Tray : public ::testing::Test {
protected:
    SeamRecorder seams;
    void SetUp() override { SetPendingExitFlags(kNoExitPending); }
    void TearDown() override { DeleteFileA(SchemeFilePath().c_str()); }  // written at each exit

    // Runs the program with script driving its main window; the program ends afterwards.
    void WithProgram(const std::function<void(HWND)> &script)
    {
        RunDriven([] { AppMain(GetModuleHandleA(NULL)); }, [&] {
            HWND main = WaitForWindow("TRELLITH15", "Trellith");
            ASSERT_TRUE(main != NULL);
            script(main);
            PostMessageA(main, WM_CLOSE, 0, 0);
        });
    }
    static void Click(HWND main, UINT mouseMessage) { SendMessageA(main, WM_TRAYNOTIFY, TRAY_ICON_ID, mouseMessage); }
    static HICON DesktopIcon(int id) { return LoadIconA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(id)); }
};

// The first form of the record, wide, so that the shell shows the tooltip whatever its code page.
TEST_F(Tray, NotificationRecordIsTheFirstForm)
{
    WithProgram([&](HWND main) {
        const NOTIFYICONDATAW &r = TrayRecord();
        EXPECT_EQ(sizeof(void *) == 4 ? 152u : (DWORD)NOTIFYICONDATAW_V1_SIZE, r.cbSize);
        EXPECT_EQ(main, r.hWnd);
        EXPECT_EQ(102u, r.uID);
        EXPECT_EQ(7u, r.uFlags);
        EXPECT_EQ(0x400u, r.uCallbackMessage);
        EXPECT_EQ(DesktopIcon(IDI_DESKTOP0), r.hIcon);
        // Three lines with single line feeds; 44 bytes in code page 936.
        char tip[64] = "";
        WideCharToMultiByte(936, 0, r.szTip, -1, tip, sizeof tip, NULL, NULL);
        EXPECT_EQ(std::string("\xD7\xF3\xBC\xFC\xA3\xBA\xC7\xD0\xBB\xBB\xD7\xC0\xC3\xE6\n"
                              "\xD6\xD0\xBC\xFC\xA3\xBA\xB9\xD8\xB1\xD5\xB4\xB0\xBF\xDA\n"
                              "\xD3\xD2\xBC\xFC\xA3\xBA\xB5\xAF\xB3\xF6\xB2\xCB\xB5\xA5"), tip);
        EXPECT_EQ(44u, strlen(tip));
    });
}

TEST_F(Tray, MenuHasTwelveOwnerDrawnItemsWithTheirTextsAsItemData)
{
    static const struct { UINT id; const char *text; } kItems[] = {
        {1036, "↓ 弹开 CD-ROM"}, {1037, "↑ 关闭 CD-ROM"}, {1033, "注销"}, {1034, "重启"}, {1035, "关机"},
        {1041, "→ 保存当前窗口"}, {1042, "← 取出所存窗口"}, {1040, "〤 关闭当前窗口"}, {1043, "■ 清空当前桌面"},
        {1038, "定时器设置..."}, {1031, "关于 Trellith..."}, {1039, "退出"}};
    WithProgram([&](HWND) {
        HMENU menu = PopupMenu();
        ASSERT_EQ(12, GetMenuItemCount(menu));
        for (int i = 0; i < 12; ++i) {
            MENUITEMINFOA info = {};
            info.cbSize = sizeof info;
            info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_DATA | MIIM_STATE;
            ASSERT_TRUE(GetMenuItemInfoA(menu, i, TRUE, &info));
            EXPECT_EQ(kItems[i].id, info.wID) << "position " << i + 1;
            EXPECT_EQ((UINT)MFT_OWNERDRAW, info.fType) << "position " << i + 1;
            EXPECT_EQ(0u, info.fState & (MFS_DISABLED | MFS_CHECKED)) << "position " << i + 1;
            ASSERT_NE(0u, info.dwItemData);
            EXPECT_STREQ(kItems[i].text, (const char *)info.dwItemData) << "position " << i + 1;
        }
        // The symbols are code page 936 bytes: U+2193 is A1 FD, U+3024 is A9 43.
        MENUITEMINFOA first = {sizeof first, MIIM_DATA};
        GetMenuItemInfoA(menu, 0, TRUE, &first);
        EXPECT_EQ(std::string("\xA1\xFD \xB5\xAF\xBF\xAA CD-ROM"), (const char *)first.dwItemData);
        GetMenuItemInfoA(menu, 7, TRUE, &first);
        EXPECT_EQ(std::string("\xA9\x43 \xB9\xD8\xB1\xD5\xB5\xB1\xC7\xB0\xB4\xB0\xBF\xDA"), (const char *)first.dwItemData);
    });
}

TEST_F(Tray, LeftReleasesSwitchAndTheIconFollowsTheDesktop)
{
    WithProgram([&](HWND main) {
        const int icons[] = {IDI_DESKTOP0, IDI_DESKTOP1, IDI_DESKTOP2, IDI_DESKTOP3};
        int start = CurrentDesktop();
        for (int i = 1; i <= 4; ++i) {
            for (UINT ignored : {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN, WM_RBUTTONDBLCLK, WM_MBUTTONDOWN})
                Click(main, ignored);
            Click(main, WM_LBUTTONUP);
            int desktop = (start + i) % 4;
            EXPECT_EQ(desktop, CurrentDesktop());
            EXPECT_EQ(DesktopIcon(icons[desktop]), TrayRecord().hIcon);
        }
    });
}

TEST_F(Tray, MouseMoveRecordsTheWindowInFrontAndMiddleReleaseClosesIt)
{
    HelperWindows helper({"TrayProbe"});
    HWND probe = helper.Find("TrayProbe");
    ASSERT_TRUE(probe != NULL);
    WithProgram([&](HWND main) {
        Click(main, WM_MBUTTONUP);  // no current window yet: nothing
        SetForegroundWindow(probe);
        ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == probe; }));
        Click(main, WM_MOUSEMOVE);
        Click(main, WM_MBUTTONUP);
        EXPECT_TRUE(WaitUntil([&] { return helper.Lines("SC_CLOSE").size() == 1; })) << helper.Log();
        Click(main, WM_MBUTTONUP);  // the current window was cleared
        SendMessageA(main, WM_COMMAND, IDM_CLOSE_WINDOW, 0);
        Sleep(200);
        EXPECT_EQ(std::vector<std::string>{"TrayProbe 0"}, helper.Lines("SC_CLOSE"));
    });
}

TEST_F(Tray, RightReleaseOpensTheMenuRightAlignedAtTheCursor)
{
    WithProgram([&](HWND main) {
        MovePointer(600, 300);
        PostMessageA(main, WM_TRAYNOTIFY, TRAY_ICON_ID, WM_RBUTTONDOWN);
        Sleep(200);
        EXPECT_EQ(NULL, FindWindowA("#32768", NULL));
        PostMessageA(main, WM_TRAYNOTIFY, TRAY_ICON_ID, WM_RBUTTONUP);
        HWND menu = NULL;
        ASSERT_TRUE(WaitUntil([&] { menu = FindWindowA("#32768", NULL); return menu && IsWindowVisible(menu); }));
        RECT r;
        GetWindowRect(menu, &r);
        EXPECT_EQ(600, r.right);
        EXPECT_EQ(300, r.top);
        EXPECT_EQ(main, GetForegroundWindow());
        PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(menu); }));
        // Closed without a command, the menu leaves the foreground to a window in view, not to our
        // invisible one; Alt+F4 that reaches ours all the same ends nothing.
        EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() != main; }));
        SendMessageA(main, WM_SYSKEYDOWN, VK_F4, 0x20000001);
        Sleep(300);
        ASSERT_TRUE(IsWindow(main));
        Click(main, WM_LBUTTONUP);
        EXPECT_EQ(1, CurrentDesktop());
    });
}

// A desktop key pressed while the menu is open arrives inside the menu's loop: the menu closes,
// and the key acts.
TEST_F(Tray, AKeyPressedWithTheMenuOpenClosesTheMenuAndActs)
{
    WithProgram([&](HWND main) {
        PostMessageA(main, WM_TRAYNOTIFY, TRAY_ICON_ID, WM_RBUTTONUP);
        HWND menu = NULL;
        ASSERT_TRUE(WaitUntil([&] { menu = FindWindowA("#32768", NULL); return menu && IsWindowVisible(menu); }));
        PostMessageA(main, WM_HOTKEY, 3, MAKELPARAM(MOD_CONTROL | MOD_ALT, VK_F3));
        EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(menu); }, 2000));
        EXPECT_EQ(2, CurrentDesktop());
    });
}

// Opens the list of every window (Ctrl+Alt+F5) and chooses, with the keys a person would press,
// the first window of the part at position part: the menu's loop is this program's, so the keys
// go to its window.
void ChooseFromList(HWND main, int part)
{
    PostMessageA(main, WM_HOTKEY, 9, MAKELPARAM(MOD_CONTROL | MOD_ALT, VK_F5));
    HWND menu = NULL;
    ASSERT_TRUE(WaitUntil([&] { menu = FindWindowA("#32768", NULL); return menu && IsWindowVisible(menu); }));
    for (int i = 0; i <= part; ++i) PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(menu, WM_KEYDOWN, VK_RIGHT, 0);
    Sleep(200);
    PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(menu); }));
}

// Chosen from the list, a window of desktop 3 comes forward with that desktop, and a stored one
// comes out alone onto the desktop in view.
TEST_F(Tray, TheListBringsAWindowForwardWithItsDesktopAndAStoredOneOutAlone)
{
    HelperWindows helper({"Nu", "Xi*2"});
    HWND nu = helper.Find("Nu"), xi0 = helper.Find("Xi", 0), xi1 = helper.Find("Xi", 1);
    WithProgram([&](HWND main) {
        auto inFront = [&](HWND window) {  // again where the last command's hand-over took it
            ASSERT_TRUE(WaitUntil([&] {
                SetForegroundWindow(window);
                Sleep(100);
                return GetForegroundWindow() == window;
            }));
        };
        inFront(nu);
        PostMessageA(main, WM_HOTKEY, 7, 0);  // Ctrl+Alt+Shift+F3: to desktop 3
        ASSERT_TRUE(Becomes(nu, false));
        for (HWND xi : {xi0, xi1}) {
            inFront(xi);
            Click(main, WM_MOUSEMOVE);
            SendMessageA(main, WM_COMMAND, IDM_STORE_WINDOW, 0);
            ASSERT_TRUE(Becomes(xi, false));
        }
        ChooseFromList(main, 2);  // desktop 3
        EXPECT_TRUE(WaitUntil([&] { return CurrentDesktop() == 2; }));
        EXPECT_TRUE(Becomes(nu, true));
        EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == nu; }));
        ChooseFromList(main, 4);  // the stash
        EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(xi0) != IsWindowVisible(xi1); }));
        Sleep(300);
        EXPECT_NE(IsWindowVisible(xi0), IsWindowVisible(xi1));  // one came out, the other is stored
        EXPECT_EQ(2, CurrentDesktop());
    });
}

// The list's parts: the desktop in view named so, an empty desktop greyed, and at its foot a
// greyed line for each key that another program had taken first.
TEST_F(Tray, TheListNamesItsPartsGreysTheEmptyOnesAndTheKeysOthersHold)
{
    ASSERT_TRUE(RegisterHotKey(NULL, 1, MOD_CONTROL | MOD_ALT, VK_F2));  // before the program's start
    HelperWindows helper({"Rho"});
    WithProgram([&](HWND main) {
        PostMessageA(main, WM_HOTKEY, 9, 0);
        HWND window = NULL;
        ASSERT_TRUE(WaitUntil([&] { window = FindWindowA("#32768", NULL); return window && IsWindowVisible(window); }));
        HMENU menu = (HMENU)SendMessageA(window, MN_GETHMENU, 0, 0);
        ASSERT_EQ(7, GetMenuItemCount(menu));
        const wchar_t *const texts[] = {L"桌面 1（当前桌面）", L"桌面 2", L"桌面 3", L"桌面 4", L"所存窗口", L"所有桌面",
                                        L"Ctrl+Alt+F2 已被其他程序占用"};
        for (int i = 0; i < 7; ++i) {
            MENUITEMINFOW info = {sizeof info, MIIM_DATA | MIIM_STATE | MIIM_SUBMENU};
            ASSERT_TRUE(GetMenuItemInfoW(menu, i, TRUE, &info));
            EXPECT_STREQ(texts[i], (const wchar_t *)info.dwItemData) << i;
            EXPECT_EQ(i == 0, info.hSubMenu != NULL) << i;  // Rho, in view
            EXPECT_EQ(i != 0, (info.fState & MFS_DISABLED) != 0) << i;
        }
        PostMessageA(window, WM_KEYDOWN, VK_ESCAPE, 0);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(window); }));
    });
    UnregisterHotKey(NULL, 1);
}

// Kept on every desktop: four switches and a clear leave it in view, and a store takes it back,
// after which it goes with its desktop again.
TEST_F(Tray, AWindowKeptOnEveryDesktopStaysInViewUntilAStoreTakesItBack)
{
    HelperWindows helper({"Omicron", "Pi"});
    HWND omicron = helper.Find("Omicron"), pi = helper.Find("Pi");
    WithProgram([&](HWND main) {
        SetForegroundWindow(omicron);
        ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == omicron; }));
        SendMessageA(main, WM_HOTKEY, 10, 0);  // Ctrl+Alt+Shift+F5
        for (int i = 0; i < 4; ++i) {
            Click(main, WM_LBUTTONUP);
            EXPECT_TRUE(Becomes(pi, i == 3)) << i;
            EXPECT_TRUE(IsWindowVisible(omicron)) << i;
        }
        SendMessageA(main, WM_COMMAND, IDM_CLEAR_DESKTOP, 0);
        EXPECT_TRUE(WaitUntil([&] { return !helper.Lines("SC_CLOSE").empty(); }));
        Sleep(200);
        EXPECT_EQ(std::vector<std::string>{"Pi 0"}, helper.Lines("SC_CLOSE"));
        SetForegroundWindow(omicron);
        ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == omicron; }));
        Click(main, WM_MOUSEMOVE);
        SendMessageA(main, WM_COMMAND, IDM_STORE_WINDOW, 0);
        EXPECT_TRUE(Becomes(omicron, false));
        SendMessageA(main, WM_COMMAND, IDM_RESTORE_WINDOWS, 0);
        EXPECT_TRUE(Becomes(omicron, true));
        Click(main, WM_LBUTTONUP);
        EXPECT_TRUE(Becomes(omicron, false));  // kept no longer
    });
}

std::vector<WPARAM> g_defaultCommands;
WNDPROC g_defWindowProc;

// DefWindowProcA as the program's code calls it, through this program's import of it: a
// WM_COMMAND is recorded and answered with a value that tells it came from here.
LRESULT WINAPI RecordingDefWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_COMMAND) return g_defWindowProc(window, message, wParam, lParam);
    g_defaultCommands.push_back(wParam);
    return 0x5A5A;
}

TEST_F(Tray, CommandsWithoutARowGoToTheDefaultAndTheDoorCommandsReachMci)
{
    WithProgram([&](HWND main) {
        g_defaultCommands.clear();
        g_defWindowProc = (WNDPROC)PatchImport("user32.dll", "DefWindowProcA", (void *)RecordingDefWindowProc);
        ASSERT_TRUE(g_defWindowProc != NULL);
        const std::vector<WPARAM> ids = {1032, 1030, 1044, 0x10000 + 9999};
        for (WPARAM id : ids) EXPECT_EQ(0x5A5A, SendMessageA(main, WM_COMMAND, id, 0)) << id;
        EXPECT_EQ(0, SendMessageA(main, WM_COMMAND, MAKEWPARAM(IDM_CDROM_OPEN, 1), 77));
        EXPECT_EQ(0, SendMessageA(main, WM_COMMAND, IDM_CDROM_CLOSE, 0));
        PatchImport("user32.dll", "DefWindowProcA", (void *)g_defWindowProc);
        EXPECT_EQ(ids, g_defaultCommands);  // the door commands are not among them
        ASSERT_EQ(2u, seams.mciCommands.size());
        EXPECT_EQ("set cdAudio door open wait", seams.mciCommands[0]);
        EXPECT_EQ("set cdAudio door closed wait", seams.mciCommands[1]);
    });
    EXPECT_TRUE(seams.exitFlags.empty());
}

TEST_F(Tray, MenuItemSizeComesFromTheHiddenWindowsTextMetrics)
{
    WithProgram([&](HWND main) {
        HDC dc = GetDC(main);
        TEXTMETRICA metrics;
        GetTextMetricsA(dc, &metrics);
        ReleaseDC(main, dc);
        MEASUREITEMSTRUCT item = {ODT_MENU, 0, IDM_EXIT, 0, 0, 0};
        EXPECT_EQ(TRUE, SendMessageA(main, WM_MEASUREITEM, 0, (LPARAM)&item));
        EXPECT_EQ((UINT)(metrics.tmHeight * 13 / 10), item.itemHeight);
        EXPECT_EQ((UINT)(metrics.tmAveCharWidth * 16), item.itemWidth);
    });
}

TEST_F(Tray, TaskbarCreatedAddsTheIconAgain)
{
    WithProgram([&](HWND main) {
        NOTIFYICONDATAW record = TrayRecord();
        ASSERT_TRUE(Shell_NotifyIconW(NIM_MODIFY, &record));  // the icon is there
        ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &record));  // as the shell forgets it on a restart
        EXPECT_FALSE(Shell_NotifyIconW(NIM_MODIFY, &record));
        SendMessageA(main, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
        EXPECT_TRUE(Shell_NotifyIconW(NIM_MODIFY, &record));
    });
}

int g_refusals, g_adds;

BOOL WINAPI BusyShellAtFirst(DWORD message, NOTIFYICONDATAW *record)
{
    if (message != NIM_ADD) return Shell_NotifyIconW(message, record);
    ++g_adds;
    return g_refusals-- > 0 ? FALSE : Shell_NotifyIconW(message, record);
}

TEST_F(Tray, ARefusedAddIsTriedAgainOnTheTicksUntilTheIconIsThere)
{
    g_refusals = 2;
    g_adds = 0;
    g_seams.shellNotifyIcon = BusyShellAtFirst;  // the fixture's recorder puts it back
    WithProgram([&](HWND main) {
        NOTIFYICONDATAW record = TrayRecord();
        EXPECT_TRUE(WaitUntil([&] { return Shell_NotifyIconW(NIM_MODIFY, &record) != FALSE; }, 4000));
        Sleep(1200);
        EXPECT_EQ(3, g_adds);  // and no more once it is there
    });
}

BOOL WINAPI AddTimedOutButTaken(DWORD message, NOTIFYICONDATAW *record)
{
    BOOL done = Shell_NotifyIconW(message, record);
    if (message != NIM_ADD) return done;
    ++g_adds;
    return FALSE;  // as a busy shell at log-on answers, having added the icon all the same
}

// The shell lost the icon without a word: the switch's modify fails, and the next tick adds it.
TEST_F(Tray, AFailedModifyLeavesTheIconToTheNextTick)
{
    WithProgram([&](HWND main) {
        NOTIFYICONDATAW record = TrayRecord();
        ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &record));
        Click(main, WM_LBUTTONUP);
        record = TrayRecord();
        EXPECT_TRUE(WaitUntil([&] { return Shell_NotifyIconW(NIM_MODIFY, &record) != FALSE; }, 2500));
    });
}

TEST_F(Tray, AnAddThatTimedOutButWasTakenIsFoundByAModifyAndFollowsTheDesktop)
{
    g_adds = 0;
    g_seams.shellNotifyIcon = AddTimedOutButTaken;
    WithProgram([&](HWND main) {
        Sleep(1200);  // a tick or so
        EXPECT_EQ(1, g_adds);  // not tried again: the modify found it
        Click(main, WM_LBUTTONUP);
        EXPECT_EQ(DesktopIcon(IDI_DESKTOP1), TrayRecord().hIcon);
        EXPECT_EQ(1, g_adds);
    });
}

}  // namespace
