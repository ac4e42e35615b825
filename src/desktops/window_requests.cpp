// Other programs' windows, read and asked without waiting for their threads.
#include "window_requests.h"
#include "following.h"
#include "showing.h"
#include "window_filter.h"
#include "../app/seams.h"

int ReadIdentity(HWND window, WindowIdentity *identity)
{
    DWORD process = 0;
    ZeroMemory(identity, sizeof *identity);
    identity->threadId = GetWindowThreadProcessId(window, &process);
    identity->processId = process;
    return identity->threadId != 0 && GetClassNameA(window, identity->className, sizeof identity->className) != 0;
}

int IsStillThatWindow(HWND window, const WindowIdentity &identity)
{
    WindowIdentity now;
    return ReadIdentity(window, &now) && SameIdentity(now, identity);
}

static int IsCloaked(HWND window)
{
    const DWORD kCloaked = 14;  // DWMWA_CLOAKED
    DWORD cloaked = 0;
    return SUCCEEDED(g_seams.dwmGetWindowAttribute(window, kCloaked, &cloaked, sizeof cloaked)) && cloaked;
}

int ReadManageable(HWND window, WindowIdentity *identity)
{
    return IsShownNow(window) && ReadIdentity(window, identity) &&
           !IsExcludedClassName(identity->className) && !IsShellHostClassName(identity->className) &&
           !IsCloaked(window);
}

static int RealIsSameWindow(uintptr_t window, const WindowIdentity &identity)
{
    return IsStillThatWindow((HWND)window, identity);
}

int IsShownNow(HWND window)
{
    return (GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE) != 0;
}

static int RealIsVisible(uintptr_t window)
{
    return IsShownNow((HWND)window);
}

// ShowWindow on another thread's window waits until that thread answers, which a hung program
// never does; ShowWindowAsync queues the request and returns at once. SW_SHOWNA shows without
// taking the focus.
static int RealAsk(uintptr_t window, int show)
{
    return g_seams.showWindowAsync((HWND)window, show ? SW_SHOWNA : SW_HIDE) != FALSE;
}

// A WM_NULL whose answer comes back as a callback when its thread takes sent messages: it says
// that the thread runs, and so when to look at its windows again. Our own thread runs anyway,
// and a send to it would run the callback inside this call.
static int RealAskForAnswer(uintptr_t window, uint32_t ticket)
{
    if (GetWindowThreadProcessId((HWND)window, NULL) == GetCurrentThreadId()) return 0;
    SendMessageCallbackA((HWND)window, WM_NULL, 0, 0, AnswerReceived, ticket);
    return 1;
}

void UseRealWindows()
{
    static const WindowWorld kReal = {RealIsSameWindow, RealIsVisible, RealAsk, RealAskForAnswer};
    SetWindowWorld(&kReal);
}

// From the start of the program, before any of its code asks a window for anything.
static const int g_realWindowsInUse = (UseRealWindows(), 1);
