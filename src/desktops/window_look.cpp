// Other programs' windows as the desktops read them, without waiting for their threads.
#include "window_look.h"
#include "window_filter.h"
#include "../app/seams.h"

static_assert(kStyleVisible == WS_VISIBLE && kStyleDisabled == WS_DISABLED && kStyleMinimized == WS_MINIMIZE &&
                  kStyleChild == WS_CHILD && kStylePopup == WS_POPUP && kExStyleTopmost == WS_EX_TOPMOST &&
                  kExStyleNoActivate == WS_EX_NOACTIVATE && kClassStyleIme == CS_IME,
              "the filter's style bits are the platform's");

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

int IsShownNow(HWND window)
{
    return (GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE) != 0;
}

// The owner only matters to a window always on top that takes no activation: it is read only then.
static WindowLook LookOf(HWND window, const char *className, uint32_t style)
{
    const uint32_t exStyle = (uint32_t)GetWindowLongA(window, GWL_EXSTYLE), both = WS_EX_TOPMOST | WS_EX_NOACTIVATE;
    WindowLook look = {className, style, exStyle, (uint32_t)GetClassLongA(window, GCL_STYLE),
                       (exStyle & both) == both && GetWindow(window, GW_OWNER) != NULL};
    return look;
}

static int IsCloaked(HWND window)
{
    const DWORD kCloaked = 14;  // DWMWA_CLOAKED
    DWORD cloaked = 0;
    return SUCCEEDED(g_seams.dwmGetWindowAttribute(window, kCloaked, &cloaked, sizeof cloaked)) && cloaked;
}

static int g_readingMany, g_taskbarKnown;
static DWORD g_taskbarThread;

void ReadingManyWindows(int reading)
{
    g_readingMany = reading;
    g_taskbarKnown = 0;
}

// The class names do not tell the taskbar's other top-level windows (the Start button of Vista
// and 7): its thread does. Looked up for each window read alone, since the shell may be started
// again, and once for a command that reads many: a look through every window for each window
// would cost a switch or the list of every window half its time.
static int IsTaskbarThread(DWORD thread)
{
    if (!g_readingMany || !g_taskbarKnown) {
        HWND taskbar = FindWindowA("Shell_TrayWnd", NULL);
        g_taskbarThread = taskbar ? GetWindowThreadProcessId(taskbar, NULL) : 0;
        g_taskbarKnown = g_readingMany;
    }
    return g_taskbarThread && g_taskbarThread == thread;
}

int ReadManageable(HWND window, WindowIdentity *identity)
{
    const uint32_t style = (uint32_t)GetWindowLongA(window, GWL_STYLE);
    return (style & WS_VISIBLE) && ReadIdentity(window, identity) && !IsExcludedClassName(identity->className) &&
           !IsShellHostClassName(identity->className) &&
           !ServesEveryDesktop(LookOf(window, identity->className, style)) && !IsTaskbarThread(identity->threadId) &&
           !IsCloaked(window);
}

int IsManageableWindow(HWND window)
{
    WindowIdentity identity;
    return ReadManageable(window, &identity);
}

int FocusRankOf(HWND window)
{
    char className[32];
    if (!GetClassNameA(window, className, sizeof className)) return 0;
    return FocusRank(LookOf(window, className, (uint32_t)GetWindowLongA(window, GWL_STYLE)));
}
