// What is in front after a command: the foreground handed on, and the stash kept in its order.
#include "showing.h"
#include <limits.h>
#include <stdlib.h>
#include "desktops.h"
#include "followed_windows.h"
#include "window_requests.h"
#include "../app/seams.h"

static HWND g_self, g_front;
static int g_refused;
static DWORD g_startMs;
static StoredWindow *g_stored;
static int g_storedCount, g_orderRounds;
static uint32_t g_askedOrder;  // the stash's order when it was last asked again
static UINT_PTR g_pollTimer;
static int g_looks;

// Explorer's desktop; where no shell has one (Wine's virtual desktop), the desktop window itself.
static HWND ShellDesktopWindow()
{
    typedef HWND(WINAPI * GetShellWindowFn)();
    static GetShellWindowFn get = (GetShellWindowFn)(void *)GetProcAddress(GetModuleHandleA("user32.dll"), "GetShellWindow");
    HWND shell = get ? get() : NULL;
    if (!shell) shell = FindWindowA("Progman", NULL);
    return shell ? shell : GetDesktopWindow();
}

// A menu of ours (the tray menu) closes when the foreground leaves us.
static int MenuOpen()
{
    typedef BOOL(WINAPI * GetGuiThreadInfoFn)(DWORD, GUITHREADINFO *);
    static GetGuiThreadInfoFn get = (GetGuiThreadInfoFn)(void *)GetProcAddress(GetModuleHandleA("user32.dll"), "GetGUIThreadInfo");
    GUITHREADINFO info;
    ZeroMemory(&info, sizeof info);
    info.cbSize = sizeof info;
    return get && get(GetCurrentThreadId(), &info) && (info.flags & GUI_INMENUMODE);
}

static ForegroundState ForegroundNow()
{
    HWND foreground = GetForegroundWindow();
    if (!foreground || foreground == g_self || !IsShownNow(foreground) || IsOnItsWayOut(foreground))
        return kForegroundOursToHandOn;
    return kForegroundInView;
}

// The window on top of the desktop in view, as the platform would bring it forward.
static HWND WindowOnTopInView()
{
    for (HWND w = GetTopWindow(NULL); w; w = GetWindow(w, GW_HWNDNEXT))
        if (w != g_self && IsManageableWindow(w) && !IsOnItsWayOut(w)) return w;
    return ShellDesktopWindow();
}

void StopHandingOver()
{
    g_self = g_front = NULL;
}

int HandingOver()
{
    return g_self != NULL;
}

// 1 while the window that was in front is waited for.
static int TryToHandOver()
{
    FrontState front = g_front ? LookAtWindow(g_front) : kNoFront;
    switch (FrontAfterShowing(ForegroundNow(), g_refused, MenuOpen(), front, GetTickCount() - g_startMs)) {
    case kWaitForFront: return 1;
    case kBringFrontForward: g_seams.setForegroundWindow(g_front); break;
    case kGiveToWindowInView: g_seams.setForegroundWindow(WindowOnTopInView()); break;
    case kLeaveForeground: break;
    }
    StopHandingOver();
    return 0;
}

static void StopKeepingOrder()
{
    free(g_stored);
    g_stored = NULL;
    g_storedCount = 0;
}

// 1 while the stash is still to be checked: a window of it does not show yet (its program carries
// its requests out in its own time), or the windows asked again have not moved yet.
static int KeepOrder()
{
    const int kMostRounds = 3;
    int kept = 0;
    for (int i = 0; i < g_storedCount; ++i)  // a window closed meanwhile is left out
        if (IsStillThatWindow(g_stored[i].window, g_stored[i].identity)) g_stored[kept++] = g_stored[i];
    g_storedCount = kept;
    for (int i = 0; i < g_storedCount; ++i)
        if (!IsShownNow(g_stored[i].window)) return 1;
    int *rank = (int *)malloc((2 * g_storedCount + 1) * sizeof *rank), *after = rank + g_storedCount;
    if (!rank) return 0;
    for (int i = 0; i < g_storedCount; ++i) rank[i] = INT_MAX;
    int position = 0;
    for (HWND w = GetTopWindow(NULL); w; w = GetWindow(w, GW_HWNDNEXT), ++position)
        for (int i = 0; i < g_storedCount; ++i)
            if (g_stored[i].window == w) rank[i] = position;
    uint32_t order = Checksum((const unsigned char *)rank, g_storedCount * sizeof *rank);
    int waiting = OrderToAsk(rank, g_storedCount, after) > 0;
    // Asked again only once the last requests have moved something: no program is asked twice
    // for what it has not yet had the time to do.
    if (waiting && order != g_askedOrder) {
        g_askedOrder = order;
        waiting = g_orderRounds++ < kMostRounds;
        for (int i = 0; i < g_storedCount && waiting; ++i)
            if (after[i] >= 0) waiting = AskToGoBelow(g_stored[i].window, g_stored[after[i]].window);
    }
    free(rank);
    return waiting;
}

static VOID CALLBACK Poll(HWND, UINT, UINT_PTR, DWORD);

// Looks again soon, then less and less often, while either is under way.
static void Step()
{
    int waiting = g_self && TryToHandOver();
    if (g_stored && !KeepOrder()) StopKeepingOrder();
    if (waiting || g_stored) {
        g_pollTimer = SetTimer(NULL, g_pollTimer, NextLookMs(g_looks++), Poll);
    } else if (g_pollTimer) {
        KillTimer(NULL, g_pollTimer);
        g_pollTimer = 0;
    }
}

static VOID CALLBACK Poll(HWND, UINT, UINT_PTR, DWORD)
{
    Step();
}

void HandOverForeground(HWND self, HWND front, int refused)
{
    StopKeepingOrder();
    g_self = self;
    g_front = front;
    g_refused = refused;
    g_startMs = GetTickCount();
    g_looks = 0;
    Step();
}

void KeepInStoredOrder(StoredWindow *stored, int count)
{
    StopKeepingOrder();
    g_stored = stored;
    g_storedCount = count;
    g_orderRounds = 0;
    g_askedOrder = 0;
    Step();
}
