#include "autorun.h"
#include <windows.h>
#include "../app/app_main.h"
#include "../app/seams.h"

const DWORD kPathSize = 256;
static const char kRunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

// The value is written with the whole buffer's length: zeros after the path keep the stack's
// leftovers out of the registry. A path that does not fit is refused, never cut.
static int ModulePath(char path[kPathSize])
{
    ZeroMemory(path, kPathSize);
    DWORD len = GetModuleFileNameA(NULL, path, kPathSize);
    return len > 0 && len < kPathSize;
}

// 1 when the value exists and reads as the module path.
static int ValueIsModulePath(HKEY key, const char *path, int *exists)
{
    char value[kPathSize + 1];
    DWORD size = kPathSize;
    *exists = RegQueryValueExA(key, APP_INSTANCE_NAME, NULL, NULL, (BYTE *)value, &size) == ERROR_SUCCESS;
    if (!*exists) return 0;
    value[size < kPathSize ? size : kPathSize] = '\0';
    return lstrcmpiA(value, path) == 0;
}

int IsAutorunSet()
{
    char path[kPathSize];
    HKEY key;
    if (!ModulePath(path)) return 0;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return 0;
    int exists;
    int set = ValueIsModulePath(key, path, &exists);
    RegCloseKey(key);
    return set;
}

int SetAutorun(int set)
{
    char path[kPathSize];
    HKEY key;
    if (!ModulePath(path)) return 0;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return 0;
    int exists;
    int same = ValueIsModulePath(key, path, &exists);
    int done = 1;
    if (set && !same)
        done = g_seams.regSetValueEx(key, APP_INSTANCE_NAME, 0, REG_SZ, (const BYTE *)path, kPathSize) == ERROR_SUCCESS;
    else if (!set && exists)
        done = g_seams.regDeleteValue(key, APP_INSTANCE_NAME) == ERROR_SUCCESS;
    RegCloseKey(key);
    return done;
}
