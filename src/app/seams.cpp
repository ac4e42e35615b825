#include "seams.h"
#include <mmsystem.h>
#include <shellapi.h>
#include "app_state.h"

typedef MCIERROR(WINAPI *MciSendStringFn)(LPCSTR command, LPSTR answer, UINT answerSize, HWND callback);

// The multimedia library is loaded when the CD-ROM door is first asked for, not at every start.
static DWORD WINAPI MciSendStringOnDemand(LPCSTR command, LPSTR answer, UINT answerSize, HWND callback)
{
    static HMODULE winmm = LoadSystemModule("winmm.dll");
    static MciSendStringFn send = winmm ? (MciSendStringFn)(void *)GetProcAddress(winmm, "mciSendStringA") : NULL;
    return send ? send(command, answer, answerSize, callback) : MCIERR_DEVICE_NOT_INSTALLED;
}

typedef HRESULT(WINAPI *DwmGetWindowAttributeFn)(HWND window, DWORD attribute, void *value, DWORD size);

// The desktop window manager's library, where the system has one, when a switch first asks.
static HRESULT WINAPI DwmGetWindowAttributeOnDemand(HWND window, DWORD attribute, void *value, DWORD size)
{
    static HMODULE dwmapi = LoadSystemModule("dwmapi.dll");
    static DwmGetWindowAttributeFn get =
        dwmapi ? (DwmGetWindowAttributeFn)(void *)GetProcAddress(dwmapi, "DwmGetWindowAttribute") : NULL;
    return get ? get(window, attribute, value, size) : E_NOTIMPL;
}

typedef HWINEVENTHOOK(WINAPI *SetWinEventHookFn)(DWORD, DWORD, HMODULE, WINEVENTPROC, DWORD, DWORD, DWORD);
typedef BOOL(WINAPI *UnhookWinEventFn)(HWINEVENTHOOK);

// Windows NT 4 has no event hooks: importing them would keep the program from starting there.
static HWINEVENTHOOK WINAPI SetWinEventHookWhereThereIsOne(DWORD first, DWORD last, HMODULE module,
                                                           WINEVENTPROC procedure, DWORD process, DWORD thread, DWORD flags)
{
    static SetWinEventHookFn set = (SetWinEventHookFn)(void *)GetProcAddress(GetModuleHandleA("user32.dll"), "SetWinEventHook");
    return set ? set(first, last, module, procedure, process, thread, flags) : NULL;
}

static BOOL WINAPI UnhookWinEventWhereThereIsOne(HWINEVENTHOOK hook)
{
    static UnhookWinEventFn unhook = (UnhookWinEventFn)(void *)GetProcAddress(GetModuleHandleA("user32.dll"), "UnhookWinEvent");
    return unhook ? unhook(hook) : FALSE;
}

PlatformSeams g_seams = {
    ExitWindowsEx, MciSendStringOnDemand, Beep, ShellExecuteA, RegSetValueExA, RegDeleteValueA, Shell_NotifyIconW,
    SetWindowPos, ShowWindowAsync, SetForegroundWindow, DwmGetWindowAttributeOnDemand,
    SetWinEventHookWhereThereIsOne, UnhookWinEventWhereThereIsOne,
};
