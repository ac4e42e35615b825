#include "about_dialog.h"
#include <string.h>
#include "owner_draw.h"
#include "../app/app_state.h"
#include "../app/seams.h"
#include "../app/wide_text.h"
#include "../companion/about_block.h"
#include "../companion/companion.h"
#include "../res/resource.h"

static HCURSOR g_handCursor;
static HCURSOR g_savedClassCursor;

// The hot area is the whole window rectangle of the link's static, not just its text.
static BOOL CursorOverLink(HWND dialog)
{
    RECT link;
    POINT cursor;
    GetWindowRect(GetDlgItem(dialog, IDC_ABOUT_LINK), &link);
    GetCursorPos(&cursor);
    return PtInRect(&link, cursor);
}

static void SetTextFromBlock(HWND dialog, int control, const char *block, int offset)
{
    char text[kAboutBlockSize + 1];
    AboutText(block, offset, text, sizeof text);
    SetDlgItemTextW(dialog, control, WideText(text));
}

static void OnInitDialog(HWND dialog)
{
    g_handCursor = LoadCursorA(AppInstance(), MAKEINTRESOURCEA(IDR_HAND_CURSOR));
    g_savedClassCursor = (HCURSOR)GetClassLongPtrA(dialog, GCLP_HCURSOR);
    char block[kAboutBlockSize];
    ReadAboutBlock(block);
    SetTextFromBlock(dialog, IDC_ABOUT_TITLE, block, kAboutTitle);
    SetTextFromBlock(dialog, IDC_ABOUT_SUBTITLE, block, kAboutSubtitle);
    SetTextFromBlock(dialog, IDC_ABOUT_EDIT, block, kAboutEditText);
    SetTextFromBlock(dialog, IDC_ABOUT_LINK, block, kAboutLinkCaption);
    CenterOnScreen(dialog);
}

// A relative target such as the guide's folder names a file beside the program, not one in
// whatever folder the program was started from: it is handed to the shell as a full path.
static void OpenLink(HWND dialog)
{
    char block[kAboutBlockSize], target[kAboutBlockSize + 1], path[MAX_PATH + kAboutBlockSize];
    ReadAboutBlock(block);
    AboutText(block, kAboutLinkTarget, target, sizeof target);
    if (!target[0]) return;  // nothing to open, as with a module that has no texts
    const char *file = target;
    if (IsRelativeTarget(target) && ProgramFolder(path)) {
        strcat(path, target);
        file = path;
    }
    g_seams.shellExecute(dialog, NULL, file, NULL, NULL, SW_SHOWMAXIMIZED);
}

INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(dialog);
        return TRUE;
    case WM_SETCURSOR:
        SetClassLongPtrA(dialog, GCLP_HCURSOR,
                         (LONG_PTR)(CursorOverLink(dialog) ? g_handCursor : g_savedClassCursor));
        return FALSE;
    case WM_LBUTTONUP:
        if (CursorOverLink(dialog)) OpenLink(dialog);
        return FALSE;
    case WM_COMMAND:
        if (LOWORD(wParam) != IDOK && LOWORD(wParam) != IDCANCEL) return FALSE;
        // Closed from the keyboard with the pointer on the link, the hand would otherwise
        // stay the cursor of every dialog.
        SetClassLongPtrA(dialog, GCLP_HCURSOR, (LONG_PTR)g_savedClassCursor);
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    case WM_DRAWITEM:
        DrawOwnerItem((const DRAWITEMSTRUCT *)lParam);
        return TRUE;
    }
    return AnswerDialogColor(message, wParam, lParam, IDC_ABOUT_LINK, TRUE);
}
