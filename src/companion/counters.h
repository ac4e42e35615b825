// The four trigger counters that Trellith.dll measures, in seconds, in the order that a
// scheme's triggerKind indexes them. Shared by the program and the module.
#pragma once
#include <stdint.h>

enum CounterIndex { kTimeOfDay = 0, kDiskIdle = 1, kInputIdle = 2, kUptime = 3, kCounterCount = 4 };

struct Counters {
    uint32_t timeOfDay;  // local time of day since midnight; 0 means the reading was lost
    uint32_t diskIdle;   // physical disks idle
    uint32_t inputIdle;  // keyboard and mouse idle
    uint32_t uptime;     // since the system started
};

// The About text block that GetString fills: five NUL-terminated texts at fixed offsets.
enum AboutOffset {
    kAboutTitle = 0, kAboutSubtitle = 29, kAboutLinkTarget = 54, kAboutLinkCaption = 61,
    kAboutEditText = 87, kAboutBlockSize = 128
};

#ifdef _WIN32
// The module's exports. Both use the plain C calling form: GetTime(NULL) starts (or restarts)
// the counters and returns non-zero on success; GetTime(buffer) reads all four into it.
// GetString fills the caller's 128-byte About block.
typedef unsigned (__cdecl *GetTimeFn)(Counters *buffer);
typedef void (__cdecl *GetStringFn)(char *block);
#endif
