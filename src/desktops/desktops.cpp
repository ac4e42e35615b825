// The desktop commands: switch, store, restore, close, clear, and the desktop in view.
#include "desktops.h"
#include "followed_windows.h"
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
// under way (from a message dispatched meanwhile) is refused. Its requests are decided first
// and made at the end, after the recovery file has been written, so that a kill in between
// leaves no window hidden that the file does not name.
int BeginChange()
{
    if (g_busy) return 0;
    g_busy = TRUE;
    return 1;
}

void MakeTheChangesRequests()
{
    WriteRecoveryFile();
    FollowRequests();
}

void EndChange()
{
    MakeTheChangesRequests();
    g_busy = FALSE;
}

HiddenWindow *LookedAtRecord(HWND window)
{
    return RecordOf(Followed(), (uintptr_t)window, RealWindows());
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
    HiddenWindow *record = LookedAtRecord(window);
    if (!GoesWithTheDesktop(record, manageable)) return TRUE;
    if (record) identity = record->identity;
    // No memory: this window and the rest stay, with the next desktop.
    return TakeIntoSlot(Followed(), (uintptr_t)window, identity, IsShownNow(window), leaving->slot,
                        window == leaving->front) != NULL;
}

BOOL CALLBACK CloseIfInView(HWND window, LPARAM)
{
    WindowIdentity identity;
    if (MayCloseInView(LookedAtRecord(window), ReadManageable(window, &identity)))
        PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    return TRUE;
}

// Shows every followed window without touching the list: safe from a fault handler, where the
// heap may no longer be trusted.
LONG WINAPI RescueWindowsOnFault(EXCEPTION_POINTERS *)
{
    for (HiddenWindow *r = *Followed(); r; r = r->next)
        if (IsStillThatWindow((HWND)r->window, r->identity)) AskWindow((HWND)r->window, kAskShow);
    return EXCEPTION_CONTINUE_SEARCH;
}

}  // namespace

int IsManageableWindow(HWND window)
{
    WindowIdentity identity;
    return ReadManageable(window, &identity);
}

BOOL CALLBACK HideWindowToSlot(HWND window, LPARAM slot)
{
    WindowIdentity identity;
    if (g_released || !ReadManageable(window, &identity)) return TRUE;
    int outer = BeginChange();
    BOOL recorded = TakeIntoSlot(Followed(), (uintptr_t)window, identity, 1, (int)slot, 0) != NULL;
    if (outer) EndChange();
    return recorded;
}

void ShowSlot(int slot)
{
    // Runs also inside another change (the session ending meanwhile): that change's requests are
    // made first, then these, at once all the same, since the process may end before it does.
    int outer = BeginChange();
    if (!outer) MakeTheChangesRequests();
    BringSlotIntoView(Followed(), slot, 0, RealWindows());
    if (outer) EndChange();
    else MakeTheChangesRequests();
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
    StopHandingOver();
    SwitchLeaving leaving = {g_desktop, GetForegroundWindow()};
    // A click on the icon may have brought the taskbar forward: the window in front is then the
    // current one, as the pointer found it on its way to the icon.
    if (!IsManageableWindow(leaving.front) && g_current && IsStillThatWindow(g_current, g_currentIdentity))
        leaving.front = g_current;
    // Hiding the window in front makes the platform bring the next one forward, window after
    // window: the foreground goes to our window first, and once the new desktop is shown to the
    // window in front there, or the shell's.
    if (self && leaving.front != self) SetForegroundWindow(self);
    EnumWindows(HideForSwitch, (LPARAM)&leaving);
    g_desktop = (g_desktop + 1) % kDesktopCount;
    HWND front = (HWND)BringSlotIntoView(Followed(), g_desktop, 0, RealWindows());
    EndChange();
    HandOverForeground(self, front);
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
    if (IsStillThatWindow(g_current, g_currentIdentity)) HideWindowToSlot(g_current, kStashSlot);
    g_current = NULL;
}

void RestoreStoredWindows()
{
    if (!BeginChange()) return;
    BringSlotIntoView(Followed(), kStashSlot, 1, RealWindows());
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
    StartFollowing();
}

void CheckShownWindows()
{
    if (!g_busy) LookAtFollowed();
}

void ReleaseAllWindows()
{
    StopHandingOver();
    ShowAllSlots();
    g_released = TRUE;
    RemoveRecoveryFile();
}

void FreeWindowRecords()
{
    StopFollowing();
}

void InstallFaultWindowRescue()
{
    SetUnhandledExceptionFilter(RescueWindowsOnFault);
}
