#include "companion.h"
#include <windows.h>
#include <string.h>
#include "../app/app_state.h"

static HMODULE g_module;
static GetTimeFn g_getTime;
static GetStringFn g_getString;

int LoadCompanion()
{
    char path[MAX_PATH];
    if (!ProgramFolder(path) || strlen(path) + sizeof "Trellith.dll" > sizeof path) return 0;
    strcat(path, "Trellith.dll");
    g_module = LoadLibraryA(path);
    if (!g_module) return 0;
    g_getTime = (GetTimeFn)(void *)GetProcAddress(g_module, "GetTime");
    g_getString = (GetStringFn)(void *)GetProcAddress(g_module, "GetString");
    return 1;
}

void UnloadCompanion()
{
    if (g_module) FreeLibrary(g_module);
    g_module = NULL;
    g_getTime = NULL;
    g_getString = NULL;
}

int StartCounters()
{
    return g_getTime && g_getTime(NULL) != 0;
}

int ReadCounters(Counters *counters)
{
    Counters read = {0, 0, 0, 0};
    if (g_getTime) g_getTime(&read);
    if (read.timeOfDay == 0) {
        StartCounters();
        return 0;
    }
    *counters = read;
    return 1;
}

void ReadAboutBlock(char block[kAboutBlockSize])
{
    if (g_getString) g_getString(block);
    else memset(block, 0, kAboutBlockSize);
}

void SetCompanionEntries(GetTimeFn getTime, GetStringFn getString)
{
    g_getTime = getTime;
    g_getString = getString;
}
