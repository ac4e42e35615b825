// Soak: the program's work repeated many times in one process, then a check that nothing was
// left behind. trellith_soak [--short]
//   desktop switches with 100 windows of another program, menu paints, timer settings dialogs
//   opened and cancelled, countdowns of delay 0 (cancelled as they open).
// Afterwards: kernel handles (a probe handle gets the same slot, since Wine gives the lowest free
// one), GDI objects (how many more pens fit before the table is full), private bytes (within
// 256 KiB) are back where they started, and every window of the other program is visible.
#include <windows.h>
#include <psapi.h>
#include <stdio.h>
#include <string.h>
#include "../src/app/app_state.h"
#include "../src/companion/companion.h"
#include "../src/desktops/desktops.h"
#include "../src/schemes/scheme.h"
#include "../src/scheduler/scheduler.h"
#include "../src/tray/commands.h"
#include "../src/tray/main_window.h"
#include "../src/ui/owner_draw.h"
#include "../tests/win/harness.h"

namespace {

HANDLE ProbeHandle()
{
    HANDLE probe = CreateEventA(NULL, FALSE, FALSE, NULL);
    CloseHandle(probe);
    return probe;
}

// How many pens can still be made: the free part of the GDI handle table.
int FreeGdiSlots()
{
    static HPEN pens[70000];
    int n = 0;
    while (n < 70000 && (pens[n] = CreatePen(PS_SOLID, 1, n)) != NULL) ++n;
    for (int i = 0; i < n; ++i) DeleteObject(pens[i]);
    return n;
}

size_t PrivateKiB()
{
    PROCESS_MEMORY_COUNTERS_EX m = {};
    m.cb = sizeof m;
    GetProcessMemoryInfo(GetCurrentProcess(), (PROCESS_MEMORY_COUNTERS *)&m, sizeof m);
    return (m.PrivateUsage ? m.PrivateUsage : m.PagefileUsage) / 1024;
}

// Cancels every dialog as soon as it is active: the settings and the countdowns.
LRESULT CALLBACK CancelDialogs(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE) {
        char className[16];
        GetClassNameA((HWND)wParam, className, sizeof className);
        if (!strcmp(className, "#32770")) PostMessageA((HWND)wParam, WM_COMMAND, IDCANCEL, 0);
    }
    return CallNextHookEx(NULL, code, wParam, lParam);
}

// A switch at a person's pace: the next click comes once the other program has carried the
// last one out, while the program's loop takes in that program's answers.
void Switch(HWND main, const HelperWindows &helper)
{
    const bool inView = SwitchDesktop(main) == 0;  // the windows all live on desktop 0
    const std::vector<HWND> all = helper.All();
    WaitUntil([&] {
        Pump(0);
        for (HWND w : all)
            if ((IsWindowVisible(w) != FALSE) != inView) return false;
        return true;
    }, 20000);
}

unsigned __cdecl DueAtTen(Counters *buffer)
{
    if (buffer) *buffer = Counters{600, 0, 0, 0};
    return 1;
}

}  // namespace

int main(int argc, char **argv)
{
    setvbuf(stdout, NULL, _IONBF, 0);
    const bool brief = argc > 1 && !strcmp(argv[1], "--short");
    const int switches = brief ? 20 : 10000, paints = 10000, dialogs = brief ? 30 : 1000,
              countdowns = brief ? 30 : 1000;

    HINSTANCE instance = GetModuleHandleA(NULL);
    SetAppInstance(instance);
    SetBackgroundBrush(CreateSolidBrush(RGB(165, 201, 239)));
    if (!LoadCompanion() || !StartCounters()) return 2;
    WNDCLASSEXA windowClass = {sizeof windowClass, 0, MainWndProc, 0, 0, instance};
    windowClass.lpszClassName = "TRELLITH15";
    RegisterClassExA(&windowClass);
    HWND main = CreateWindowExA(0, "TRELLITH15", "Trellith", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, 0,
                                CW_USEDEFAULT, 0, NULL, NULL, instance, NULL);
    KillTimer(main, TIMER_ID);  // the soak drives the ticks itself
    HelperWindows helper({"Soak*100"});
    HDC dc = CreateCompatibleDC(NULL);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, 200, 30);
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    HHOOK hook = SetWindowsHookExA(WH_CBT, CancelDialogs, NULL, GetCurrentThreadId());

    // A round of everything first, so that what the platform keeps once (the common controls
    // loaded for the first countdown, say) is not counted.
    Switch(main, helper);
    while (CurrentDesktop() != 0) Switch(main, helper);
    SetCompanionEntries(DueAtTen, NULL);
    Scheme *due = AddScheme("soak");
    due->triggerMinutes = 10;  // 00:10, a bell with no delay
    // Counting the GDI slots makes and frees 65,000 pens, which grows the heap once: memory is
    // read after it, and after the soak before counting again. Running out of slots also empties
    // Wine's font cache, which the next few dialogs fill again (six objects with the Song face of
    // the test prefix, and no more however many follow): so the dialogs come after a first count.
    FreeGdiSlots();
    for (int i = 0; i < 10; ++i) SendMessageA(main, WM_COMMAND, IDM_TIMER_SETTINGS, 0);
    OnMainTimerTick(main);
    const int gdi = FreeGdiSlots();
    const size_t memory = PrivateKiB();
    const HANDLE probe = ProbeHandle();

    DWORD start = GetTickCount();
    for (int i = 0; i < switches; ++i) Switch(main, helper);
    while (CurrentDesktop() != 0) Switch(main, helper);
    printf("  switches: %lu ms\n", GetTickCount() - start);
    start = GetTickCount();
    for (int i = 0; i < paints; ++i) {
        DRAWITEMSTRUCT item = {ODT_MENU, 0, IDM_EXIT, ODA_DRAWENTIRE, (UINT)(i % 3 ? 0 : ODS_SELECTED), NULL, dc,
                               {0, 0, 200, 30}, (ULONG_PTR)"退出"};
        SendMessageA(main, WM_DRAWITEM, 0, (LPARAM)&item);
    }
    printf("  paints: %lu ms\n", GetTickCount() - start);
    start = GetTickCount();
    for (int i = 0; i < dialogs; ++i) SendMessageA(main, WM_COMMAND, IDM_TIMER_SETTINGS, 0);
    printf("  settings dialogs: %lu ms\n", GetTickCount() - start);
    start = GetTickCount();

    for (int i = 0; i < countdowns; ++i) {
        due->fired = 0;
        OnMainTimerTick(main);
    }
    FreeSchemeList(SchemeListHead());
    printf("  countdowns: %lu ms\n", GetTickCount() - start);

    const size_t memoryAfter = PrivateKiB();
    const HANDLE probeAfter = ProbeHandle();
    const int gdiAfter = FreeGdiSlots();
    int hidden = 0;
    WaitUntil([&] {  // the other program carries out the last requests in its own time
        hidden = 0;
        for (HWND w : helper.All()) hidden += !IsWindowVisible(w);
        return hidden == 0;
    });

    printf("soak: %d switches with 100 windows, %d menu paints, %d settings dialogs, %d countdowns\n",
           switches, paints, dialogs, countdowns);
    printf("  kernel handle probe: %p before, %p after\n", probe, probeAfter);
    printf("  free GDI slots: %d before, %d after\n", gdi, gdiAfter);
    printf("  private memory: %zu KiB before, %zu KiB after (margin 256 KiB)\n", memory, memoryAfter);
    printf("  windows of the other program still hidden: %d of %zu\n", hidden, helper.All().size());

    UnhookWindowsHookEx(hook);
    SelectObject(dc, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
    DestroyWindow(main);
    bool ok = probe == probeAfter && gdi == gdiAfter && memoryAfter <= memory + 256 && hidden == 0;
    printf("%s\n", ok ? "soak passed" : "soak FAILED");
    return ok ? 0 : 1;
}
