// Other programs' windows, read and asked without waiting for their threads.
#include "window_requests.h"
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

// The class names do not tell the taskbar's other top-level windows (the Start button of Vista
// and 7): its thread does. Looked up each time, since the shell may be started again.
static int IsTaskbarThread(DWORD thread)
{
    HWND taskbar = FindWindowA("Shell_TrayWnd", NULL);
    return taskbar && GetWindowThreadProcessId(taskbar, NULL) == thread;
}

int ReadManageable(HWND window, WindowIdentity *identity)
{
    return IsShownNow(window) && ReadIdentity(window, identity) &&
           !IsExcludedClassName(identity->className) && !IsShellHostClassName(identity->className) &&
           !IsTaskbarThread(identity->threadId) && !IsCloaked(window);
}

int IsShownNow(HWND window)
{
    return (GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE) != 0;
}

// SWP_ASYNCWINDOWPOS queues the request for a window of another thread and returns at once, so a
// hung program holds nothing up; SWP_NOZORDER keeps each window's place, whatever order the
// programs carry their requests out in. Only the stash comes back on top of what is in view. A
// window hidden so keeps the activation and the focus: the window in front, where it still holds
// the foreground, is hidden as a window hides itself, which hands them on (ShowWindowAsync is a
// queued request as well); it is the window on top, so no place is lost.
int AskWindow(HWND window, int toAsk)
{
    if (toAsk == kAskHideInFront) return g_seams.showWindowAsync(window, SW_HIDE) != FALSE;
    UINT flags = SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_ASYNCWINDOWPOS;
    HWND after = NULL;
    if (toAsk == kAskHide) flags |= SWP_HIDEWINDOW | SWP_NOZORDER;
    else if (toAsk == kAskShow) flags |= SWP_SHOWWINDOW | SWP_NOZORDER;
    else flags |= SWP_SHOWWINDOW, after = HWND_TOP;
    return g_seams.setWindowPos(window, after, 0, 0, 0, 0, flags) != FALSE;
}

int AskToGoBelow(HWND window, HWND above)
{
    const UINT flags = SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_ASYNCWINDOWPOS;
    return g_seams.setWindowPos(window, above, 0, 0, 0, 0, flags) != FALSE;
}
