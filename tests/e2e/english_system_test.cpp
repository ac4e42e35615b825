// Trellith on a Windows whose own code page is not Chinese (tests/scripts/english_system.sh runs
// the first test with a Chinese locale and the second with an English one): its texts read as on a
// Chinese system, and a name typed there is stored as a Chinese system stores it.
#include <gtest/gtest.h>
#include <vector>
#include "program.h"
#include "../win/harness.h"

namespace {

std::string PictureFile()
{
    return BinFolder() + "e2e\\menu-on-a-chinese-system.bin";
}

// The tray menu as it opens at a fixed place, pixel by pixel.
std::string MenuPicture()
{
    Program program(MakeProgramFolder("english") + "Trellith.exe");
    HWND main = program.MainWindow();
    if (!main) return "";
    MovePointer(600, 300);
    PostMessageA(main, WM_USER, 102, WM_RBUTTONUP);
    HWND menu = NULL;
    WaitUntil([&] { menu = FindWindowA("#32768", NULL); return menu && IsWindowVisible(menu); });
    Sleep(500);  // drawn
    RECT r;
    GetWindowRect(menu, &r);
    const int width = r.right - r.left, height = r.bottom - r.top;
    HDC screen = GetDC(NULL), dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(dc, bitmap);
    BitBlt(dc, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    SelectObject(dc, old);
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB};
    std::string pixels((size_t)width * height * 4, '\0');
    GetDIBits(dc, bitmap, 0, height, &pixels[0], &info, DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(NULL, screen);
    PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    return std::to_string(width) + "x" + std::to_string(height) + ":" + pixels;
}

// A control of another process tells its text only when asked.
std::wstring TextOf(HWND window)
{
    wchar_t text[256] = L"";
    SendMessageW(window, WM_GETTEXT, 256, (LPARAM)text);
    return text;
}

std::wstring MessageBoxTextW(HWND box)
{
    std::wstring text;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t className[32];
        GetClassNameW(child, className, 32);
        if (lstrcmpiW(className, L"Static") == 0) text += TextOf(child);
    }
    return text;
}

TEST(EnglishSystem, AChineseSystemsMenu)
{
    ASSERT_EQ(936u, GetACP());
    std::string picture = MenuPicture();
    ASSERT_FALSE(picture.empty());
    WriteFileBytes(PictureFile(), picture);
}

TEST(EnglishSystem, TheSameTextsOnAnEnglishSystem)
{
    ASSERT_EQ(1252u, GetACP());
    EXPECT_TRUE(MenuPicture() == ReadFileBytes(PictureFile())) << "the menu differs from a Chinese system's";
    std::string folder = MakeProgramFolder("english");
    Program program(folder + "Trellith.exe");
    HWND main = program.MainWindow();
    ASSERT_TRUE(main != NULL);
    PostMessageA(main, WM_COMMAND, 1038, 0);
    HWND dialog = NULL;
    ASSERT_TRUE(WaitUntil([&] { return (dialog = FindWindowW(L"#32770", L"定时器设置")) && IsWindowVisible(dialog); }));
    EXPECT_EQ(L"新建", TextOf(GetDlgItem(dialog, 4)));
    EXPECT_EQ(L"该方案执行一次后暂停", TextOf(GetDlgItem(dialog, 1001)));
    wchar_t entry[32] = L"";
    SendDlgItemMessageW(dialog, 1008, CB_GETLBTEXT, 3, (LPARAM)entry);
    EXPECT_STREQ(L"开机后一段时间", entry);
    PostMessageW(GetDlgItem(dialog, 4), BM_CLICK, 0, 0);  // New without a name
    HWND box = NULL;
    ASSERT_TRUE(WaitUntil([&] { return (box = FindWindowW(L"#32770", L"Trellith")) && IsWindowVisible(box); }));
    EXPECT_EQ(L"请输入新方案的名称。", MessageBoxTextW(box));
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
    SetDlgItemTextW(dialog, 1000, L"晚上关机");
    PostMessageW(GetDlgItem(dialog, 4), BM_CLICK, 0, 0);
    PostMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
    std::string saved = ReadFileBytes(folder + "Trellith.ini");
    ASSERT_EQ(84u, saved.size());
    EXPECT_EQ(std::string("\xCD\xED\xC9\xCF\xB9\xD8\xBB\xFA\0", 9), saved.substr(0, 9));  // 晚上关机 in code page 936
}

}  // namespace
