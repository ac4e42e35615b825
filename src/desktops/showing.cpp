// What is in front after a command: the foreground handed on, and the stash kept in its order.
#include "showing.h"
#include <limits.h>
#include <stdlib.h>
#include "followed_windows.h"
#include "window_look.h"
#include "window_requests.h"
#include "../app/seams.h"

// The hand-over under way: our window, the window that was in front on the desktop now in view,
// whether our own call for the foreground was refused, and when the requests were made.
struct HandOver {
    HWND self, front;
    int refused;
    DWORD startMs;
};
// The stash's order under way: its windows top first as they should stand, the moves asked so
// far, and the answers awaited now (a tag that is never used twice tells them).
struct StashOrder {
    StoredWindow *windows;
    int count, moves, answersAsked, awaited;
    ULONG_PTR tag;
};
static HandOver g_handOver;
static StashOrder g_order;
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

int MenuOpen()
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
    if (!foreground || foreground == g_handOver.self || !IsShownNow(foreground) || IsOnItsWayOut(foreground))
        return kForegroundOursToHandOn;
    return kForegroundInView;
}

struct FocusCandidate {
    HWND window;
    int rank;
};

static BOOL CALLBACK WeighForFocus(HWND w, LPARAM parameter)
{
    FocusCandidate *best = (FocusCandidate *)parameter;
    if (w == g_handOver.self || IsOnItsWayOut(w) || !IsManageableWindow(w)) return TRUE;  // the cheap test first
    int rank = FocusRankOf(w);
    if (rank > best->rank) *best = {w, rank};
    return best->rank < 2;
}

// The window in view that Windows itself would bring forward: the highest that may take the
// focus, one always on top only where no ordinary window may; else the shell's desktop. The
// z-order is read at once (EnumWindows), not a window at a time.
static HWND WindowToTakeFocus()
{
    FocusCandidate best = {NULL, 0};
    ReadingManyWindows(1);
    EnumWindows(WeighForFocus, (LPARAM)&best);
    ReadingManyWindows(0);
    return best.window ? best.window : ShellDesktopWindow();
}

static void StopKeepingOrder()
{
    free(g_order.windows);
    g_order.windows = NULL;
    g_order.count = 0;
    ++g_order.tag;  // answers still on the way are nobody's
}

void StopHandingOver()
{
    g_handOver.self = g_handOver.front = NULL;
    StopKeepingOrder();
}

int HandingOver()
{
    return g_handOver.self != NULL;
}

// 1 while the foreground is waited for.
static int TryToHandOver()
{
    HandOver &h = g_handOver;
    FrontState front = h.front ? LookAtWindow(h.front) : kNoFront;
    switch (FrontAfterShowing(ForegroundNow(), h.refused, MenuOpen(), front, GetTickCount() - h.startMs)) {
    case kWaitForFront: return 1;
    case kBringFrontForward: g_seams.setForegroundWindow(h.front); break;
    case kGiveToWindowInView: g_seams.setForegroundWindow(WindowToTakeFocus()); break;
    case kLeaveForeground: break;
    }
    h.self = h.front = NULL;
    return 0;
}

static VOID CALLBACK Poll(HWND, UINT, UINT_PTR, DWORD);

// The last answer awaited brings the next look at once.
static VOID CALLBACK StoredAnswered(HWND, UINT, ULONG_PTR tag, LRESULT)
{
    if (tag != g_order.tag || g_order.awaited <= 0 || --g_order.awaited > 0) return;
    g_looks = 0;
    g_pollTimer = SetTimer(NULL, g_pollTimer, 0, Poll);
}

// Asks a stored window's thread to answer once it has taken what it was asked before. A window of
// our own thread (the About or the settings dialog) carries its requests out inside them: nothing
// to wait for. Counted before it is sent, since an answer may come back inside the call.
static void AskToAnswer(HWND window)
{
    if (GetWindowThreadProcessId(window, NULL) == GetCurrentThreadId()) return;
    ++g_order.awaited;
    if (!SendMessageCallbackA(window, WM_NULL, 0, 0, StoredAnswered, g_order.tag)) --g_order.awaited;
}

// 1 while the stash is still to be put in order. A window of it may show before its program has
// put it on top (Wine sets the style first): the order is read once every stored window shows and
// its thread has answered since. Then the windows out of place are asked to go below the one that
// should stand above them, one move at a time, each once the thread of the window moved before has
// answered, so that the programs cannot carry the moves out in another order. On Windows a thread
// answers before it takes its queue: a move that does not show yet is asked again, so each window
// may take two.
static int KeepOrder()
{
    StashOrder &o = g_order;
    int kept = 0;
    for (int i = 0; i < o.count; ++i)  // a window closed meanwhile is left out
        if (IsStillThatWindow(o.windows[i].window, o.windows[i].identity)) o.windows[kept++] = o.windows[i];
    o.count = kept;
    for (int i = 0; i < o.count; ++i)
        if (!IsShownNow(o.windows[i].window)) return 1;
    if (!o.answersAsked) {
        o.answersAsked = 1;
        for (int i = 0; i < o.count; ++i) AskToAnswer(o.windows[i].window);
    }
    if (o.awaited > 0) return 1;
    int *rank = (int *)malloc((2 * o.count + 1) * sizeof *rank), *after = rank + o.count;
    if (!rank) return 0;
    for (;;) {
        for (int i = 0; i < o.count; ++i) rank[i] = INT_MAX;
        int position = 0;
        for (HWND w = GetTopWindow(NULL); w; w = GetWindow(w, GW_HWNDNEXT), ++position)
            for (int i = 0; i < o.count; ++i)
                if (o.windows[i].window == w) rank[i] = position;
        int next = -1;
        if (OrderToAsk(rank, o.count, after) > 0 && o.moves < 2 * o.count)
            for (next = 0; after[next] < 0; ++next) {}
        if (next < 0 || !AskToGoBelow(o.windows[next].window, o.windows[after[next]].window)) break;
        ++o.moves;
        AskToAnswer(o.windows[next].window);
        if (o.awaited > 0) break;  // else a window of our own thread: it has moved already
    }
    free(rank);
    return o.awaited > 0;
}

// Looks again soon, then less and less often, while either is under way.
static void Step()
{
    int waiting = g_handOver.self && TryToHandOver();
    if (g_order.windows && !KeepOrder()) StopKeepingOrder();
    if (waiting || g_order.windows) {
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
    g_handOver.self = self;
    g_handOver.front = front;
    g_handOver.refused = refused;
    g_handOver.startMs = GetTickCount();
    g_looks = 0;
    Step();
}

void KeepInStoredOrder(StoredWindow *stored, int count)
{
    StopKeepingOrder();
    g_order.windows = stored;
    g_order.count = count;
    g_order.moves = g_order.answersAsked = g_order.awaited = 0;
    Step();
}
