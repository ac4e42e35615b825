// The desktop commands: switch, store, restore, close, clear, the keys' jump, send and keep, the
// list's choice, and the desktop in view.
#include "desktops.h"
#include <stdlib.h>
#include "followed_windows.h"
#include "list_rules.h"
#include "recovery_file.h"
#include "showing.h"
#include "window_look.h"
#include "window_requests.h"
#include "../app/seams.h"

namespace {

int g_desktop;
HWND g_current;
WindowIdentity g_currentIdentity;
BOOL g_busy;      // a change of the list is under way
BOOL g_released;  // every window was given back: nothing is hidden any more
// The windows kept in view on every desktop, for the run: never hidden, so nothing else needs
// to know of them. A window closed is forgotten at the next look.
const int kMostKept = 32;
StoredWindow g_kept[kMostKept];
int g_keptCount;

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

// The kept windows closed meanwhile are forgotten, before a command looks at the kept ones.
void ForgetClosedKept()
{
    int kept = 0;
    for (int i = 0; i < g_keptCount; ++i)
        if (IsStillThatWindow(g_kept[i].window, g_kept[i].identity)) g_kept[kept++] = g_kept[i];
    g_keptCount = kept;
}

// The place of a window among the kept ones, or -1.
int KeptAt(HWND window)
{
    for (int i = 0; i < g_keptCount; ++i)
        if (g_kept[i].window == window) return i;
    return -1;
}

void GiveBackToTheDesktopInView(int at)
{
    g_kept[at] = g_kept[--g_keptCount];
}

// A window that goes with the desktop in view: one the desktops may touch, not kept on every one.
int ReadOfTheDesktop(HWND window, WindowIdentity *identity)
{
    return ReadManageable(window, identity) && KeptAt(window) < 0;
}

// What a command that hides windows knows as it starts. The foreground goes to our own window
// first: a window hidden while it holds the foreground keeps it, keys and all, and one that the
// platform hides by its own rule brings the next window forward, window after window. Where our
// call is refused (the foreground lock), the window in front is hidden from its own thread, which
// hands the activation on.
struct Leaving {
    HWND front;
    int slot, refused;
};

Leaving TakeForeground(HWND self, HWND front, int slot)
{
    Leaving leaving = {front, slot, 0};
    // Its result says it: under Wine another program's window may still read as the foreground
    // for a moment after a call that succeeded.
    if (self && front != self) leaving.refused = !g_seams.setForegroundWindow(self);
    return leaving;
}

// A window that holds the foreground still is hidden from its own thread (InFront).
int HoldsForeground(const Leaving &leaving, HWND window)
{
    return window == leaving.front && leaving.refused ? kHoldingForeground : 0;
}

// The store or send under way, for HideWindowToSlot: none outside them.
Leaving g_sendingAway;

BOOL CALLBACK HideForSwitch(HWND window, LPARAM parameter)
{
    const Leaving *leaving = (const Leaving *)parameter;
    WindowIdentity identity;
    if (g_released) return FALSE;
    int manageable = ReadOfTheDesktop(window, &identity);
    HiddenWindow *record = RecordMetBySwitch(Followed(), (uintptr_t)window, manageable, RealWindows());
    if (!GoesWithTheDesktop(record, manageable)) return TRUE;
    if (record) identity = record->identity;
    // No memory: this window and the rest stay, with the next desktop.
    const int front = window == leaving->front ? kFrontOfItsDesktop | HoldsForeground(*leaving, window) : kNotInFront;
    return TakeIntoSlot(Followed(), (uintptr_t)window, identity, manageable || IsShownNow(window), leaving->slot,
                        front, RealWindows()) != NULL;
}

BOOL CALLBACK CloseIfInView(HWND window, LPARAM)
{
    WindowIdentity identity;
    if (MayCloseInView(LookedAtRecord(window), ReadOfTheDesktop(window, &identity)))
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

BOOL CALLBACK HideWindowToSlot(HWND window, LPARAM slot)
{
    WindowIdentity identity;
    if (g_released || !ReadManageable(window, &identity)) return TRUE;
    int outer = BeginChange();
    BOOL recorded = TakeIntoSlot(Followed(), (uintptr_t)window, identity, 1, (int)slot,
                                 HoldsForeground(g_sendingAway, window), RealWindows()) != NULL;
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
    return ShowDesktop(self, (g_desktop + 1) % kDesktopCount, NULL);
}

int ShowDesktop(HWND self, int desktop, HWND forward)
{
    if (g_released || desktop == g_desktop || !BeginChange()) return g_desktop;
    StopHandingOver();
    ForgetClosedKept();
    HWND front = GetForegroundWindow();
    // A click on the icon may have brought the taskbar forward: the window in front is then the
    // current one, as the pointer found it on its way to the icon.
    if (!IsManageableWindow(front) && g_current && IsStillThatWindow(g_current, g_currentIdentity)) front = g_current;
    Leaving leaving = TakeForeground(self, front, g_desktop);
    ReadingManyWindows(1);
    EnumWindows(HideForSwitch, (LPARAM)&leaving);
    ReadingManyWindows(0);
    g_desktop = desktop;
    HWND shownFront = (HWND)BringSlotIntoView(Followed(), g_desktop, 0, RealWindows());
    EndChange();
    HandOverForeground(self, forward ? forward : shownFront, leaving.refused);
    return g_desktop;
}

// Takes one window in view into a slot, as the store command does, and hands the foreground on.
// It is not the one in front when that desktop comes back: that one is the desktop's own.
static void SendAway(HWND self, HWND window, int slot)
{
    if (g_released || !IsManageableWindow(window) || !BeginChange()) return;
    ForgetClosedKept();
    int kept = KeptAt(window);
    if (kept >= 0) GiveBackToTheDesktopInView(kept);
    StopHandingOver();
    g_sendingAway = TakeForeground(self, GetForegroundWindow(), slot);
    HideWindowToSlot(window, slot);
    const int refused = g_sendingAway.refused;
    g_sendingAway = Leaving();
    EndChange();
    HandOverForeground(self, NULL, refused);
}

void SendFrontWindow(HWND self, int desktop)
{
    HWND front = GetForegroundWindow();
    if (desktop != g_desktop && front != self) SendAway(self, front, desktop);
}

void CloseCurrentWindow()
{
    if (!g_current) return;
    if (IsStillThatWindow(g_current, g_currentIdentity)) ClosePolitely(g_current, 0);
    g_current = NULL;
}

void StoreCurrentWindow(HWND self)
{
    if (!g_current) return;
    if (IsStillThatWindow(g_current, g_currentIdentity)) SendAway(self, g_current, kStashSlot);
    g_current = NULL;
}

void RestoreStoredWindows(HWND self)
{
    if (g_released || !BeginChange()) return;
    StopHandingOver();
    // The stash as it should stand, the first stored on top: the list holds it newest first.
    int count = 0;
    for (const HiddenWindow *r = *Followed(); r; r = r->next) count += r->slot == kStashSlot;
    StoredWindow *stored = (StoredWindow *)malloc((count ? count : 1) * sizeof *stored);
    int at = count;
    for (const HiddenWindow *r = *Followed(); r && stored; r = r->next)
        if (r->slot == kStashSlot) stored[--at] = {(HWND)r->window, r->identity};
    BringSlotIntoView(Followed(), kStashSlot, 1, RealWindows());
    EndChange();
    HandOverForeground(self, count && stored ? stored[0].window : NULL, 0);
    if (stored) KeepInStoredOrder(stored, count);  // it owns them from now on
}

void KeepFrontOnEveryDesktop(HWND self)
{
    HWND front = GetForegroundWindow();
    WindowIdentity identity;
    ForgetClosedKept();
    int at = KeptAt(front);
    if (at >= 0) {
        GiveBackToTheDesktopInView(at);
    } else if (!g_released && g_keptCount < kMostKept && ReadManageable(front, &identity) && BeginChange()) {
        // In front, it is in view; a hide of it still on the way is taken back.
        BringWindowIntoView(Followed(), (uintptr_t)front, 0, RealWindows());
        g_kept[g_keptCount++] = {front, identity};
        EndChange();
    }
}

namespace {
struct Listing {
    void (*each)(HWND window, int group, void *context);
    void *context;
};

// A record's window was seen to be its own at the last tick's look at the most: the list trusts
// it, and a choice looks again (for 200 windows the list would cost half as much again).
BOOL CALLBACK ListOne(HWND window, LPARAM parameter)
{
    const Listing *listing = (const Listing *)parameter;
    HiddenWindow *record = FindHiddenWindow(*Followed(), (uintptr_t)window);
    if (record && record->slot != kInViewSlot) listing->each(window, record->slot, listing->context);
    else if (KeptAt(window) >= 0) listing->each(window, kListKept, listing->context);
    else if (IsManageableWindow(window)) listing->each(window, g_desktop, listing->context);
    return TRUE;
}
}  // namespace

void ListWindows(void (*each)(HWND window, int group, void *context), void *context)
{
    ForgetClosedKept();
    Listing listing = {each, context};
    ReadingManyWindows(1);
    EnumWindows(ListOne, (LPARAM)&listing);  // top first, the whole z-order read at once
    ReadingManyWindows(0);
}

void ChooseListedWindow(HWND self, HWND window, int group)
{
    HiddenWindow *record = LookedAtRecord(window);
    if (g_released || !IsWindow(window) || (group <= kStashSlot && group != g_desktop && !record)) return;
    switch (ChoiceFor(group, g_desktop)) {
    case kShowItsDesktop: ShowDesktop(self, group, window); break;
    case kTakeOutOfTheStash:
        if (!BeginChange()) return;
        StopHandingOver();
        BringWindowIntoView(Followed(), (uintptr_t)window, 1, RealWindows());
        EndChange();
        HandOverForeground(self, window, 0);
        break;
    case kBringForward:
        StopHandingOver();
        HandOverForeground(self, window, 0);
        break;
    }
}

void ClearCurrentDesktop()
{
    ForgetClosedKept();
    ReadingManyWindows(1);
    EnumWindows(CloseIfInView, 0);
    ReadingManyWindows(0);
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
