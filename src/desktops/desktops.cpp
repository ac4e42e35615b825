#include "desktops.h"
#include "window_filter.h"
#include "../app/alloc.h"
#include "../tray/tray_icon.h"

namespace {

struct HiddenWindow {
    HWND hwnd;
    int slot;  // 0 to 3 a desktop, 4 the stash
    HiddenWindow *next;
};

HiddenWindow *g_hidden;  // newest first, all slots in one list
int g_desktop;
HWND g_current;

// Shows every recorded window without touching the list: safe from a fault handler, where
// the heap may no longer be trusted.
LONG WINAPI RescueWindowsOnFault(EXCEPTION_POINTERS *)
{
    for (HiddenWindow *h = g_hidden; h; h = h->next) ShowWindow(h->hwnd, SW_SHOW);
    return EXCEPTION_CONTINUE_SEARCH;
}

}  // namespace

int IsManageableWindow(HWND window)
{
    if (!(GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE)) return 0;
    char className[32];
    // No real class has an empty name: 0 means the window vanished in between.
    if (GetClassNameA(window, className, sizeof className) == 0) return 0;
    return !IsExcludedClassName(className);
}

BOOL CALLBACK HideWindowToSlot(HWND window, LPARAM slot)
{
    if (!IsManageableWindow(window)) return TRUE;
    HiddenWindow *record = (HiddenWindow *)AllocRecord(sizeof(HiddenWindow));
    if (!record) return FALSE;
    record->hwnd = window;
    record->slot = (int)slot;
    record->next = g_hidden;
    g_hidden = record;
    ShowWindow(window, SW_HIDE);
    return TRUE;
}

void ShowSlot(int slot)
{
    HiddenWindow **link = &g_hidden;
    while (*link) {
        HiddenWindow *record = *link;
        if (record->slot != slot) {
            link = &record->next;
            continue;
        }
        *link = record->next;
        ShowWindow(record->hwnd, SW_SHOW);
        FreeRecord(record);
    }
}

void ShowAllSlots()
{
    for (int slot = 0; slot <= kStashSlot; ++slot) ShowSlot(slot);
}

BOOL CALLBACK ClosePolitely(HWND window, LPARAM)
{
    if (IsManageableWindow(window)) PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    return TRUE;
}

void RecordCurrentWindow()
{
    HWND foreground = GetForegroundWindow();
    if (IsManageableWindow(foreground)) g_current = foreground;
}

void SwitchDesktop()
{
    EnumWindows(HideWindowToSlot, g_desktop);
    g_desktop = (g_desktop + 1) % kDesktopCount;
    ShowSlot(g_desktop);
    ShowDesktopIcon(g_desktop);
}

void CloseCurrentWindow()
{
    if (!g_current) return;
    ClosePolitely(g_current, 0);
    g_current = NULL;
}

void StoreCurrentWindow()
{
    if (!g_current) return;
    HideWindowToSlot(g_current, kStashSlot);
    g_current = NULL;
}

void RestoreStoredWindows()
{
    ShowSlot(kStashSlot);
}

void ClearCurrentDesktop()
{
    EnumWindows(ClosePolitely, 0);
}

int CurrentDesktop()
{
    return g_desktop;
}

void InstallFaultWindowRescue()
{
    SetUnhandledExceptionFilter(RescueWindowsOnFault);
}
