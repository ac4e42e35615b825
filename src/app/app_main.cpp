#include "app_main.h"
#include "app_state.h"
#include "seams.h"
#include "texts.h"
#include "wide_text.h"
#include "../companion/companion.h"
#include "../desktops/desktops.h"
#include "../schemes/scheme.h"
#include "../schemes/file_rules.h"
#include "../schemes/scheme_file.h"
#include "../settings/autorun.h"
#include "../settings/settings_dialog.h"
#include "../tray/main_window.h"

static OSVERSIONINFOA ReadVersion()
{
    OSVERSIONINFOA version;
    ZeroMemory(&version, sizeof version);
    version.dwOSVersionInfoSize = sizeof version;  // 148
    GetVersionExA(&version);
    return version;
}

DWORD GetPlatformId()
{
    return ReadVersion().dwPlatformId;
}

static void ShowStartupFailure(const char *text, UINT icon)
{
    MessageBoxW(NULL, WideText(text), L"" APP_CAPTION, icon);
}

static void RegisterMainClass(HINSTANCE instance)
{
    WNDCLASSEXA windowClass;
    ZeroMemory(&windowClass, sizeof windowClass);
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = MainWndProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = APP_INSTANCE_NAME;
    RegisterClassExA(&windowClass);
}

// From loading the schemes to saving them: the part of the start-up that needs the counters.
static void RunTray(HINSTANCE instance)
{
    LoadSchemes();
    SetAppInstance(instance);
    SetAutorunFlag(IsAutorunSet());
    SetBackgroundBrush(CreateSolidBrush(RGB(165, 201, 239)));
    RegisterMainClass(instance);
    InstallFaultWindowRescue();
    HWND window = CreateWindowExA(0, APP_INSTANCE_NAME, "Trellith", WS_OVERLAPPEDWINDOW,
                                  CW_USEDEFAULT, 0, CW_USEDEFAULT, 0, NULL, NULL, instance, NULL);
    if (!window) {
        ShowStartupFailure(TEXT_INIT_FAILED, MB_ICONERROR);
        return;
    }
    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    ReleaseAllWindows();
    FreeWindowRecords();
    SaveSchemeList(ConfirmedSchemes());
}

// The request to end the session failed (no right to shut down, a policy, a remote session): the
// user hears of it, with the command and the system's reason, before the program ends as it
// would have. Where a shutdown is already under way, the session ends all the same.
static void ShowSessionFailure(LONG flags, DWORD error)
{
    const DWORD kShutdownInProgress = 1115;
    char start[64], number[32];
    wchar_t text[512];
    if (error == kShutdownInProgress) return;
    const char *command = flags == EWX_LOGOFF ? "注销" : flags == EWX_REBOOT ? "重启" : "关机";
    wsprintfA(start, TEXT_SESSION_FAILED, command);
    lstrcpyW(text, WideText(start));
    const int length = lstrlenW(text);
    // The system's reason in the system's own language, read wide.
    if (!FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, error, 0, text + length,
                        512 - length, NULL)) {
        wsprintfA(number, TEXT_ERROR_NUMBER, (unsigned long)error);
        lstrcpyW(text + length, WideText(number));
    }
    MessageBoxW(NULL, text, L"" APP_CAPTION, MB_ICONERROR);
}

int AppMain(HINSTANCE instance)
{
    HANDLE mutex = NULL;
    int moduleLoaded = 0;
    if (GetPlatformId() != VER_PLATFORM_WIN32_NT) {
        ShowStartupFailure(TEXT_WRONG_PLATFORM, MB_ICONINFORMATION);
    } else if ((mutex = CreateMutexA(NULL, TRUE, APP_INSTANCE_NAME)) == NULL) {
        ShowStartupFailure(TEXT_INIT_FAILED, MB_ICONERROR);
    } else if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);  // another instance runs: leave it alone, say nothing
        mutex = NULL;
    } else {
        // This is the one instance now: first of all, the windows that a run ended from
        // outside left hidden come back.
        StartDesktops();
        if (!(moduleLoaded = LoadCompanion())) ShowStartupFailure(TEXT_MODULE_MISSING, MB_ICONERROR);
        else if (!StartCounters()) ShowStartupFailure(TEXT_INIT_FAILED, MB_ICONERROR);
        else RunTray(instance);
    }

    if (moduleLoaded) UnloadCompanion();
    if (mutex) CloseHandle(mutex);
    if (*SchemeListHead()) FreeSchemeList(SchemeListHead());
    if (BackgroundBrush()) {
        DeleteObject(BackgroundBrush());
        SetBackgroundBrush(NULL);
    }
    if (PendingExitFlags() != kNoExitPending) {
        DWORD error = PerformExit(PendingExitFlags());
        if (error) ShowSessionFailure(PendingExitFlags(), error);
    }
    return 0;
}

DWORD PerformExit(LONG flags)
{
    HANDLE token;
    if (OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
        TOKEN_PRIVILEGES privileges;
        privileges.PrivilegeCount = 1;
        privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
        if (LookupPrivilegeValueA(NULL, "SeShutdownPrivilege", &privileges.Privileges[0].Luid))
            AdjustTokenPrivileges(token, FALSE, &privileges, 0, NULL, NULL);
        CloseHandle(token);
    }
    UINT exitFlags = SessionExitFlags((UINT)flags, ForceCloseOption(), ReadVersion().dwMajorVersion);
    return g_seams.exitWindowsEx(exitFlags, 0) ? 0 : GetLastError();
}
