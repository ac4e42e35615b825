// The About dialog in the running program: the module's texts, the link's hot area and cursor,
// and what the shell is asked to open (through the seam).
#include <gtest/gtest.h>
#include "harness.h"
#include "../../src/app/app_main.h"
#include "../../src/app/app_state.h"
#include "../../src/companion/companion.h"
#include "../../src/res/resource.h"
#include "../../src/tray/commands.h"
#include "../../src/tray/popup_menu.h"

namespace {

unsigned __cdecl FakeGetTime(Counters *buffer)
{
    if (buffer) *buffer = Counters{1, 0, 0, 0};
    return 1;
}

// A module that leaves no NUL between the link target and its caption.
void __cdecl RunOnGetString(char *block)
{
    memset(block, 0, kAboutBlockSize);
    strcpy(block, "First");
    strcpy(block + kAboutSubtitle, "Second");
    memcpy(block + kAboutLinkTarget, "http://", 7);
    strcpy(block + kAboutLinkCaption, "example.org/guide");
    strcpy(block + kAboutEditText, "Edit");
}

class About : public ::testing::Test {
protected:
    SeamRecorder seams;
    HWND main = NULL, dialog = NULL;
    void TearDown() override { DeleteFileA(SchemeFilePath().c_str()); }  // written at each exit

    void Run(bool realModule, GetStringFn getString, const std::function<void()> &script)
    {
        RunDriven([] { AppMain(GetModuleHandleA(NULL)); }, [&] {
            main = WaitForWindow("TRELLITH15", "Trellith");
            ASSERT_TRUE(main != NULL);
            if (!realModule) SetCompanionEntries(FakeGetTime, getString);
            MovePointer(2, 2);  // away from where the link will be
            PostMessageA(main, WM_COMMAND, IDM_ABOUT, 0);
            dialog = WaitForWindow("#32770", "关于 Trellith");
            ASSERT_TRUE(dialog != NULL);
            script();
            PostMessageA(main, WM_CLOSE, 0, 0);
        });
    }
    std::string Text(int id) const
    {
        char text[256] = "";
        GetDlgItemTextA(dialog, id, text, sizeof text);
        return text;
    }
    RECT Link() const
    {
        RECT r;
        GetWindowRect(GetDlgItem(dialog, IDC_ABOUT_LINK), &r);
        return r;
    }
    // Moves the pointer and lets the dialog answer as the platform would ask it.
    void PointAt(int x, int y)
    {
        MovePointer(x, y);
        SendMessageA(dialog, WM_SETCURSOR, (WPARAM)dialog, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    }
    HCURSOR ClassCursor() const { return (HCURSOR)GetClassLongPtrA(dialog, GCLP_HCURSOR); }
    static HCURSOR Hand() { return LoadCursorA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDR_HAND_CURSOR)); }
    static bool AboutEnabled() { return !(GetMenuState(PopupMenu(), IDM_ABOUT, MF_BYCOMMAND) & MF_DISABLED); }
};

TEST_F(About, ShowsTheModulesTextsAndOpensTheGuideBesideTheProgram)
{
    Run(true, NULL, [&] {
        EXPECT_EQ("Trellith 1.5", Text(IDC_ABOUT_TITLE));
        EXPECT_EQ("虚拟桌面与定时关机", Text(IDC_ABOUT_SUBTITLE));
        EXPECT_EQ("使用说明", Text(IDC_ABOUT_LINK));
        EXPECT_EQ("版权所有 (C) 2026 Trellith 开发组", Text(IDC_ABOUT_EDIT));
        EXPECT_FALSE(AboutEnabled());
        RECT r = Link();
        MovePointer(r.left + 1, r.top + 1);
        SendMessageA(dialog, WM_LBUTTONUP, 0, 0);
        ASSERT_EQ(1u, seams.shellFiles.size());
        EXPECT_EQ(BinFolder() + "docs", seams.shellFiles[0]);  // beside the program
        EXPECT_EQ("", seams.shellDirectories[0]);
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);  // Enter
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
        EXPECT_TRUE(WaitUntil([&] { return AboutEnabled(); }));
    });
}

TEST_F(About, TheHotAreaIsTheLinksWholeWindowRectangle)
{
    Run(false, RunOnGetString, [&] {
        const HCURSOR saved = ClassCursor();
        ASSERT_NE(Hand(), saved);
        RECT r = Link();
        struct { int x, y; bool inside; } points[] = {
            {r.left, r.top, true}, {r.left + 2, (r.top + r.bottom) / 2, true},  // a blank end counts
            {r.right - 1, r.bottom - 1, true}, {r.right, r.top, false}, {r.left, r.bottom, false},
            {r.left - 1, r.top, false}};
        for (const auto &p : points) {
            PointAt(p.x, p.y);
            EXPECT_EQ(p.inside ? Hand() : saved, ClassCursor()) << p.x << "," << p.y;
        }
        MovePointer(r.right, r.bottom);
        SendMessageA(dialog, WM_LBUTTONUP, 0, 0);
        EXPECT_TRUE(seams.shellFiles.empty());
        MovePointer(r.left, r.top);
        SendMessageA(dialog, WM_LBUTTONUP, 0, MAKELPARAM(9999, 9999));  // the message's point is not used
        ASSERT_EQ(1u, seams.shellFiles.size());
        EXPECT_EQ("http://example.org/guide", seams.shellFiles[0]);  // seven bytes, then the caption

        // Closed from the keyboard with the pointer on the link: the hand does not stay.
        PointAt(r.left + 1, r.top + 1);
        ASSERT_EQ(Hand(), ClassCursor());
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);  // Esc
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
        WNDCLASSEXA dialogClass = {sizeof dialogClass};
        GetClassInfoExA(NULL, "#32770", &dialogClass);
        EXPECT_EQ(saved, dialogClass.hCursor);
    });
}

TEST_F(About, WithoutGetStringTheTextsAreEmptyAndTheLinkDoesNothing)
{
    Run(false, NULL, [&] {
        for (int id : {IDC_ABOUT_TITLE, IDC_ABOUT_SUBTITLE, IDC_ABOUT_LINK, IDC_ABOUT_EDIT}) EXPECT_EQ("", Text(id));
        RECT r = Link();
        MovePointer(r.left + 1, r.top + 1);
        SendMessageA(dialog, WM_LBUTTONUP, 0, 0);
        EXPECT_TRUE(seams.shellFiles.empty());
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    });
}

}  // namespace
