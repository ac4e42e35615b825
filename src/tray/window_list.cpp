// The list of every window (see window_list.h).
#include "window_list.h"
#include <stdlib.h>
#include "commands.h"
#include "desktop_keys.h"
#include "key_rules.h"
#include "texts.h"
#include "../app/digits.h"
#include "../app/wide_text.h"
#include "../desktops/desktops.h"
#include "../desktops/list_rules.h"
#include "../desktops/showing.h"
#include "../ui/owner_draw.h"

namespace {

struct Listed {
    HWND window;
    int group;
    wchar_t title[kTitleUnits + 2];
};
// The list while it is open: the windows as read, the labels of its parts and of the keys.
struct List {
    Listed *windows;
    int count, room;
    wchar_t labels[kListGroups + kKeyCount][48];
    HMENU menu;
} g_list;

void AddListed(HWND window, int group, void *)
{
    if (g_list.count == g_list.room) {
        int room = g_list.room ? 2 * g_list.room : 64;
        Listed *more = (Listed *)realloc(g_list.windows, room * sizeof *more);
        if (!more) return;  // short of memory: the list shows what it has
        g_list.windows = more;
        g_list.room = room;
    }
    Listed &listed = g_list.windows[g_list.count++];
    listed.window = window;
    listed.group = group;
    // Another program's title is read from the window itself, without a message to its thread:
    // a hung program is listed as well.
    wchar_t title[256] = L"";
    GetWindowTextW(window, title, 256);
    if (!CutTitle((const uint16_t *)title, (uint16_t *)listed.title))
        lstrcpynW(listed.title, WideText(TEXT_LIST_UNTITLED), kTitleUnits + 2);
}

void SetLabel(int at, const char *cp936)
{
    lstrcpynW(g_list.labels[at], WideText(cp936), 48);
}

void NameTheParts()
{
    char text[48];
    for (int desktop = 0; desktop < kDesktopCount; ++desktop) {
        char *end = PutText(text, TEXT_LIST_DESKTOP);
        *end++ = (char)('1' + desktop);
        PutText(end, desktop == CurrentDesktop() ? TEXT_LIST_IN_VIEW : "");
        SetLabel(desktop, text);
    }
    SetLabel(kListStash, TEXT_LIST_STASH);
    SetLabel(kListKept, TEXT_LIST_KEPT);
}

// A part with windows opens onto them; an empty one is greyed. Then a greyed line for each key
// that another program holds, so that a key that does nothing can be told.
HMENU BuildMenu()
{
    int *groupOf = (int *)malloc((g_list.count + 1) * 2 * sizeof *groupOf), *order = groupOf + g_list.count + 1;
    HMENU menu = groupOf ? CreatePopupMenu() : NULL;
    if (!menu) {
        free(groupOf);
        return NULL;
    }
    int start[kListGroups + 1];
    for (int i = 0; i < g_list.count; ++i) groupOf[i] = g_list.windows[i].group;
    GroupInOrder(groupOf, g_list.count, order, start);
    for (int g = 0; g < kListGroups; ++g) {
        HMENU part = start[g] < start[g + 1] ? CreatePopupMenu() : NULL;
        for (int k = start[g]; part && k < start[g + 1]; ++k)
            AppendMenuW(part, MF_OWNERDRAW, order[k] + 1, (LPCWSTR)g_list.windows[order[k]].title);
        if (part) AppendMenuW(menu, MF_OWNERDRAW | MF_POPUP, (UINT_PTR)part, (LPCWSTR)g_list.labels[g]);
        else AppendMenuW(menu, MF_OWNERDRAW | MF_DISABLED | MF_GRAYED, 0, (LPCWSTR)g_list.labels[g]);
    }
    free(groupOf);
    for (int id = 1, line = kListGroups; id <= kKeyCount; ++id) {
        if (!(KeysTakenByOthers() & (1u << id))) continue;
        char text[48];
        KeyName(id, text);
        PutText(text + lstrlenA(text), TEXT_LIST_KEY_TAKEN);
        SetLabel(line, text);
        AppendMenuW(menu, MF_OWNERDRAW | MF_DISABLED | MF_GRAYED, 0, (LPCWSTR)g_list.labels[line++]);
    }
    return menu;
}

}  // namespace

void ShowWindowList(HWND window, int tries)
{
    const int kMostTries = 20;  // a menu that stays open (a dialog's own, say) is not waited for
    if (g_list.menu) return;
    if (MenuOpen()) {
        if (tries < kMostTries) PostMessageA(window, WM_SHOW_WINDOW_LIST, tries + 1, 0);
        return;
    }
    g_list.count = 0;
    ListWindows(AddListed, NULL);
    NameTheParts();
    g_list.menu = BuildMenu();
    if (g_list.menu) {
        POINT cursor;
        GetCursorPos(&cursor);
        SetForegroundWindow(window);
        int chosen = TrackPopupMenu(g_list.menu, TPM_RIGHTALIGN | TPM_RETURNCMD | TPM_NONOTIFY, cursor.x, cursor.y, 0,
                                    window, NULL);
        PostMessageA(window, WM_MENU_CLOSED, 0, 0);  // as after the tray menu
        DestroyMenu(g_list.menu);  // and its parts with it
        g_list.menu = NULL;
        if (chosen > 0 && chosen <= g_list.count)
            ChooseListedWindow(window, g_list.windows[chosen - 1].window, g_list.windows[chosen - 1].group);
    }
    free(g_list.windows);
    g_list.windows = NULL;
    g_list.count = g_list.room = 0;
}

int WindowListOpen()
{
    return g_list.menu != NULL;
}

// As tall as the menu's plates, which are 16 average characters wide, and wide enough for a title
// of kTitleUnits units.
void MeasureListItem(HWND window, MEASUREITEMSTRUCT *item)
{
    MeasureMenuItem(window, item);
    item->itemWidth = item->itemWidth / 16 * (kTitleUnits + 4);
}

// A part with windows shows a small triangle of its text's colour at its right end, in place of
// the arrow the system would draw there in its own colours, which is kept out of the plate.
void DrawListItem(const DRAWITEMSTRUCT *item)
{
    DrawItemPlate(item, item->itemData ? (const wchar_t *)item->itemData : L"", -1);
    if (!IsMenu((HMENU)(UINT_PTR)item->itemID)) return;
    const RECT &r = item->rcItem;
    const int middle = (r.top + r.bottom) / 2 - 1, right = r.right - 10;
    const POINT triangle[] = {{right - 4, middle - 4}, {right, middle}, {right - 4, middle + 4}};
    HBRUSH brush = CreateSolidBrush(GetTextColor(item->hDC));
    HGDIOBJ oldBrush = SelectObject(item->hDC, brush), oldPen = SelectObject(item->hDC, GetStockObject(NULL_PEN));
    Polygon(item->hDC, triangle, 3);
    SelectObject(item->hDC, oldPen);
    SelectObject(item->hDC, oldBrush);
    DeleteObject(brush);
    ExcludeClipRect(item->hDC, r.left, r.top, r.right, r.bottom);
}
