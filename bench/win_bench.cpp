// Figures of the running program under the real platform, each beside a bare baseline measured
// in the same run: a desktop switch of the real program, from the click until every window has
// its new state, against ShowWindow calls over the same windows made in a plain loop, the
// tick against reading the counters alone, start-up to the tray icon and memory against a
// minimal tray program. Prints one line a figure.
#include <windows.h>
#include <psapi.h>
#include <shellapi.h>
#include <stdio.h>
#include <string.h>
#include <algorithm>
#include <string>
#include <vector>
#include "../src/companion/companion.h"
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

// The windows of the helpers, top of the z-order first.
std::vector<HWND> InZOrder(const std::vector<HWND> &windows)
{
    std::vector<HWND> ordered;
    for (HWND w = GetTopWindow(NULL); w; w = GetWindow(w, GW_HWNDNEXT))
        if (std::find(windows.begin(), windows.end(), w) != windows.end()) ordered.push_back(w);
    return ordered;
}

// Seconds from start until every window has the state; -1 after a minute. A window seen in its new
// state keeps it: each look asks the server only about the windows not yet seen so, which leaves
// it to the work.
double UntilEveryWindowIs(const std::vector<HWND> &windows, bool visible, double start)
{
    for (size_t first = 0;;) {
        while (first < windows.size() && (IsWindowVisible(windows[first]) != FALSE) == visible) ++first;
        if (first == windows.size()) return Now() - start;
        if (Now() - start > 60) return -1;
        Sleep(5);
    }
}

// Seconds from the click until every window is as the switch means it to be.
double TimedSwitch(HWND main, const std::vector<HWND> &windows, bool visible)
{
    double start = Now();
    PostMessageA(main, WM_USER, 102, WM_LBUTTONUP);
    return UntilEveryWindowIs(windows, visible, start);
}

// Seconds until every window has the state, asked of each window's thread in a plain loop with the
// requests a switch makes (queued, in place, no erasing): what the requests themselves cost.
double RequestsAlone(const std::vector<HWND> &windows, bool visible)
{
    const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_ASYNCWINDOWPOS | SWP_DEFERERASE |
                       (visible ? SWP_SHOWWINDOW : SWP_HIDEWINDOW);
    double start = Now();
    for (HWND w : windows) SetWindowPos(w, NULL, 0, 0, 0, 0, flags);
    return UntilEveryWindowIs(windows, visible, start);
}

// Seconds until every window has the state, each program hiding or showing its own windows on
// its own thread, in place: the floor under any switch, which the programs' own work sets.
double ProgramsOwnFloor(const std::vector<HelperWindows *> &helpers, const std::vector<HWND> &windows, bool visible)
{
    double start = Now();
    for (HelperWindows *h : helpers) PostMessageA(h->All()[0], WM_APP + 2, visible, 0);
    return UntilEveryWindowIs(windows, visible, start);
}

// Four switches from desktop 0, where all the windows are: the first hides them, the last
// shows them. Beside it, the bare loop of synchronous ShowWindow calls over the same windows in
// their z-order, the bare loop of the program's own requests (SetWindowPos keeping each window's
// place) made synchronously, and the floor: each program showing its own windows on its own
// thread. After each round the z-order and the window in front are checked against before, for
// the program and for the bare loop of its requests.
void SwitchFigures(HWND main, int windows, int programs, bool interleaved)
{
    std::vector<HelperWindows *> helpers;
    for (int i = 0; i < programs; ++i)
        helpers.push_back(new HelperWindows({"Bench" + std::to_string(i) + "*" + std::to_string(windows / programs)}));
    std::vector<std::vector<HWND>> of;
    for (HelperWindows *h : helpers) {
        std::vector<HWND> shown;
        for (HWND w : h->All())
            if (IsWindowVisible(w)) shown.push_back(w);
        of.push_back(InZOrder(shown));
    }
    if (interleaved)  // one window of each program in turn, from the bottom up
        for (int n = windows / programs - 1; n >= 0; --n)
            for (auto &mine : of) SetWindowPos(mine[n], HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    std::vector<HWND> all;
    for (auto &mine : of) all.insert(all.end(), mine.begin(), mine.end());
    all = InZOrder(all);
    if ((int)all.size() != windows) printf("(only %zu of %d windows appeared)\n", all.size(), windows);
    SetForegroundWindow(all[0]);  // in front and on top, as a desktop in use has it
    WaitUntil([&] { return GetForegroundWindow() == all[0] && InZOrder(all)[0] == all[0]; });
    std::vector<double> hide, show, seen, bareHide, bareShow, floorHide, floorShow, aloneHide, aloneShow;
    bool orderKept = true, frontKept = true, bareOrderKept = true, floorOrderKept = true, aloneOrderKept = true;
    const UINT kept = SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE;
    for (int round = 0; round < 3; ++round) {
        const std::vector<HWND> before = InZOrder(all);
        const HWND front = GetForegroundWindow();
        hide.push_back(TimedSwitch(main, all, false));
        // Two switches between empty desktops, each done before the next click, as a person
        // clicks: the show is then timed alone.
        for (int empty = 0; empty < 2; ++empty) {
            DWORD_PTR ignored;
            SendMessageTimeoutA(main, WM_USER, 102, WM_LBUTTONUP, SMTO_NORMAL, 5000, &ignored);
        }
        const double clicked = Now();
        show.push_back(TimedSwitch(main, all, true));
        // The program brings the front window forward once it has seen it in view.
        WaitUntil([&] { return GetForegroundWindow() == front; }, 5000);
        seen.push_back(Now() - clicked);
        Sleep(300);  // the last requests carried out, the front one raised
        orderKept = orderKept && InZOrder(all) == before;
        frontKept = frontKept && GetForegroundWindow() == front;
        const std::vector<HWND> ours = InZOrder(all);
        double start = Now();
        for (HWND w : ours) ShowWindow(w, SW_HIDE);
        bareHide.push_back(Now() - start);
        start = Now();
        for (auto w = ours.rbegin(); w != ours.rend(); ++w) ShowWindow(*w, SW_SHOW);
        bareShow.push_back(Now() - start);
        SetForegroundWindow(front);
        WaitUntil([&] { return GetForegroundWindow() == front && InZOrder(all)[0] == front; }, 2000);
        const std::vector<HWND> bareBefore = InZOrder(all);
        for (HWND w : bareBefore) SetWindowPos(w, NULL, 0, 0, 0, 0, kept | SWP_HIDEWINDOW);
        for (HWND w : bareBefore) SetWindowPos(w, NULL, 0, 0, 0, 0, kept | SWP_SHOWWINDOW);
        Sleep(300);
        bareOrderKept = bareOrderKept && InZOrder(all) == bareBefore;
        const std::vector<HWND> floorBefore = InZOrder(all);
        floorHide.push_back(ProgramsOwnFloor(helpers, all, false));
        floorShow.push_back(ProgramsOwnFloor(helpers, all, true));
        Sleep(300);
        floorOrderKept = floorOrderKept && InZOrder(all) == floorBefore;
        const std::vector<HWND> aloneBefore = InZOrder(all);
        aloneHide.push_back(RequestsAlone(aloneBefore, false));
        aloneShow.push_back(RequestsAlone(aloneBefore, true));
        Sleep(300);
        aloneOrderKept = aloneOrderKept && InZOrder(all) == aloneBefore;
        for (auto w = before.rbegin(); w != before.rend(); ++w)  // the next round starts as this one did
            SetWindowPos(*w, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        SetForegroundWindow(front);
        WaitUntil([&] { return GetForegroundWindow() == front && InZOrder(all) == before; }, 2000);
    }
    const auto said = [](bool kept) { return kept ? "kept" : "CHANGED"; };
    printf("switch, %3d windows of %2d program%s%s: hide %7.1f ms (bare loop %7.1f ms, ratio %.2f; the "
           "programs' own %7.1f ms, ratio %.2f; the requests alone %7.1f ms, ratio %.2f), show %7.1f ms (bare "
           "%7.1f ms, ratio %.2f; the programs' own %7.1f ms, ratio %.2f; the requests alone %7.1f ms, ratio %.2f), "
           "seen by the program %7.1f ms; after four switches z-order %s, front %s; z-order after the bare loop %s, "
           "after the programs' own %s, after the requests alone %s\n",
           windows, programs, programs == 1 ? " " : "s", interleaved ? ", interleaved" : "", Median(hide) * 1000,
           Median(bareHide) * 1000, Median(hide) / Median(bareHide), Median(floorHide) * 1000,
           Median(hide) / Median(floorHide), Median(aloneHide) * 1000, Median(hide) / Median(aloneHide),
           Median(show) * 1000, Median(bareShow) * 1000, Median(show) / Median(bareShow), Median(floorShow) * 1000,
           Median(show) / Median(floorShow), Median(aloneShow) * 1000, Median(show) / Median(aloneShow),
           Median(seen) * 1000, said(orderKept), said(frontKept), said(bareOrderKept), said(floorOrderKept),
           said(aloneOrderKept));
    for (HelperWindows *h : helpers) delete h;
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

// Trellith in a folder of its own, with no scheme file.
std::string BenchCopy()
{
    const std::string folder = BinFolder() + "bench\\";
    CreateDirectoryA(folder.c_str(), NULL);
    CopyFileA((BinFolder() + "Trellith.exe").c_str(), (folder + "Trellith.exe").c_str(), FALSE);
    CopyFileA((BinFolder() + "Trellith.dll").c_str(), (folder + "Trellith.dll").c_str(), FALSE);
    DeleteFileA((folder + "Trellith.ini").c_str());
    return folder + "Trellith.exe";
}

void StartUpAndMemoryFigures()
{
    const std::string trellith = BenchCopy(), baseline = BinFolder() + "tray_baseline.exe";
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

BOOL CALLBACK ReadTitle(HWND window, LPARAM count)
{
    wchar_t title[256];
    GetWindowTextW(window, title, 256);
    ++*(int *)count;
    return TRUE;
}

// From the key (the message it posts) until the list of every window shows, with the windows of
// ten programs on desktop 1; beside it a bare loop that reads the title of every top-level window.
void ListFigures(HWND main, int windows)
{
    std::vector<HelperWindows *> helpers;
    for (int p = 0; p < 10; ++p) helpers.push_back(new HelperWindows({"List" + std::to_string(p) + "*" + std::to_string(windows / 10)}));
    PostMessageA(main, WM_USER, 102, WM_LBUTTONUP);  // the windows go with desktop 1
    Sleep(2000);
    std::vector<double> ours, bare;
    for (int round = 0; round < 15; ++round) {
        double start = Now();
        PostMessageA(main, 0x8002, 0, 0);  // WM_SHOW_WINDOW_LIST, as Ctrl+Alt+F5 posts it
        HWND menu = NULL;
        while (!(menu = FindWindowA("#32768", NULL)) || !IsWindowVisible(menu)) {
            if (Now() - start > 10) return;
            Sleep(1);
        }
        ours.push_back(Now() - start);
        PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
        while (IsWindowVisible(menu)) Sleep(5);
        Sleep(300);  // each opening from a program at rest, as a person opens it
        int count = 0;
        start = Now();
        EnumWindows(ReadTitle, (LPARAM)&count);
        bare.push_back(Now() - start);
    }
    std::vector<double> sorted = ours;
    std::sort(sorted.begin(), sorted.end());
    printf("list of every window, %3d windows of 10 programs: %6.1f ms until it shows (quartiles %.1f-%.1f), "
           "reading every title %6.1f ms, ratio %.2f\n", windows, Median(ours) * 1000, sorted[sorted.size() / 4] * 1000,
           sorted[sorted.size() * 3 / 4] * 1000, Median(bare) * 1000, Median(ours) / Median(bare));
    for (int i = 0; i < 3; ++i) PostMessageA(main, WM_USER, 102, WM_LBUTTONUP);  // round to desktop 1 again
    Sleep(1000);
    for (HelperWindows *h : helpers) delete h;
}

}  // namespace

// trellith_bench [switch] [tick] [start] [list]: the figures asked for, all of them without a word.
int main(int argc, char **argv)
{
    setvbuf(stdout, NULL, _IONBF, 0);
    auto wanted = [&](const char *figure) {
        if (argc < 2) return true;
        for (int i = 1; i < argc; ++i)
            if (strcmp(argv[i], figure) == 0) return true;
        return false;
    };
    if (wanted("switch")) {
        HANDLE process;
        const std::string trellith = BenchCopy();
        StartUpToIcon(trellith, "TRELLITH15", 102, &process);
        HWND main = FindWindowA("TRELLITH15", NULL);
        for (int n : {50, 200}) {
            for (int programs : {1, 10}) SwitchFigures(main, n, programs, false);
            SwitchFigures(main, n, 10, true);
        }
        Stop(process, "TRELLITH15");
    }
    if (wanted("tick")) {
        if (!LoadCompanion() || !StartCounters()) {
            printf("Trellith.dll missing\n");
            return 1;
        }
        for (int n : {0, 1000}) TickFigures(n);
        UnloadCompanion();
    }
    if (wanted("start")) StartUpAndMemoryFigures();
    if (wanted("list")) {
        HANDLE process;
        StartUpToIcon(BenchCopy(), "TRELLITH15", 102, &process);
        ListFigures(FindWindowA("TRELLITH15", NULL), 200);
        Stop(process, "TRELLITH15");
    }
    return 0;
}
