// The keys for the desktops, typed as a user types them (the platform's own keyboard input, where
// it finds the hot keys), against Trellith.exe and the windows of another program.
#include <gtest/gtest.h>
#include <vector>
#include "program.h"
#include "../win/harness.h"
#include "../../src/tray/key_rules.h"

namespace {

typedef std::vector<std::string> Lines;

// Presses the keys in order, the last one repeating as a held key does, and lets them go.
void Type(std::vector<WORD> keys, int repeats = 0)
{
    for (WORD k : keys) keybd_event((BYTE)k, 0, 0, 0);
    for (int i = 0; i < repeats; ++i) keybd_event((BYTE)keys.back(), 0, 0, 0);
    Sleep(repeats ? 300 : 50);  // held a while
    for (auto k = keys.rbegin(); k != keys.rend(); ++k) keybd_event((BYTE)*k, 0, KEYEVENTF_KEYUP, 0);
    Sleep(100);
}

void ShowDesktopKey(WORD f) { Type({VK_CONTROL, VK_MENU, f}); }

// Desktop 1 has Kappa 0, desktop 3 Kappa 2, each put there by clicks on the icon. Ctrl+Alt+F3 from
// desktop 1 shows desktop 3 with its window, and again does nothing; Ctrl+Alt+Shift+F2 sends the
// window in front to desktop 2, once however long the key is held, and it comes back with it.
TEST(DesktopKeys, AKeyShowsTheDesktopItNamesOrSendsTheWindowInFrontThere)
{
    HelperWindows helper({"Kappa*3"});
    HWND k0 = helper.Find("Kappa", 0), k1 = helper.Find("Kappa", 1), k2 = helper.Find("Kappa", 2);
    Program program(MakeProgramFolder("keys") + "Trellith.exe");
    HWND main = program.MainWindow();
    ASSERT_TRUE(main != NULL);
    auto click = [&] {  // twice
        for (int i = 0; i < 2; ++i, Sleep(200)) PostMessageA(main, WM_USER, 102, WM_LBUTTONUP);
    };
    ShowWindow(k1, SW_HIDE);
    ShowWindow(k2, SW_HIDE);
    click();
    ShowWindow(k2, SW_SHOW);  // by its program, on desktop 3
    click();
    EXPECT_TRUE(Becomes(k0, true));
    EXPECT_FALSE(IsWindowVisible(k2));
    helper.ClearLog();
    ShowDesktopKey(VK_F3);
    EXPECT_TRUE(WaitUntil([&] { return helper.Lines("SHOW") == Lines{"Kappa 2"} && helper.Lines("HIDE") == Lines{"Kappa 0"}; }));
    helper.ClearLog();
    Type({VK_CONTROL, VK_MENU, VK_F3}, 5);
    EXPECT_TRUE(helper.Lines("HIDE").empty() && helper.Lines("SHOW").empty());
    EXPECT_FALSE(IsWindowVisible(k0));

    ShowWindow(k1, SW_SHOW);  // by its program, on desktop 3 too
    SetForegroundWindow(k2);
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == k2; }));
    Type({VK_CONTROL, VK_MENU, VK_SHIFT, VK_F2}, 5);
    EXPECT_TRUE(Becomes(k2, false));
    Sleep(300);
    EXPECT_TRUE(IsWindowVisible(k1));  // in front after k2 went, and held keys send nothing more
    ShowDesktopKey(VK_F2);
    EXPECT_TRUE(Becomes(k2, true));
    EXPECT_TRUE(Becomes(k1, false));
    EXPECT_FALSE(IsWindowVisible(k0));
}

// A key another program took first is skipped without a word, and the others work; the value
// Hotkeys = 0 turns them all off at the next start.
TEST(DesktopKeys, AKeyTakenFirstIsSkippedAndTheValueZeroTurnsThemOff)
{
    HelperWindows helper({"Lambda"});
    HWND lambda = helper.Find("Lambda");
    ASSERT_TRUE(RegisterHotKey(NULL, 1, MOD_CONTROL | MOD_ALT, VK_F2));
    {
        Program program(MakeProgramFolder("keys-taken") + "Trellith.exe");
        ASSERT_TRUE(program.MainWindow() != NULL);
        ShowDesktopKey(VK_F2);
        MSG msg;
        EXPECT_TRUE(PeekMessageA(&msg, NULL, WM_HOTKEY, WM_HOTKEY, PM_REMOVE));  // ours, not Trellith's
        EXPECT_TRUE(IsWindowVisible(lambda));
        EXPECT_EQ(NULL, program.MessageBox(500));
        ShowDesktopKey(VK_F3);
        EXPECT_TRUE(Becomes(lambda, false));
    }
    UnregisterHotKey(NULL, 1);
    HKEY key;
    DWORD off = 0;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Trellith", 0, NULL, 0, KEY_SET_VALUE, NULL, &key, NULL));
    RegSetValueExA(key, "Hotkeys", 0, REG_DWORD, (const BYTE *)&off, sizeof off);
    {
        Program program(MakeProgramFolder("keys-off") + "Trellith.exe");
        ASSERT_TRUE(program.MainWindow() != NULL);
        for (int id = 1; id <= kKeyCount; ++id) {  // every key is free
            DesktopKey key = DesktopKeyOf(id);
            EXPECT_TRUE(RegisterHotKey(NULL, id, key.modifiers, key.virtualKey)) << id;
            UnregisterHotKey(NULL, id);
        }
    }
    RegDeleteValueA(key, "Hotkeys");
    RegCloseKey(key);
}

}  // namespace
