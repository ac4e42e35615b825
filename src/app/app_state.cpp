#include "app_state.h"

static HINSTANCE g_instance;
static LONG g_pendingExitFlags = kNoExitPending;
static HBRUSH g_backgroundBrush;
static BOOL g_autorun;

HINSTANCE AppInstance() { return g_instance; }
void SetAppInstance(HINSTANCE instance) { g_instance = instance; }
LONG PendingExitFlags() { return g_pendingExitFlags; }
void SetPendingExitFlags(LONG flags) { g_pendingExitFlags = flags; }
HBRUSH BackgroundBrush() { return g_backgroundBrush; }
void SetBackgroundBrush(HBRUSH brush) { g_backgroundBrush = brush; }
BOOL AutorunFlag() { return g_autorun; }
void SetAutorunFlag(BOOL set) { g_autorun = set; }

int ProgramFolder(char folder[MAX_PATH])
{
    DWORD len = GetModuleFileNameA(NULL, folder, MAX_PATH);
    if (len == 0 || len >= MAX_PATH) return 0;  // a cut path names another file
    char *slash = NULL;  // walked by characters: a double-byte character may end in 0x5C
    for (char *p = folder; *p; p = CharNextA(p))
        if (*p == '\\') slash = p;
    if (!slash) return 0;
    slash[1] = '\0';
    return 1;
}

int FileBesideProgram(char *name, size_t size, const char *extension)
{
    char path[MAX_PATH];
    DWORD len = GetModuleFileNameA(NULL, path, MAX_PATH);
    if (len < 3 || len >= MAX_PATH || len - 3 + lstrlenA(extension) >= size) return 0;
    path[len - 3] = '\0';
    lstrcpyA(name, path);
    lstrcatA(name, extension);
    return 1;
}

HMODULE LoadSystemModule(const char *name)
{
    char path[MAX_PATH];
    UINT len = GetSystemDirectoryA(path, MAX_PATH);
    if (len == 0 || len + 1 + lstrlenA(name) >= MAX_PATH) return NULL;
    lstrcatA(path, "\\");
    lstrcatA(path, name);
    return LoadLibraryA(path);
}
