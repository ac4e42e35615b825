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
static int g_storedCount;
static int g_orderRounds, g_answersAwaited;  // the looks at the stash's order, and what they wait for
static ULONG_PTR g_answerTag;  // the answers awaited now; never used twice
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

static void StopKeepingOrder()
{
    free(g_stored);
    g_stored = NULL;
    g_storedCount = 0;
    ++g_answerTag;  // answers still on the way are nobody's
}

void StopHandingOver()
{
    g_self = g_front = NULL;
    StopKeepingOrder();
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
    g_self = g_front = NULL;
    return 0;
}

static VOID CALLBACK Poll(HWND, UINT, UINT_PTR, DWORD);

// The last answer brings the next look at once.
static VOID CALLBACK StoredAnswered(HWND, UINT, ULONG_PTR tag, LRESULT)
{
    if (tag != g_answerTag || g_answersAwaited <= 0 || --g_answersAwaited > 0) return;
    g_looks = 0;
    g_pollTimer = SetTimer(NULL, g_pollTimer, 0, Poll);
}

// A stash's window may show before its program has put it on top (Wine sets the style first), and
// a request to go below another is carried out in its program's own time: the order is read once
// every stored window's thread has answered a message sent after what it was asked.
static void AskStoredToAnswer()
{
    ++g_answerTag;
    ++g_orderRounds;
    g_answersAwaited = 0;
    for (int i = 0; i < g_storedCount; ++i)
        g_answersAwaited += SendMessageCallbackA(g_stored[i].window, WM_NULL, 0, 0, StoredAnswered, g_answerTag) != 0;
}

// 1 while the stash is still to be checked: a window of it does not show yet, or its thread has
// not answered since.
static int KeepOrder()
{
    const int kMostRounds = 3;
    int kept = 0;
    for (int i = 0; i < g_storedCount; ++i)  // a window closed meanwhile is left out
        if (IsStillThatWindow(g_stored[i].window, g_stored[i].identity)) g_stored[kept++] = g_stored[i];
    g_storedCount = kept;
    for (int i = 0; i < g_storedCount; ++i)
        if (!IsShownNow(g_stored[i].window)) return 1;
    if (g_orderRounds == 0) AskStoredToAnswer();
    if (g_answersAwaited > 0) return 1;
    int *rank = (int *)malloc((2 * g_storedCount + 1) * sizeof *rank), *after = rank + g_storedCount;
    if (!rank) return 0;
    for (int i = 0; i < g_storedCount; ++i) rank[i] = INT_MAX;
    int position = 0;
    for (HWND w = GetTopWindow(NULL); w; w = GetWindow(w, GW_HWNDNEXT), ++position)
        for (int i = 0; i < g_storedCount; ++i)
            if (g_stored[i].window == w) rank[i] = position;
    int waiting = OrderToAsk(rank, g_storedCount, after) > 0 && g_orderRounds <= kMostRounds;
    for (int i = 0; i < g_storedCount && waiting; ++i)
        if (after[i] >= 0) waiting = AskToGoBelow(g_stored[i].window, g_stored[after[i]].window);
    if (waiting) AskStoredToAnswer();
    free(rank);
    return waiting;
}

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
    Step();
}
