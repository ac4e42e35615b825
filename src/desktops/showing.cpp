// The foreground at the end of a switch, handed on once the window that was in front is in view.
#include "showing.h"
#include "followed_windows.h"

static HWND g_self, g_front;
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

void StopHandingOver()
{
    if (g_pollTimer) KillTimer(NULL, g_pollTimer);
    g_pollTimer = 0;
    g_self = g_front = NULL;
}

static VOID CALLBACK Poll(HWND, UINT, UINT_PTR, DWORD);

static void TryToHandOver()
{
    HWND foreground = GetForegroundWindow();
    FrontState front = g_front ? LookAtWindow(g_front) : kNoFront;
    switch (FrontAfterShowing(!foreground || foreground == g_self, MenuOpen(), front)) {
    case kWaitForFront: g_pollTimer = SetTimer(NULL, g_pollTimer, NextLookMs(g_looks++), Poll); return;
    case kBringFrontForward: SetForegroundWindow(g_front); break;
    case kGiveToShellDesktop: SetForegroundWindow(ShellDesktopWindow()); break;
    case kLeaveForeground: break;
    }
    StopHandingOver();
}

static VOID CALLBACK Poll(HWND, UINT, UINT_PTR, DWORD)
{
    TryToHandOver();
}

void HandOverForeground(HWND self, HWND front)
{
    StopHandingOver();
    if (!self) return;
    g_self = self;
    g_front = front;
    g_looks = 0;
    TryToHandOver();
}
