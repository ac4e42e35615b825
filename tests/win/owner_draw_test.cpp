// Owner drawing painted into a memory device context and read back pixel by pixel, centring,
// and the dialog colour answers.
#include <gtest/gtest.h>
#include <string>
#include "harness.h"
#include "../../src/app/app_state.h"
#include "../../src/res/resource.h"
#include "../../src/ui/owner_draw.h"

namespace {

const COLORREF kBackground = RGB(165, 201, 239), kShadow = RGB(116, 141, 167), kFace = RGB(71, 101, 158),
               kOutline = RGB(85, 121, 190), kYellow = RGB(255, 255, 0), kWhite = RGB(255, 255, 255),
               kGrey = RGB(128, 128, 128);

class OwnerDraw : public ::testing::Test {
protected:
    static const int W = 400, H = 40;
    HDC dc = NULL;
    HBITMAP bitmap = NULL;
    HGDIOBJ oldBitmap = NULL;
    DWORD *bits = NULL;
    HBRUSH ownBrush = NULL;

    void SetUp() override
    {
        if (!BackgroundBrush()) SetBackgroundBrush(ownBrush = CreateSolidBrush(kBackground));
        BITMAPINFO info = {};
        info.bmiHeader = {sizeof info.bmiHeader, W, -H, 1, 32, BI_RGB};
        dc = CreateCompatibleDC(NULL);
        bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, (void **)&bits, NULL, 0);
        oldBitmap = SelectObject(dc, bitmap);
    }
    void TearDown() override
    {
        SelectObject(dc, oldBitmap);
        DeleteObject(bitmap);
        DeleteDC(dc);
        if (ownBrush) {
            SetBackgroundBrush(NULL);
            DeleteObject(ownBrush);
        }
    }
    void Paint(UINT state, const char *text, UINT type = ODT_MENU, HWND button = NULL)
    {
        memset(bits, 0x55, W * H * 4);
        DRAWITEMSTRUCT item = {type, 0, 1, ODA_DRAWENTIRE, state, button, dc, {0, 0, W, H}, (ULONG_PTR)text};
        DrawOwnerItem(&item);
    }
    COLORREF Pixel(int x, int y) const
    {
        DWORD p = bits[y * W + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    int CountInFace(COLORREF colour) const  // inside the face, clear of its outline
    {
        int n = 0;
        for (int y = 6; y < H - 8; ++y)
            for (int x = 12; x < W - 12; ++x) n += Pixel(x, y) == colour;
        return n;
    }
    std::string Snapshot() const { return std::string((const char *)bits, W * H * 4); }
};

TEST_F(OwnerDraw, EveryRowOfTheStateTable)
{
    const UINT D = ODS_DISABLED, S = ODS_SELECTED, F = ODS_FOCUS;
    struct { UINT state; bool pressed; COLORREF outline, text; } rows[] = {
        {0, false, kOutline, kWhite}, {F, false, kYellow, kWhite}, {S, true, kYellow, kYellow},
        {S | F, true, kYellow, kYellow}, {D, false, kOutline, kGrey}, {D | F, false, kYellow, kGrey},
        {D | S, true, kYellow, kGrey}, {D | S | F, true, kYellow, kGrey},
        {ODS_GRAYED | ODS_CHECKED, false, kOutline, kWhite}};
    const COLORREF texts[] = {kWhite, kYellow, kGrey};
    for (const auto &row : rows) {
        Paint(row.state, "\xA1\xF6\xA1\xF6\xA1\xF6 TRELLITH");  // "■■■ TRELLITH": solid glyphs
        const int mid = W / 2;
        EXPECT_EQ(kBackground, Pixel(0, H - 1)) << "state " << row.state;   // left of the shadow
        EXPECT_EQ(kBackground, Pixel(W - 2, 0)) << "state " << row.state;   // outside the round corner
        if (!row.pressed) {
            EXPECT_EQ(kShadow, Pixel(mid, H - 1)) << "state " << row.state;  // shadow below the face
            EXPECT_EQ(row.outline, Pixel(mid, 0)) << "state " << row.state; // face top edge
            EXPECT_EQ(row.outline, Pixel(0, H / 2)) << "state " << row.state;
            EXPECT_EQ(row.outline, Pixel(mid, H - 3)) << "state " << row.state;
        } else {  // pressed: no shadow, the face one pixel right and down
            EXPECT_EQ(kBackground, Pixel(mid, H - 1)) << "state " << row.state;
            EXPECT_EQ(kBackground, Pixel(mid, 0)) << "state " << row.state;
            EXPECT_EQ(row.outline, Pixel(mid, 1)) << "state " << row.state;
            EXPECT_EQ(kBackground, Pixel(0, H / 2)) << "state " << row.state;
            EXPECT_EQ(row.outline, Pixel(1, H / 2)) << "state " << row.state;
            EXPECT_EQ(row.outline, Pixel(mid, H - 2)) << "state " << row.state;
        }
        EXPECT_EQ(kFace, Pixel(4, H / 2)) << "state " << row.state;
        EXPECT_GT(CountInFace(row.text), 20) << "state " << row.state;
        for (COLORREF other : texts) {
            if (other == row.text) continue;
            EXPECT_EQ(0, CountInFace(other)) << "state " << row.state;
        }
    }
}

TEST_F(OwnerDraw, AButtonDrawsAtMost31BytesOfItsText)
{
    HWND parent = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
    const char *text = "ABCDEFGHIJKLMNOPQRSTUVWXYZ01234567890";
    HWND button = CreateWindowA("BUTTON", text, WS_CHILD | BS_OWNERDRAW, 0, 0, W, H, parent, NULL, NULL, NULL);
    Paint(0, NULL, ODT_BUTTON, button);
    std::string asButton = Snapshot();
    Paint(0, std::string(text, 31).c_str());
    EXPECT_TRUE(asButton == Snapshot()) << "the button drew other than its first 31 bytes";
    Paint(0, std::string(text, 32).c_str());
    EXPECT_FALSE(asButton == Snapshot());
    DestroyWindow(parent);
}

TEST_F(OwnerDraw, PaintingManyTimesLeaksNoPenOrBrush)
{
    // Wine keeps about 65,000 GDI handles: leaking a pen or brush a paint would exhaust them
    // before the end. (Wine hands out the stock pen for PS_NULL, so only the others can leak.)
    for (int i = 0; i < 70000; ++i) {
        DRAWITEMSTRUCT item = {ODT_MENU, 0, 1, ODA_DRAWENTIRE, (UINT)(i & (ODS_SELECTED | ODS_FOCUS | ODS_DISABLED)),
                               NULL, dc, {0, 0, 60, 20}, (ULONG_PTR)"x"};
        DrawOwnerItem(&item);
    }
    HPEN pen = CreatePen(PS_SOLID, 1, 0);
    EXPECT_TRUE(pen != NULL);
    DeleteObject(pen);
    Paint(0, "ok");
    EXPECT_EQ(kShadow, Pixel(W / 2, H - 1));
    EXPECT_EQ(kFace, Pixel(4, H / 2));
}

INT_PTR CALLBACK PlainDialog(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

TEST(CenterOnScreen, CentresOnTheWholeScreenTruncatingTowardZeroAndSetsTheClassIcon)
{
    SetAppInstance(GetModuleHandleA(NULL));
    HWND dialog = CreateDialogParamA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDD_ABOUT), NULL, PlainDialog, 0);
    ASSERT_TRUE(dialog != NULL);
    const int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
    struct { int width, height, x, y; } cases[] = {
        {301, 200, (cx - 301) / 2, (cy - 200) / 2}, {cx + 3, 101, -1, (cy - 101) / 2}, {cx + 4, cy + 5, -2, -2}};
    for (const auto &c : cases) {
        SetWindowPos(dialog, NULL, 5, 7, c.width, c.height, SWP_NOZORDER | SWP_NOACTIVATE);
        CenterOnScreen(dialog);
        RECT r;
        GetWindowRect(dialog, &r);
        EXPECT_EQ(c.x, r.left) << c.width;
        EXPECT_EQ(c.y, r.top) << c.height;
        EXPECT_EQ(c.width, r.right - r.left);
        EXPECT_EQ(c.height, r.bottom - r.top);
    }
    EXPECT_EQ((LONG_PTR)LoadIconA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDI_DESKTOP0)),
              GetClassLongPtrA(dialog, GCLP_HICON));
    DestroyWindow(dialog);
}

TEST(DialogColors, StaticsGetTheBrushTransparentTextAndOneBlueControl)
{
    HBRUSH brush = CreateSolidBrush(kBackground);
    HBRUSH previous = BackgroundBrush();
    SetBackgroundBrush(brush);
    HWND parent = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
    HWND link = CreateWindowA("STATIC", "", WS_CHILD, 0, 0, 5, 5, parent, (HMENU)1027, NULL, NULL);
    HWND other = CreateWindowA("STATIC", "", WS_CHILD, 0, 0, 5, 5, parent, (HMENU)1032, NULL, NULL);
    HDC dc = CreateCompatibleDC(NULL);
    EXPECT_EQ((INT_PTR)brush, AnswerDialogColor(WM_CTLCOLORSTATIC, (WPARAM)dc, (LPARAM)link, 1027, TRUE));
    EXPECT_EQ(RGB(0, 0, 255), GetTextColor(dc));
    EXPECT_EQ(TRANSPARENT, GetBkMode(dc));
    EXPECT_EQ((INT_PTR)brush, AnswerDialogColor(WM_CTLCOLORSTATIC, (WPARAM)dc, (LPARAM)other, 1027, TRUE));
    EXPECT_EQ(RGB(0, 0, 0), GetTextColor(dc));
    EXPECT_EQ((INT_PTR)brush, AnswerDialogColor(WM_CTLCOLORDLG, (WPARAM)dc, (LPARAM)parent, 1027, TRUE));
    EXPECT_EQ((INT_PTR)brush, AnswerDialogColor(WM_CTLCOLORBTN, (WPARAM)dc, (LPARAM)other, 1027, TRUE));
    EXPECT_EQ(FALSE, AnswerDialogColor(WM_CTLCOLORBTN, (WPARAM)dc, (LPARAM)other, 0, FALSE));
    for (UINT unanswered : {WM_CTLCOLOREDIT, WM_CTLCOLORLISTBOX, WM_CTLCOLORSCROLLBAR, WM_CTLCOLORMSGBOX})
        EXPECT_EQ(FALSE, AnswerDialogColor(unanswered, (WPARAM)dc, (LPARAM)other, 1027, TRUE)) << unanswered;
    DeleteDC(dc);
    DestroyWindow(parent);
    SetBackgroundBrush(previous);
    DeleteObject(brush);
}

}  // namespace
