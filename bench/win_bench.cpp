// Figures of the running program under the real platform, each beside a bare baseline measured
// in the same run: a desktop switch against the same ShowWindow calls made in a plain loop, the
// tick against reading the counters alone, start-up to the tray icon and memory against a
// minimal tray program. Prints one line a figure.
#include <windows.h>
#include <psapi.h>
#include <shellapi.h>
#include <stdio.h>
#include <algorithm>
#include <string>
#include <vector>
#include "../src/companion/companion.h"
#include "../src/desktops/desktops.h"
#include "../src/scheduler/scheduler.h"
#include "../src/schemes/scheme.h"
#include "../tests/win/harness.h"

namespace {

double Now()
{
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return (double)counter.QuadPart / frequency.QuadPart;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// One cycle of four switches hides every window once and shows it once; so does the bare loop.
void SwitchFigures(int windows)
{
    HelperWindows helper({"Bench*" + std::to_string(windows)});
    while (CurrentDesktop() != 0) SwitchDesktop((HWND)NULL);
    std::vector<HWND> all = helper.All();
    if ((int)all.size() != windows) printf("(only %zu of %d windows appeared)\n", all.size(), windows);
    std::vector<double> ours, bare;
    for (int round = 0; round < 3; ++round) {
        double start = Now();
        for (int i = 0; i < 4; ++i) SwitchDesktop((HWND)NULL);
        ours.push_back(Now() - start);
        start = Now();
        for (HWND w : all) ShowWindow(w, SW_HIDE);
        for (auto w = all.rbegin(); w != all.rend(); ++w) ShowWindow(*w, SW_SHOW);
        bare.push_back(Now() - start);
    }
    double start = Now();
    int manageable = 0;
    EnumWindows([](HWND w, LPARAM n) -> BOOL { *(int *)n += IsManageableWindow(w); return TRUE; }, (LPARAM)&manageable);
    double filter = Now() - start;
    printf("  (filtering all %d windows once: %.2f ms)\n", manageable, filter * 1000);
    double o = Median(ours) / 4, b = Median(bare) / 4;
    printf("switch with %4d windows: %8.2f ms a switch, bare ShowWindow loop %8.2f ms, ratio %.2f\n",
           windows, o * 1000, b * 1000, o / b);
}

void TickFigures(int schemes)
{
    FreeSchemeList(SchemeListHead());
    for (int i = 0; i < schemes; ++i) {
        Scheme *s = AddScheme(("s" + std::to_string(i)).c_str());
        s->triggerMinutes = 1439;
        s->triggerKind = 3;  // never due here: the whole list is walked every tick
    }
    const int ticks = 20000;
    Counters counters;
    double start = Now();
    for (int i = 0; i < ticks; ++i) ReadCounters(&counters);
    double bare = (Now() - start) / ticks;
    start = Now();
    for (int i = 0; i < ticks; ++i) OnMainTimerTick(NULL);
    double ours = (Now() - start) / ticks;
    printf("tick with %4d schemes:  %8.2f us a tick, reading the counters alone %8.2f us, ratio %.2f\n",
           schemes, ours * 1e6, bare * 1e6, ours / bare);
    FreeSchemeList(SchemeListHead());
}

// Milliseconds from CreateProcess until the shell holds the program's icon.
double StartUpToIcon(const std::string &exe, const char *windowClass, UINT iconId, HANDLE *process)
{
    STARTUPINFOA startup = {sizeof startup};
    PROCESS_INFORMATION info;
    std::string command = "\"" + exe + "\"";
    double start = Now();
    if (!CreateProcessA(exe.c_str(), &command[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &info)) return -1;
    CloseHandle(info.hThread);
    *process = info.hProcess;
    NOTIFYICONDATAA probe = {};
    probe.cbSize = NOTIFYICONDATAA_V1_SIZE;
    probe.uID = iconId;
    for (;;) {  // a modify that changes nothing succeeds once the icon is there
        probe.hWnd = FindWindowA(windowClass, NULL);
        if (probe.hWnd && Shell_NotifyIconA(NIM_MODIFY, &probe)) break;
        if (Now() - start > 20) return -1;
        Sleep(1);
    }
    return (Now() - start) * 1000;
}

void Stop(HANDLE process, const char *windowClass)
{
    PostMessageA(FindWindowA(windowClass, NULL), WM_CLOSE, 0, 0);
    WaitForSingleObject(process, 5000);
    CloseHandle(process);
}

void Memory(HANDLE process, size_t *workingSet, size_t *privateBytes)
{
    PROCESS_MEMORY_COUNTERS_EX m = {};
    m.cb = sizeof m;
    GetProcessMemoryInfo(process, (PROCESS_MEMORY_COUNTERS *)&m, sizeof m);
    *workingSet = m.WorkingSetSize / 1024;
    *privateBytes = m.PrivateUsage / 1024;
}

void StartUpAndMemoryFigures()
{
    const std::string trellith = BinFolder() + "bench\\Trellith.exe", baseline = BinFolder() + "tray_baseline.exe";
    CreateDirectoryA((BinFolder() + "bench").c_str(), NULL);
    CopyFileA((BinFolder() + "Trellith.exe").c_str(), trellith.c_str(), FALSE);
    CopyFileA((BinFolder() + "Trellith.dll").c_str(), (BinFolder() + "bench\\Trellith.dll").c_str(), FALSE);
    std::vector<double> ours, bare;
    size_t ws0 = 0, pb0 = 0, ws1 = 0, pb1 = 0, bws = 0, bpb = 0;
    for (int round = 0; round < 5; ++round) {
        HANDLE p;
        ours.push_back(StartUpToIcon(trellith, "TRELLITH15", 102, &p));
        if (round == 0) {
            Sleep(500);
            Memory(p, &ws0, &pb0);
            HWND main = FindWindowA("TRELLITH15", NULL);
            for (int tick = 0; tick < 3600; ++tick) SendMessageA(main, WM_TIMER, 1030, 0);  // an hour of ticks
            Memory(p, &ws1, &pb1);
        }
        Stop(p, "TRELLITH15");
        bare.push_back(StartUpToIcon(baseline, "TrayBaseline", 1, &p));
        if (round == 0) {
            Sleep(500);
            Memory(p, &bws, &bpb);
        }
        Stop(p, "TrayBaseline");
    }
    printf("start-up to the tray icon: %8.1f ms, minimal tray program %8.1f ms, ratio %.2f\n",
           Median(ours), Median(bare), Median(ours) / Median(bare));
    printf("memory after start:        working set %6zu KiB, private %6zu KiB; minimal tray program %6zu / %6zu KiB\n",
           ws0, pb0, bws, bpb);
    printf("memory after 3600 ticks:   working set %6zu KiB, private %6zu KiB\n", ws1, pb1);
}

}  // namespace

int main()
{
    setvbuf(stdout, NULL, _IONBF, 0);
    for (int n : {50, 200, 1000}) SwitchFigures(n);
    if (!LoadCompanion() || !StartCounters()) {
        printf("Trellith.dll missing\n");
        return 1;
    }
    for (int n : {0, 1000}) TickFigures(n);
    UnloadCompanion();
    StartUpAndMemoryFigures();
    return 0;
}
