// A program with top-level windows of chosen class names, for the desktop tests:
//   testwin LOGFILE CLASS[*COUNT] ...
// Each window logs every SC_CLOSE it receives as a line "SC_CLOSE <class> <n>" and stays open,
// and logs being shown and hidden (WM_WINDOWPOSCHANGED) as "SHOW <class> <n>" and "HIDE <class> <n>".
// WM_APP ends the program; WM_APP + 1 makes the window's thread sleep for wParam ms, as a hung
// program's thread takes no message; WM_APP + 2 shows (wParam 1) or hides (0) every window of the
// program from its own thread, each in its place, its erasing left to the paints that follow, as
// fast as a program can. A window whose class begins with "EndSession" sends
// WM_ENDSESSION to Trellith's main window when it is hidden, from inside that hide, taking no
// other message meanwhile: as on Windows NT, where a show queued for it then waits until the
// hide is over (Wine would otherwise carry it out inside the hide).
// A class with "Top" in its name makes windows always on top, one with "NoActivate" in it
// windows of WS_EX_NOACTIVATE, and one that begins with "Owned" windows owned by the program's
// first window. With no class it only keeps running (a Wine session keeper).
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static const char *g_log;

static void Log(HWND window, const char *what)
{
    char className[64], title[64];
    GetClassNameA(window, className, sizeof className);
    GetWindowTextA(window, title, sizeof title);
    FILE *log = fopen(g_log, "ab");
    if (log) {
        fprintf(log, "%s %s %s\n", what, className, title);
        fclose(log);
    }
}

static BOOL CALLBACK ShowOrHideInPlace(HWND window, LPARAM show)
{
    SetWindowPos(window, NULL, 0, 0, 0, 0, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_DEFERERASE |
                 (show ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
    return TRUE;
}

static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_CLOSE) {
        Log(window, "SC_CLOSE");
        return 0;
    }
    const WINDOWPOS *position = (const WINDOWPOS *)lParam;
    if (message == WM_WINDOWPOSCHANGED && (position->flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW))) {
        BOOL shown = (position->flags & SWP_SHOWWINDOW) != 0;
        Log(window, shown ? "SHOW" : "HIDE");
        char className[64];
        GetClassNameA(window, className, sizeof className);
        if (!shown && strncmp(className, "EndSession", 10) == 0)
            SendMessageTimeoutA(FindWindowA("TRELLITH15", NULL), WM_ENDSESSION, TRUE, 0, SMTO_BLOCK, 10000, NULL);
    }
    if (message == WM_APP + 1) {
        Sleep((DWORD)wParam);
        return 0;
    }
    if (message == WM_APP + 2) {
        EnumThreadWindows(GetCurrentThreadId(), ShowOrHideInPlace, wParam);
        return 0;
    }
    if (message == WM_APP) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int main(int argc, char **argv)
{
    if (argc < 2) return 2;
    g_log = argv[1];
    HINSTANCE instance = GetModuleHandleA(NULL);
    int made = 0;
    HWND first = NULL;
    for (int i = 2; i < argc; ++i) {
        char className[256];
        strncpy(className, argv[i], sizeof className - 1);
        className[sizeof className - 1] = '\0';
        int count = 1;
        if (char *star = strchr(className, '*')) {
            *star = '\0';
            count = atoi(star + 1);
        }
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = WindowProc;
        windowClass.hInstance = instance;
        windowClass.lpszClassName = className;
        windowClass.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
        RegisterClassA(&windowClass);
        DWORD exStyle = (strstr(className, "Top") ? WS_EX_TOPMOST : 0) |
                        (strstr(className, "NoActivate") ? WS_EX_NOACTIVATE : 0);
        HWND owner = strncmp(className, "Owned", 5) == 0 ? first : NULL;
        for (int n = 0; n < count; ++n, ++made) {
            char title[32];
            sprintf(title, "%d", n);
            HWND window = CreateWindowExA(exStyle, className, title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20 + made % 40 * 10,
                                          20 + made % 40 * 10, 200, 100, owner, NULL, instance, NULL);
            if (!first) first = window;
        }
    }
    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0) DispatchMessageA(&msg);
    return 0;
}
