// The platform calls whose effect leaves the machine or ends the session, and the registry
// writes, the tray icon's add, a refused or held-back request to another program's window, a
// refused foreground, a cloaked window and the platform's show and hide events, which cannot be
// provoked here.
// Production code calls them through this table; a test replaces an entry and puts it back.
#pragma once
#include <windows.h>
#include <shellapi.h>

struct PlatformSeams {
    BOOL (WINAPI *exitWindowsEx)(UINT flags, DWORD reason);
    DWORD (WINAPI *mciSendString)(LPCSTR command, LPSTR answer, UINT answerSize, HWND callback);
    BOOL (WINAPI *beep)(DWORD frequency, DWORD duration);
    HINSTANCE (WINAPI *shellExecute)(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters,
                                     LPCSTR directory, INT show);
    LONG (WINAPI *regSetValueEx)(HKEY key, LPCSTR name, DWORD reserved, DWORD type,
                                 const BYTE *data, DWORD size);
    LONG (WINAPI *regDeleteValue)(HKEY key, LPCSTR name);
    BOOL (WINAPI *shellNotifyIcon)(DWORD message, NOTIFYICONDATAW *record);
    // Refused for a window of a program with higher rights (user interface privilege isolation);
    // on Windows a busy program carries a queued request out long after it answers messages.
    BOOL (WINAPI *setWindowPos)(HWND window, HWND after, int x, int y, int width, int height, UINT flags);
    BOOL (WINAPI *showWindowAsync)(HWND window, int command);
    // Refused by the foreground lock of Windows 2000 and later, which Wine does not have.
    BOOL (WINAPI *setForegroundWindow)(HWND window);
    // Looked up at run time (Windows Vista and later); E_NOTIMPL where there is none.
    HRESULT (WINAPI *dwmGetWindowAttribute)(HWND window, DWORD attribute, void *value, DWORD size);
    // Looked up at run time (Windows 2000 and later); NULL where there is none.
    HWINEVENTHOOK (WINAPI *setWinEventHook)(DWORD first, DWORD last, HMODULE module, WINEVENTPROC procedure,
                                            DWORD process, DWORD thread, DWORD flags);
    BOOL (WINAPI *unhookWinEvent)(HWINEVENTHOOK hook);
};

extern PlatformSeams g_seams;
