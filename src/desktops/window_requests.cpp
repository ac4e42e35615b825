// Requests to other programs' windows, made without waiting for their threads.
#include "window_requests.h"
#include "../app/seams.h"

// SWP_ASYNCWINDOWPOS queues the request for a window of another thread and returns at once, so a
// hung program holds nothing up; SWP_NOZORDER keeps each window's place, whatever order the
// programs carry their requests out in. Only the stash comes back on top of what is in view. A
// window hidden so keeps the activation and the focus: the window in front, where it still holds
// the foreground, is hidden as a window hides itself, which hands them on (ShowWindowAsync is a
// queued request as well); it is the window on top, so no place is lost.
int AskWindow(HWND window, int toAsk)
{
    if (toAsk == kAskHideInFront) return g_seams.showWindowAsync(window, SW_HIDE) != FALSE;
    UINT flags = SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_ASYNCWINDOWPOS | SWP_DEFERERASE;
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
