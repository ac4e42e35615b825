// Stand-ins for Trellith.dll that misbehave in one chosen way, built once per variant:
//   FAKE_START_FAILS  the counters cannot be started
//   FAKE_NO_EXPORTS   neither "GetTime" nor "GetString" is exported
#include <windows.h>
#include "../../src/companion/counters.h"

#ifndef FAKE_NO_EXPORTS
extern "C" __declspec(dllexport) unsigned __cdecl GetTime(Counters *buffer)
{
#ifdef FAKE_START_FAILS
    if (!buffer) return 0;
#endif
    if (buffer) *buffer = Counters{1, 0, 0, 1};
    return 1;
}

extern "C" __declspec(dllexport) void __cdecl GetString(char *block)
{
    ZeroMemory(block, kAboutBlockSize);
}
#else
extern "C" __declspec(dllexport) int __cdecl SomethingElse() { return 0; }
#endif
