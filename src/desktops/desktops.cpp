// The desktop commands: switch, store, restore, close, clear, and the desktop in view.
#include "desktops.h"
#include "following.h"
#include "recovery_file.h"
#include "showing.h"
#include "window_requests.h"

namespace {

int g_desktop;
HWND g_current;
WindowIdentity g_currentIdentity;
BOOL g_busy;      // a change of the list is under way
BOOL g_released;  // every window was given back: nothing is hidden any more

// Every change of the list runs between these two: a change that arrives while another is
// under way (from a message dispatched meanwhile) is refused; a showing under way ends first,
// the rest at once; the threads that got requests are asked for an answer at the end.
int BeginChange()
{
    if (g_busy) return 0;
    g_busy = TRUE;
    FinishShowing();
    return 1;
}

void EndChange()
{
    AskForAnswers(GetTickCount());
    WriteRecoveryFileIfChanged();
    g_busy = FALSE;
}

struct SwitchLeaving {
    int slot;
    HWND front;
};

BOOL CALLBACK HideForSwitch(HWND window, LPARAM parameter)
{
    const SwitchLeaving *leaving = (const SwitchLeaving *)parameter;
    WindowIdentity identity;
    if (g_released) return FALSE;
    int manageable = ReadManageable(window, &identity);
    if (!GoesWithTheDesktop((uintptr_t)window, manageable, &identity, GetTickCount())) return TRUE;
    // No memory: this window and the rest stay, with the next desktop.
    return HideToSlot((uintptr_t)window, identity, leaving->slot, window == leaving->front) != 0;
}

BOOL CALLBACK CloseIfInView(HWND window, LPARAM)
{
    HiddenWindow *record = FindHiddenWindow(*FollowedWindows(), (uintptr_t)window);
    // A window whose hide is still on the way belongs to another desktop already.
    if (record && record->slot != kInViewSlot && record->asked && IsStillThatWindow(window, record->identity))
        return TRUE;
    return ClosePolitely(window, 0);
}

// Shows every recorded window without touching the list: safe from a fault handler,
// where the heap may no longer be trusted.
LONG WINAPI RescueWindowsOnFault(EXCEPTION_POINTERS *)
{
    for (HiddenWindow *r = *FollowedWindows(); r; r = r->next)
        if (r->slot != kInViewSlot && IsStillThatWindow((HWND)r->window, r->identity))
            ShowWindowAsync((HWND)r->window, SW_SHOWNA);
    return EXCEPTION_CONTINUE_SEARCH;
}

}  // namespace

int ChangeUnderWay()
{
    return g_busy;
}

int IsManageableWindow(HWND window)
{
    WindowIdentity identity;
    return ReadManageable(window, &identity);
}

BOOL CALLBACK HideWindowToSlot(HWND window, LPARAM slot)
{
    WindowIdentity identity;
    if (g_released || !ReadManageable(window, &identity)) return TRUE;
    return HideToSlot((uintptr_t)window, identity, (int)slot, 0) != 0;
}

void ShowSlot(int slot)
{
    // Runs also inside another change (the session ending meanwhile): the records it shows are
    // detached first, so each is shown and freed once, and that change finishes the rest.
    int outer = BeginChange();
    FinishShowing();
    for (HiddenWindow *r = DetachSlot(FollowedWindows(), slot), *next; r; r = next) {
        next = r->next;
        ShowRecord(r);
    }
    if (outer) EndChange();
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
    WindowIdentity identity;
    if (!ReadManageable(foreground, &identity)) return;
    g_current = foreground;
    g_currentIdentity = identity;
}

int SwitchDesktop(HWND self)
{
    if (!BeginChange()) return g_desktop;
    SwitchLeaving leaving = {g_desktop, GetForegroundWindow()};
    // A click on the icon may have brought the taskbar forward: the window in front is then the
    // current one, as the pointer found it on its way to the icon.
    if (!IsManageableWindow(leaving.front) && g_current && IsStillThatWindow(g_current, g_currentIdentity))
        leaving.front = g_current;
    // Hiding the window in front makes the platform bring the next one forward, which costs
    // more than the hide itself, window after window: the foreground goes to our window first,
    // and at the end of the showing to the window in front on the new desktop, or the shell's.
    if (self && leaving.front != self) SetForegroundWindow(self);
    EnumWindows(HideForSwitch, (LPARAM)&leaving);
    g_desktop = (g_desktop + 1) % kDesktopCount;
    ShowSlotInOrder(g_desktop, self);
    EndChange();
    return g_desktop;
}

void CloseCurrentWindow()
{
    if (!g_current) return;
    if (IsStillThatWindow(g_current, g_currentIdentity)) ClosePolitely(g_current, 0);
    g_current = NULL;
}

void StoreCurrentWindow()
{
    if (!g_current) return;
    if (BeginChange()) {
        if (IsStillThatWindow(g_current, g_currentIdentity)) HideWindowToSlot(g_current, kStashSlot);
        EndChange();
    }
    g_current = NULL;
}

void RestoreStoredWindows()
{
    if (!BeginChange()) return;
    ShowSlotInOrder(kStashSlot, NULL);
    EndChange();
}

void ClearCurrentDesktop()
{
    EnumWindows(CloseIfInView, 0);
}

int CurrentDesktop()
{
    return g_desktop;
}

void StartDesktops()
{
    g_released = FALSE;
    g_desktop = 0;
    g_current = NULL;
    RecoverHiddenWindows();
}

void CheckShownWindows()
{
    WatchRecoveredWindows();
    // A showing goes on undisturbed. The recovery file stays: a window gone meanwhile is
    // checked at the next start anyway.
    if (!g_busy && !ShowingUnderWay()) ObserveAll(GetTickCount());
}

void ReleaseAllWindows()
{
    ShowAllSlots();
    g_released = TRUE;
    RemoveRecoveryFile();
}

void FreeWindowRecords()
{
    ForgetAllWindows();
    StopWatchingRecoveredWindows();
}

void InstallFaultWindowRescue()
{
    SetUnhandledExceptionFilter(RescueWindowsOnFault);
}
