// A slot shown run by run on the real windows, and the foreground at its end.
#include "showing.h"
#include "desktops.h"
#include "following.h"
#include "hidden_window.h"
#include "window_requests.h"

static HWND g_self;
static UINT_PTR g_pollTimer;
// A show that another thread carries out is seen at the next look: at its thread's answer, which
// on Windows NT may come first, or at this poll.
static const UINT kPollMs = 10;

// Explorer's desktop; where no shell has one (Wine's virtual desktop), the desktop window itself.
static HWND ShellDesktopWindow()
{
    typedef HWND(WINAPI * GetShellWindowFn)();
    static GetShellWindowFn get = (GetShellWindowFn)(void *)GetProcAddress(GetModuleHandleA("user32.dll"), "GetShellWindow");
    HWND shell = get ? get() : NULL;
    if (!shell) shell = FindWindowA("Progman", NULL);
    return shell ? shell : GetDesktopWindow();
}

// The foreground never stays on our invisible window, and is not taken from a window that the
// user brought forward meanwhile.
static void PlaceForeground()
{
    if (!g_self) return;
    HWND foreground = GetForegroundWindow(), front = (HWND)ShowingFront();
    int frontInView = front && IsShownNow(front);
    switch (FrontAfterShowing(!foreground || foreground == g_self, frontInView)) {
    case kBringFrontForward: SetForegroundWindow(front); break;
    case kGiveToShellDesktop: SetForegroundWindow(ShellDesktopWindow()); break;
    case kLeaveForeground: break;
    }
    g_self = NULL;
}

static void StopPolling()
{
    if (g_pollTimer) KillTimer(NULL, g_pollTimer);
    g_pollTimer = 0;
}

static void MoveOn()
{
    if (ShowingGoesOn(GetTickCount())) return;
    StopPolling();
    PlaceForeground();
}

static VOID CALLBACK Poll(HWND, UINT, UINT_PTR, DWORD)
{
    if (!ChangeUnderWay()) MoveOn();
}

void ShowSlotInOrder(int slot, HWND self)
{
    g_self = self;
    StartShowing(slot, GetTickCount());
    if (!ShowingGoesOn(GetTickCount())) {
        PlaceForeground();
        return;
    }
    if (!g_pollTimer) g_pollTimer = SetTimer(NULL, 0, kPollMs, Poll);
}

void FinishShowing()
{
    ShowRestAtOnce();
    StopPolling();
    g_self = NULL;
}

VOID CALLBACK AnswerReceived(HWND window, UINT, ULONG_PTR ticket, LRESULT)
{
    HiddenWindow *known = FindHiddenWindow(*FollowedWindows(), (uintptr_t)window);
    DWORD thread = known ? known->identity.threadId : GetWindowThreadProcessId(window, NULL);
    Answered(thread, (uint32_t)ticket, GetTickCount());
    if (!ChangeUnderWay() && ShowingUnderWay()) MoveOn();
}
