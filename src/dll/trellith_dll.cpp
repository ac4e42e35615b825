// Trellith.dll: the four trigger counters and the About texts of Trellith.
//
// How each counter is measured (all in seconds):
// - timeOfDay: the local clock (GetLocalTime), seconds since midnight.
// - diskIdle:  the read and write counts of every physical disk (IOCTL_DISK_PERFORMANCE on
//              \\.\PhysicalDrive0 to 15, opened without access rights so that any user may
//              ask); any change of the counts is activity, and the idle time runs from the
//              last change seen. Disks that answer no counters (counters switched off on
//              NT 4 and 2000 until "diskperf -y", or under Wine) are left out; with none left,
//              the counter reads 0, "not idle", and never an idle time that nobody measured.
// - inputIdle: GetLastInputInfo against GetTickCount, where the platform has the call (looked
//              up at run time, so that the module still loads on NT 4, where it reads 0).
// - uptime:    the boot time and the current time of the system (NtQuerySystemInformation,
//              SystemTimeOfDayInformation): 64-bit, so it does not wrap after 49.7 days as
//              GetTickCount does.
// Readings are only taken when asked, once a second at most; nothing runs in between.
#include <windows.h>
#include <winioctl.h>
#include <string.h>
#include "../companion/counters.h"
#include "idle.h"

namespace {

const int kMaxDisks = 16;
HANDLE g_disks[kMaxDisks];
int g_diskCount;
DiskIdleTracker g_diskIdle;

typedef LONG (WINAPI *QuerySystemInformationFn)(ULONG, void *, ULONG, ULONG *);
typedef BOOL (WINAPI *GetLastInputInfoFn)(LASTINPUTINFO *);

struct TimeOfDayInformation {  // the part of SystemTimeOfDayInformation that NT 4 has too
    LARGE_INTEGER bootTime;
    LARGE_INTEGER currentTime;
    LARGE_INTEGER timeZoneBias;
    ULONG timeZoneId;
    ULONG reserved;
};

int ReadUptimeMs(uint64_t *ms)
{
    static QuerySystemInformationFn query = (QuerySystemInformationFn)(void *)GetProcAddress(
        GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation");
    TimeOfDayInformation info;
    if (!query || query(3 /* SystemTimeOfDayInformation */, &info, sizeof info, NULL) != 0)
        return 0;
    if (info.currentTime.QuadPart < info.bootTime.QuadPart) return 0;
    *ms = (uint64_t)(info.currentTime.QuadPart - info.bootTime.QuadPart) / 10000;
    return 1;
}

int ReadDiskCounts(HANDLE disk, uint32_t *reads, uint32_t *writes)
{
    unsigned char answer[sizeof(DISK_PERFORMANCE) + 16];
    DWORD len = 0;
    if (!DeviceIoControl(disk, IOCTL_DISK_PERFORMANCE, NULL, 0, answer, sizeof answer, &len, NULL))
        return 0;
    return DiskCountsFromPerformance(answer, len, reads, writes);
}

void CloseDisks()
{
    while (g_diskCount > 0) CloseHandle(g_disks[--g_diskCount]);
}

// Keeps a handle to every physical disk that answers with counters.
void OpenDisks()
{
    for (int n = 0; n < kMaxDisks; ++n) {
        char name[24];
        wsprintfA(name, "\\\\.\\PhysicalDrive%d", n);
        HANDLE disk = CreateFileA(name, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0, NULL);
        if (disk == INVALID_HANDLE_VALUE) continue;
        uint32_t reads, writes;
        if (ReadDiskCounts(disk, &reads, &writes)) g_disks[g_diskCount++] = disk;
        else CloseHandle(disk);
    }
}

// Sums the counts of all disks: a change of any disk's counts changes the sum.
int DiskSignature(uint32_t *signature)
{
    uint32_t sum = 0;
    int any = 0;
    for (int i = 0; i < g_diskCount; ++i) {
        uint32_t reads, writes;
        if (!ReadDiskCounts(g_disks[i], &reads, &writes)) continue;
        sum += reads + writes;
        any = 1;
    }
    *signature = sum;
    return any;
}

void ReadInput(PlatformSample *sample)
{
    static GetLastInputInfoFn getLastInput = (GetLastInputInfoFn)(void *)GetProcAddress(
        GetModuleHandleA("user32.dll"), "GetLastInputInfo");
    LASTINPUTINFO info = {sizeof info, 0};
    sample->haveInput = getLastInput && getLastInput(&info);
    sample->lastInputTick = info.dwTime;
    sample->nowTick = GetTickCount();  // read after the input time
}

PlatformSample LookAtThePlatform()
{
    PlatformSample sample = {};
    SYSTEMTIME now;
    GetLocalTime(&now);
    sample.hour = now.wHour;
    sample.minute = now.wMinute;
    sample.second = now.wSecond;
    sample.haveClock = ReadUptimeMs(&sample.uptimeMs);
    sample.haveDisks = DiskSignature(&sample.diskSignature);
    ReadInput(&sample);
    return sample;
}

}  // namespace

extern "C" __declspec(dllexport) unsigned __cdecl GetTime(Counters *buffer)
{
    if (buffer) return CountersGetTime(&g_diskIdle, buffer, LookAtThePlatform());
    CloseDisks();  // a disk may have come or gone: the next reading notices
    OpenDisks();
    PlatformSample clock = {};
    clock.haveClock = ReadUptimeMs(&clock.uptimeMs);
    return CountersGetTime(&g_diskIdle, NULL, clock);
}

// The link target "docs" is the folder of the user's guide that ships beside the program.
extern "C" __declspec(dllexport) void __cdecl GetString(char *block)
{
#define PUT_TEXT(from, to, text)                                                   \
    static_assert(sizeof(text) <= (to) - (from), "text overruns its place"); \
    memcpy(block + (from), text, sizeof(text))
    memset(block, 0, kAboutBlockSize);
    PUT_TEXT(kAboutTitle, kAboutSubtitle, "Trellith 1.5");
    PUT_TEXT(kAboutSubtitle, kAboutLinkTarget, "虚拟桌面与定时关机");
    PUT_TEXT(kAboutLinkTarget, kAboutLinkCaption, "docs");
    PUT_TEXT(kAboutLinkCaption, kAboutEditText, "使用说明");
    PUT_TEXT(kAboutEditText, kAboutBlockSize, "版权所有 (C) 2026 Trellith 开发组");
#undef PUT_TEXT
}

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_DETACH) CloseDisks();
    return TRUE;
}
