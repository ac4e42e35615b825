#include "owner_draw.h"
#include "owner_draw_plan.h"
#include "../app/app_state.h"
#include "../app/cp936.h"
#include "../app/wide_text.h"
#include "../res/resource.h"

const int kCorner = 16;

// One rounded plate with its own pen and brush, both gone again when it returns.
static void DrawRounded(HDC dc, const PlanRect &r, COLORREF line, COLORREF fill)
{
    HPEN pen = CreatePen(PS_SOLID, 1, line);
    HBRUSH brush = CreateSolidBrush(fill);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    RoundRect(dc, r.left, r.top, r.right, r.bottom, kCorner, kCorner);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(brush);
    DeleteObject(pen);
}

void DrawItemPlate(const DRAWITEMSTRUCT *item, const wchar_t *text, int length)
{
    HDC dc = item->hDC;
    const RECT &r = item->rcItem;
    OwnerDrawPlan plan;
    PlanOwnerItem(PlanRect{r.left, r.top, r.right, r.bottom}, item->itemState, &plan);

    // With a null pen, Rectangle leaves out the right and bottom edge: +1 fills the item exactly.
    HPEN nullPen = CreatePen(PS_NULL, 0, 0);
    HGDIOBJ oldPen = SelectObject(dc, nullPen);
    HGDIOBJ oldBrush = SelectObject(dc, BackgroundBrush());
    Rectangle(dc, r.left, r.top, r.right + 1, r.bottom + 1);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(nullPen);

    if (plan.hasShadow) DrawRounded(dc, plan.shadow, kColorShadow, kColorShadow);
    DrawRounded(dc, plan.face, plan.outline, kColorFace);

    SetTextColor(dc, plan.text);
    SetBkMode(dc, TRANSPARENT);
    RECT face = {plan.face.left, plan.face.top, plan.face.right, plan.face.bottom};
    DrawTextW(dc, text, length, &face, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

void DrawOwnerItem(const DRAWITEMSTRUCT *item)
{
    // A button's window text, as far as 31 bytes of it go in code page 936 (its 32-byte buffer),
    // or a menu item's code page 936 text: drawn wide, so that any system shows it.
    if (item->CtlType == ODT_BUTTON) {
        wchar_t text[32];
        GetWindowTextW(item->hwndItem, text, 32);
        DrawItemPlate(item, text, (int)CharactersInBytes((const uint16_t *)text, 31));
    } else {
        DrawItemPlate(item, WideText(item->itemData ? (const char *)item->itemData : ""), -1);
    }
}

void MeasureMenuItem(HWND window, MEASUREITEMSTRUCT *item)
{
    HDC dc = GetDC(window);
    TEXTMETRICA metrics;
    GetTextMetricsA(dc, &metrics);
    ReleaseDC(window, dc);
    item->itemHeight = MenuItemHeight(metrics.tmHeight);
    item->itemWidth = MenuItemWidth(metrics.tmAveCharWidth);
}

void CenterOnScreen(HWND dialog)
{
    SetClassLongPtrA(dialog, GCLP_HICON, (LONG_PTR)LoadIconA(AppInstance(), MAKEINTRESOURCEA(IDI_DESKTOP0)));
    RECT r;
    GetWindowRect(dialog, &r);
    int width = r.right - r.left, height = r.bottom - r.top;
    int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;  // truncates toward zero
    int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    MoveWindow(dialog, x, y, width, height, TRUE);
}

INT_PTR AnswerDialogColor(UINT message, WPARAM wParam, LPARAM lParam, int blueControl, BOOL answerButtons)
{
    switch (message) {
    case WM_CTLCOLORSTATIC: {
        HDC dc = (HDC)wParam;
        SetTextColor(dc, GetDlgCtrlID((HWND)lParam) == blueControl ? RGB(0, 0, 255) : RGB(0, 0, 0));
        SetBkMode(dc, TRANSPARENT);
        return (INT_PTR)BackgroundBrush();
    }
    case WM_CTLCOLORDLG: return (INT_PTR)BackgroundBrush();
    case WM_CTLCOLORBTN: return answerButtons ? (INT_PTR)BackgroundBrush() : FALSE;
    }
    return FALSE;
}
