// The whole life of the program, from the platform check to the request to end the session.
#pragma once
#include <windows.h>

// The name of the single-instance mutex and of the main window class.
#define APP_INSTANCE_NAME "TRELLITH15"

// Runs Trellith and returns 0, the process's exit code, on every path.
int AppMain(HINSTANCE instance);

// The platform identifier that GetVersionExA reports; only VER_PLATFORM_WIN32_NT (2) runs.
DWORD GetPlatformId();

// Enables the shutdown privilege and asks to end the Windows session with flags, adding
// EWX_FORCE when the force-close option is set, and otherwise EWX_FORCEIFHUNG on Windows 2000
// and later. 0 on success, else GetLastError().
DWORD PerformExit(LONG flags);
