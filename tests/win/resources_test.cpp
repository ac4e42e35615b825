// The icons, the cursor and the three dialog templates, as Windows loads them.
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "harness.h"
#include <commctrl.h>
#include "../../src/res/resource.h"

namespace {

TEST(Icons, LitQuadrantMovesClockwiseWithRedMarksAndNoTransparency)
{
    const uint32_t green = 0x00FF00, blue = 0x0000FF, red = 0xFF0000;
    const int ids[] = {IDI_DESKTOP0, IDI_DESKTOP1, IDI_DESKTOP2, IDI_DESKTOP3};
    const POINT centres[] = {{8, 8}, {24, 8}, {24, 24}, {8, 24}};  // clockwise from top-left
    for (int desktop = 0; desktop < 4; ++desktop) {
        HICON icon = LoadIconA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(ids[desktop]));
        ASSERT_TRUE(icon != NULL) << ids[desktop];
        ICONINFO info;
        ASSERT_TRUE(GetIconInfo(icon, &info));
        EXPECT_TRUE(info.fIcon);
        std::vector<uint32_t> colour = BitmapPixels(info.hbmColor), mask = BitmapPixels(info.hbmMask);
        for (int q = 0; q < 4; ++q) {
            EXPECT_EQ(q == desktop ? green : blue, colour[centres[q].y * 32 + centres[q].x])
                << "icon " << ids[desktop] << " quadrant " << q;
        }
        EXPECT_EQ(red, colour[0 * 32 + 3]);    // along the top edge
        EXPECT_EQ(red, colour[15 * 32 + 4]);   // along the horizontal centre line
        EXPECT_EQ(red, colour[28 * 32 + 16]);  // along the vertical centre line
        for (uint32_t m : mask) ASSERT_EQ(0u, m) << "icon " << ids[desktop] << " has a transparent pixel";
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
    }
}

TEST(Cursor, PointingHandWithItsHotSpotAtTheFingertip)
{
    HCURSOR hand = LoadCursorA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDR_HAND_CURSOR));
    ASSERT_TRUE(hand != NULL);
    ICONINFO info;
    ASSERT_TRUE(GetIconInfo(hand, &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(12u, info.xHotspot);
    EXPECT_EQ(1u, info.yHotspot);
    ASSERT_TRUE(info.hbmColor != NULL);
    std::vector<uint32_t> colour = BitmapPixels(info.hbmColor), mask = BitmapPixels(info.hbmMask);
    EXPECT_EQ(0u, mask[1 * 32 + 12]);          // the fingertip is drawn
    EXPECT_EQ(0u, colour[1 * 32 + 12]);        // in black
    EXPECT_EQ(0xFFFFFFu, colour[3 * 32 + 12]); // the finger is white inside
    EXPECT_NE(0u, mask[0]);                    // around the hand it is transparent
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
}

INT_PTR CALLBACK PlainDialog(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

struct ControlSpec {
    int id;
    const char *className;
    DWORD style;  // beyond WS_CHILD and WS_VISIBLE
    RECT units;   // x, y, width, height in dialog units
    const char *text;
};

// Reads a DLGTEMPLATE as stored in the resource: its fields are exactly what the template says.
class TemplateReader {
public:
    explicit TemplateReader(const void *data) : p_((const BYTE *)data) {}
    DWORD Dword() { DWORD v; memcpy(&v, p_, 4); p_ += 4; return v; }
    WORD Word() { WORD v; memcpy(&v, p_, 2); p_ += 2; return v; }
    // A string or, after 0xFFFF, an ordinal, given back as "#n".
    std::string Text()
    {
        if (Peek() == 0xFFFF) {
            Word();
            return "#" + std::to_string(Word());
        }
        std::wstring wide;
        for (WORD c; (c = Word()) != 0;) wide += (wchar_t)c;
        char text[256] = "";
        WideCharToMultiByte(936, 0, wide.c_str(), -1, text, sizeof text, NULL, NULL);
        return text;
    }
    void AlignDword() { p_ = (const BYTE *)(((ULONG_PTR)p_ + 3) & ~(ULONG_PTR)3); }

private:
    WORD Peek() { WORD v; memcpy(&v, p_, 2); return v; }
    const BYTE *p_;
};

std::string ClassName(const std::string &templateClass)
{
    static const char *const kAtoms[] = {"Button", "Edit", "Static", "ListBox", "ScrollBar", "ComboBox"};
    if (templateClass[0] != '#') return templateClass;
    return kAtoms[std::stoi(templateClass.substr(1)) - 0x80];
}

// Compares the stored template with the table, then checks that the platform can create it.
void CheckDialog(int templateId, const char *caption, DWORD style, int width, int height,
                 const std::vector<ControlSpec> &controls)
{
    HMODULE module = GetModuleHandleA(NULL);
    HRSRC found = FindResourceExA(module, (LPCSTR)RT_DIALOG, MAKEINTRESOURCEA(templateId),
                                  MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED));
    ASSERT_TRUE(found != NULL) << "dialog " << templateId << " in Chinese (PRC)";
    TemplateReader t(LockResource(LoadResource(module, found)));
    EXPECT_EQ(style | DS_SETFONT, t.Dword()) << templateId;
    EXPECT_EQ(0u, t.Dword());
    ASSERT_EQ(controls.size(), t.Word()) << templateId;
    EXPECT_EQ(0, t.Word());
    EXPECT_EQ(0, t.Word());
    EXPECT_EQ(width, t.Word());
    EXPECT_EQ(height, t.Word());
    EXPECT_EQ("", t.Text());  // no menu
    EXPECT_EQ("", t.Text());  // the default dialog class
    EXPECT_EQ(caption, t.Text());
    EXPECT_EQ(10, t.Word());
    EXPECT_EQ("宋体", t.Text());
    for (const ControlSpec &c : controls) {
        t.AlignDword();
        EXPECT_EQ(c.style | WS_CHILD | WS_VISIBLE, t.Dword()) << "control " << c.id << " of " << templateId;
        EXPECT_EQ(0u, t.Dword()) << "control " << c.id;
        RECT r;
        r.left = t.Word();
        r.top = t.Word();
        r.right = t.Word();
        r.bottom = t.Word();
        EXPECT_TRUE(EqualRect(&r, &c.units)) << "control " << c.id << " at " << r.left << "," << r.top
                                             << " " << r.right << "x" << r.bottom;
        EXPECT_EQ(c.id, t.Word());
        std::string className = ClassName(t.Text());  // a name or its atom, in any case
        EXPECT_EQ(0, lstrcmpiA(c.className, className.c_str())) << "control " << c.id << ": " << className;
        std::string text = t.Text();
        if (c.text) {
            EXPECT_EQ(c.text, text) << "control " << c.id;
        }
        WORD extra = t.Word();
        EXPECT_EQ(0, extra);
    }
    HWND dialog = CreateDialogParamA(module, MAKEINTRESOURCEA(templateId), NULL, PlainDialog, 0);
    EXPECT_TRUE(dialog != NULL) << templateId;
    DestroyWindow(dialog);
}

TEST(DialogTemplates, TimerSettings)
{
    const DWORD edit = ES_NUMBER | ES_CENTER | WS_BORDER | WS_TABSTOP, label = SS_CENTER | SS_CENTERIMAGE | WS_GROUP,
                leftLabel = SS_LEFT | SS_CENTERIMAGE | WS_GROUP, button = BS_OWNERDRAW | WS_TABSTOP,
                check = BS_AUTOCHECKBOX | WS_TABSTOP, list = CBS_DROPDOWNLIST | WS_TABSTOP;
    CheckDialog(IDD_SETTINGS, "定时器设置", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 215, 185, {
        {1010, "Static", SS_CENTER | SS_CENTERIMAGE | SS_SUNKEN | WS_GROUP, {10, 10, 195, 12}, ""},
        {1000, "ComboBox", CBS_DROPDOWN | CBS_SORT | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP, {10, 30, 195, 145}, ""},
        {4, "Button", button, {10, 50, 30, 12}, "新建"},
        {3, "Button", button, {65, 50, 30, 12}, "删除"},
        {1, "Button", button, {120, 50, 30, 12}, "确定"},
        {2, "Button", button, {175, 50, 30, 12}, "取消"},
        {65535, "Button", BS_GROUPBOX, {10, 70, 95, 50}, "触发方式"},
        {1008, "ComboBox", list, {15, 80, 85, 95}, NULL},
        {65535, "Static", leftLabel, {15, 100, 35, 12}, "设定时间："},
        {1014, "Edit", edit, {50, 100, 15, 12}, ""},
        {65535, "Static", label, {65, 100, 10, 12}, "时"},
        {1015, "Edit", edit, {75, 100, 15, 12}, ""},
        {65535, "Static", label, {90, 100, 10, 12}, "分"},
        {65535, "Button", BS_GROUPBOX, {110, 70, 95, 50}, "执行操作"},
        {1009, "ComboBox", list, {115, 80, 85, 95}, NULL},
        {65535, "Static", leftLabel, {115, 100, 35, 12}, "延迟等待："},
        {1018, "Edit", edit, {150, 100, 15, 12}, ""},
        {65535, "Static", label, {165, 100, 10, 12}, "分"},
        {1019, "Edit", edit, {175, 100, 15, 12}, ""},
        {65535, "Static", label, {190, 100, 10, 12}, "秒"},
        {65535, "Button", BS_GROUPBOX, {10, 125, 95, 50}, "附加属性"},
        {1005, "Button", check, {15, 140, 85, 10}, "该方案暂停使用"},
        {1001, "Button", check, {15, 155, 85, 10}, "该方案执行一次后暂停"},
        {65535, "Button", BS_GROUPBOX, {110, 125, 95, 50}, "全局选项"},
        {1007, "Button", check, {115, 140, 85, 10}, "强制结束应用程序"},
        {1006, "Button", check, {115, 155, 85, 10}, "自动运行(写注册表项)"},
    });
}

TEST(DialogTemplates, About)
{
    const DWORD line = SS_CENTER | SS_CENTERIMAGE | WS_GROUP;
    CheckDialog(IDD_ABOUT, "关于 Trellith", WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 210, 105, {
        {65535, "Static", SS_ICON, {10, 10, 20, 20}, "#102"},
        {1032, "Static", line, {50, 10, 110, 10}, ""},
        {1033, "Static", line, {50, 30, 110, 10}, ""},
        {1031, "Edit", ES_CENTER | ES_READONLY | WS_TABSTOP, {10, 52, 190, 12}, ""},
        {1027, "Static", line, {50, 70, 110, 10}, ""},
        {1, "Button", BS_OWNERDRAW | WS_TABSTOP, {175, 75, 25, 20}, "确定"},
    });
}

TEST(DialogTemplates, Countdown)
{
    InitCommonControls();
    CheckDialog(IDD_COUNTDOWN, "Trellith", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_MODALFRAME, 210, 105, {
        {1031, "Static", SS_CENTER | SS_CENTERIMAGE, {10, 15, 190, 15}, ""},
        {1029, "msctls_progress32", PBS_SMOOTH, {10, 45, 190, 15}, NULL},
        {1030, "Static", SS_CENTER | SS_CENTERIMAGE, {10, 75, 190, 15}, ""},
    });
}

}  // namespace
