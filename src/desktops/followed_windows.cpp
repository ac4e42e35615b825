// The records of the windows the desktops hold, and what makes the program look at them again.
#include "followed_windows.h"
#include "window_look.h"
#include "window_requests.h"
#include "../app/seams.h"

static HiddenWindow *g_records;
static HWINEVENTHOOK g_events;
static UINT_PTR g_pollTimer;
static int g_looks;  // since the last requests: the poll slows down while nothing changes

HiddenWindow **Followed()
{
    return &g_records;
}

static int RealIsSameWindow(uintptr_t window, const WindowIdentity &identity)
{
    return IsStillThatWindow((HWND)window, identity);
}

static int RealIsShown(uintptr_t window)
{
    return IsShownNow((HWND)window);
}

static int RealAsk(uintptr_t window, int toAsk)
{
    return AskWindow((HWND)window, toAsk);
}

static VOID CALLBACK AnswerReceived(HWND, UINT, ULONG_PTR thread, LRESULT);

// A WM_NULL whose answer comes back as a callback when its thread takes sent messages: the moment
// to look again, nothing more. Our own thread carries its requests out inside the request.
static int RealAskForAnswer(uintptr_t window)
{
    DWORD thread = GetWindowThreadProcessId((HWND)window, NULL);
    if (thread == GetCurrentThreadId()) return 0;
    return SendMessageCallbackA((HWND)window, WM_NULL, 0, 0, AnswerReceived, thread) != FALSE;
}

static uint32_t RealNowMs()
{
    return GetTickCount();  // the clock of the events' times
}

const WindowWorld &RealWindows()
{
    static const WindowWorld kReal = {RealIsSameWindow, RealIsShown, RealAsk, RealAskForAnswer, RealNowMs};
    return kReal;
}

static VOID CALLBACK Poll(HWND, UINT, UINT_PTR, DWORD);

// After looks: the hide of the window in front, where it waits for the others, may be made now.
// While a request is on the way, the windows are looked at again soon, then less and less often:
// where no event says when a window changed, a change is seen within moments, and a program that
// stays hung costs a look a second.
static void PollWhileOnTheWay()
{
    MakeFrontsHide(&g_records, RealWindows());
    if (!AnyOnTheWay(g_records)) {
        if (g_pollTimer) KillTimer(NULL, g_pollTimer);
        g_pollTimer = 0;
        return;
    }
    g_pollTimer = SetTimer(NULL, g_pollTimer, NextLookMs(g_looks), Poll);
}

static VOID CALLBACK Poll(HWND, UINT, UINT_PTR, DWORD)
{
    ++g_looks;
    LookAtTheWaiting(&g_records, RealWindows());
    PollWhileOnTheWay();
}

// On Windows a thread answers before it takes its queue: what it carries out comes moments later.
static VOID CALLBACK AnswerReceived(HWND, UINT, ULONG_PTR thread, LRESULT)
{
    ThreadAnswered(&g_records, (uint32_t)thread, RealWindows());
    g_looks = 0;
    PollWhileOnTheWay();
}

void FollowRequests()
{
    MakeRequests(&g_records, RealWindows());
    LookAtTheWaiting(&g_records, RealWindows());  // our own windows have carried theirs out already
    g_looks = 0;
    PollWhileOnTheWay();
}

void LookAtFollowed()
{
    LookAtAll(&g_records, RealWindows());
    PollWhileOnTheWay();
}

FrontState LookAtWindow(HWND window)
{
    HiddenWindow *record = RecordOf(&g_records, (uintptr_t)window, RealWindows());
    if (record && record->asked != kSettled) return kFrontOnTheWay;
    return IsShownNow(window) ? kFrontInView : kNoFront;
}

int IsOnItsWayOut(HWND window)
{
    HiddenWindow *record = FindHiddenWindow(g_records, (uintptr_t)window);
    return record && record->slot != kInViewSlot && record->asked != kSettled;
}

static void CALLBACK ShownOrHidden(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD,
                                   DWORD eventMs)
{
    if (object != OBJID_WINDOW || child != CHILDID_SELF) return;
    WindowChanged(&g_records, (uintptr_t)window, event == EVENT_OBJECT_SHOW, eventMs, RealWindows());
}

void StartFollowing()
{
    if (!g_events)
        g_events = g_seams.setWinEventHook(EVENT_OBJECT_SHOW, EVENT_OBJECT_HIDE, NULL, ShownOrHidden, 0, 0,
                                           WINEVENT_OUTOFCONTEXT);
}

void StopFollowing()
{
    if (g_events) g_seams.unhookWinEvent(g_events);
    g_events = NULL;
    if (g_pollTimer) KillTimer(NULL, g_pollTimer);
    g_pollTimer = 0;
    ForgetAll(&g_records);
}
