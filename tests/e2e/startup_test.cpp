// Trellith.exe started as a user starts it: the refusals at start-up, a second start, the end.
#include <gtest/gtest.h>
#include <vector>
#include "program.h"
#include "../win/harness.h"

namespace {

bool MutexExists()
{
    HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, "TRELLITH15");
    if (mutex) CloseHandle(mutex);
    return mutex != NULL;
}

// Icons cannot be read across processes; the screen shows which one it is: the error icon is
// red, the information icon blue. Returns the share of the icon's pixels of each.
BOOL CALLBACK FindIconStatic(HWND child, LPARAM found)
{
    if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) *(HWND *)found = child;
    return TRUE;
}

void IconColours(HWND box, int *redPixels, int *bluePixels)
{
    HWND icon = NULL;
    EnumChildWindows(box, FindIconStatic, (LPARAM)&icon);
    *redPixels = *bluePixels = 0;
    if (!icon) return;
    RECT r;
    GetWindowRect(icon, &r);
    HDC screen = GetDC(NULL);
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) {
            COLORREF c = GetPixel(screen, x, y);
            if (GetRValue(c) > 180 && GetGValue(c) < 90 && GetBValue(c) < 90) ++*redPixels;
            if (GetBValue(c) > 150 && GetRValue(c) < 100) ++*bluePixels;
        }
    ReleaseDC(NULL, screen);
}

// Starts the program in folder, expects one ownerless message box with text and icon, answers
// it, and expects the process to end with code 0 holding no mutex.
enum Icon { kErrorIcon, kInformationIcon };

void ExpectRefusal(const std::string &exe, const char *text, Icon icon, bool mutexWhileShown,
                   const std::string &currentFolder = "")
{
    Program program(exe, currentFolder);
    ASSERT_TRUE(program.Started());
    HWND box = program.MessageBox();
    ASSERT_TRUE(box != NULL);
    WaitUntil([&] { return IsWindowVisible(box); });
    char caption[64];
    GetWindowTextA(box, caption, sizeof caption);
    EXPECT_STREQ("Trellith", caption);
    EXPECT_EQ(NULL, GetWindow(box, GW_OWNER));
    EXPECT_EQ(text, MessageBoxText(box));
    Sleep(300);  // let it paint
    int red, blue;
    IconColours(box, &red, &blue);
    EXPECT_GT(icon == kErrorIcon ? red : blue, 100) << "red " << red << ", blue " << blue;
    EXPECT_LT(icon == kErrorIcon ? blue : red, 20) << "red " << red << ", blue " << blue;
    EXPECT_EQ(mutexWhileShown, MutexExists());
    EXPECT_EQ(NULL, program.MainWindow(0));
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(0u, program.WaitForExit(5000));
    EXPECT_FALSE(MutexExists());
}

TEST(StartUp, MissingModuleIsReported)
{
    std::string folder = MakeProgramFolder("missing", "Trellith.exe", "");
    ExpectRefusal(folder + "Trellith.exe", "找不到本程序的模块 Trellith.dll。", kErrorIcon, true);
}

TEST(StartUp, AModuleOnTheSearchPathIsNotTaken)
{
    // The program starts in a folder that holds a module, its own folder holds none: a load by
    // bare name would take the one from the current folder.
    std::string folder = MakeProgramFolder("planted", "Trellith.exe", "");
    std::string elsewhere = BinFolder() + "e2e\\planted_cwd\\";
    CreateDirectoryA(elsewhere.c_str(), NULL);
    CopyFileA((BinFolder() + "Trellith.dll").c_str(), (elsewhere + "Trellith.dll").c_str(), FALSE);
    ExpectRefusal(folder + "Trellith.exe", "找不到本程序的模块 Trellith.dll。", kErrorIcon, true, elsewhere);
}

TEST(StartUp, CountersThatCannotStartAreReported)
{
    for (const char *variant : {"start_fails", "no_exports"}) {
        std::string folder = BinFolder() + "variants\\" + variant + "\\";
        ExpectRefusal(folder + "Trellith.exe", "初始化失败，可以在注销或重启后重试。", kErrorIcon, true);
    }
}

TEST(StartUp, OtherPlatformsAreRefusedBeforeTheMutex)
{
    std::string folder = MakeProgramFolder("win98", "TrellithOld.exe");
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\TrellithOld.exe",
                                             0, NULL, 0, KEY_ALL_ACCESS, NULL, &key, NULL));
    RegSetValueExA(key, "Version", 0, REG_SZ, (const BYTE *)"win98", 6);
    RegCloseKey(key);
    ExpectRefusal(folder + "TrellithOld.exe", "本程序的该版本被设计运行于 Windows NT/2000/XP 平台。",
                  kInformationIcon, false);
}

TEST(StartUp, ASecondStartEndsSilentlyAndTheFirstEndsWithZeroOnClose)
{
    std::string folder = MakeProgramFolder("twice");
    Program first(folder + "Trellith.exe");
    HWND main = first.MainWindow();
    ASSERT_TRUE(main != NULL);
    DWORD start = GetTickCount();
    Program second(folder + "Trellith.exe");
    EXPECT_EQ(0u, second.WaitForExit(1000));
    EXPECT_LE(GetTickCount() - start, 1500u);
    EXPECT_EQ(NULL, second.MessageBox(0));
    EXPECT_EQ(STILL_ACTIVE, first.WaitForExit(0));
    EXPECT_TRUE(IsWindow(main));
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, first.WaitForExit(5000));
}

}  // namespace
