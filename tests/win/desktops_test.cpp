// The desktops and the stash on real windows of another process (testwin.exe), driven through
// the operations the tray calls. The other process carries out each hide and show in its own
// time, so every check of a window's state waits for it.
#include <gtest/gtest.h>
#include <algorithm>
#include <set>
#include "harness.h"
#include "../../src/app/alloc.h"
#include "../../src/app/seams.h"
#include "../../src/desktops/desktops.h"
#include "../../src/desktops/followed_windows.h"

namespace {

typedef std::vector<std::string> Lines;

class Desktops : public ::testing::Test {
protected:
    HWND self = NULL;  // stands for the program's hidden main window

    void SetUp() override
    {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.lpszClassName = "DesktopsSelf";
        RegisterClassA(&windowClass);
        self = CreateWindowA("DesktopsSelf", "", WS_OVERLAPPEDWINDOW, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
        StartDesktops();  // as the program starts: desktop 0, nothing followed, switches possible again
    }
    void TearDown() override
    {
        ShowAllSlots();
        Pump(50);
        FreeWindowRecords();
        DestroyWindow(self);
    }

    // A switch, then the program's loop for a moment: the other thread's answers come in.
    void Switch()
    {
        SwitchDesktop(self);
        Pump(50);
    }
    void SwitchTo(int desktop)
    {
        for (int i = 0; i < kDesktopCount && CurrentDesktop() != desktop; ++i) Switch();
    }
    static void MakeCurrent(HWND window)
    {
        SetForegroundWindow(window);
        ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == window; }));
        RecordCurrentWindow();
    }
    static std::string Name(HWND window)
    {
        char className[64], title[16];
        GetClassNameA(window, className, sizeof className);
        GetWindowTextA(window, title, sizeof title);
        return std::string(className) + " " + title;
    }
};

#define EXPECT_SHOWN(w) EXPECT_TRUE(Becomes(w, true)) << Name(w)
#define EXPECT_GONE(w) EXPECT_TRUE(Becomes(w, false)) << Name(w)

typedef HWND(WINAPI *FindWindowFn)(LPCSTR, LPCSTR);
FindWindowFn g_findWindow;
HWND g_taskbarHost;
HWND WINAPI FindTaskbarHost(LPCSTR className, LPCSTR title)
{
    return className && strcmp(className, "Shell_TrayWnd") == 0 ? g_taskbarHost : g_findWindow(className, title);
}

TEST_F(Desktops, FilterOnRealWindowsOfAnotherProcess)
{
    {
        // Vista and 7: the Start button is a top-level window of the taskbar's own thread.
        HelperWindows shell({"TaskbarHost", "StartButton"});
        g_taskbarHost = shell.Find("TaskbarHost");
        g_findWindow = (FindWindowFn)PatchImport("user32.dll", "FindWindowA", (void *)FindTaskbarHost);
        ASSERT_TRUE(g_findWindow != NULL);
        EXPECT_EQ(0, IsManageableWindow(shell.Find("StartButton")));
        PatchImport("user32.dll", "FindWindowA", (void *)g_findWindow);
        EXPECT_EQ(1, IsManageableWindow(shell.Find("StartButton")));
    }
    {
        // Class names are atoms that ignore case: while "Indicator" exists anywhere in the
        // session, "indicator" reads back as "Indicator". So this one stands alone.
        HelperWindows lowerCase({"indicator"});
        EXPECT_EQ(1, IsManageableWindow(lowerCase.Find("indicator")));
    }
    HelperWindows helper({"Indicator", "WorkerW", "Shell_Tray", "Worker", "ProgmanX", "Notepadish",
                          "ALongClassNameOfMoreThan31Characters", "Shell_SecondaryTrayWnd",
                          "NotifyIconOverflowWindow", "NotifyIconOverflow"});
    struct { const char *className; int manageable; } cases[] = {
        {"Indicator", 0}, {"WorkerW", 0}, {"Shell_Tray", 0}, {"Worker", 0}, {"ProgmanX", 1},
        {"Notepadish", 1}, {"ALongClassNameOfMoreThan31Characters", 1}, {"Shell_SecondaryTrayWnd", 0},
        {"NotifyIconOverflowWindow", 0}, {"NotifyIconOverflow", 1}};  // newer shells' hosts: whole names
    for (const auto &c : cases) {
        HWND window = helper.Find(c.className);
        ASSERT_TRUE(window != NULL) << c.className;
        EXPECT_EQ(c.manageable, IsManageableWindow(window)) << c.className;
    }
    HWND shown = helper.Find("Notepadish");
    ShowWindow(shown, SW_HIDE);
    EXPECT_EQ(0, IsManageableWindow(shown));  // the style bit decides
    ShowWindow(shown, SW_SHOW);
    EXPECT_EQ(0, IsManageableWindow(FindWindowA("Shell_TrayWnd", NULL)));
    EXPECT_EQ(0, IsManageableWindow((HWND)(ULONG_PTR)0x7ff00));  // no window at all
}

// Two programs' windows stacked in turn: each program carries out its requests in its own time,
// and the desktop comes back with the same window in front.
TEST_F(Desktops, ARoundOfFourSwitchesGivesBackTheWindowsAndTheFront)
{
    HelperWindows alpha({"Alpha*3", "WorkerW", "Indicator"}), beta({"Beta*3"});
    const HWND stack[] = {beta.Find("Beta", 2), alpha.Find("Alpha", 2), beta.Find("Beta", 1),
                          alpha.Find("Alpha", 0), beta.Find("Beta", 0), alpha.Find("Alpha", 1)};
    for (HWND w : stack)  // the last raised ends on top, and is brought to the front
        SetWindowPos(w, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetForegroundWindow(stack[5]);
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == stack[5]; }));
    RecordCurrentWindow();  // as the pointer passes over the icon, and the click brings the taskbar forward
    HWND taskbar = FindWindowA("Shell_TrayWnd", NULL);
    SetForegroundWindow(taskbar);
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == taskbar; }));
    Switch();
    EXPECT_EQ(1, CurrentDesktop());
    for (HWND w : stack) EXPECT_GONE(w);
    // Desktop 1 is empty: the foreground goes to the shell's desktop, never stays on our
    // invisible window, where Alt+F4 would end the program.
    EXPECT_TRUE(WaitUntil([&] { Pump(0); return GetForegroundWindow() == ShellDesktop(); })) << Name(GetForegroundWindow());
    EXPECT_TRUE(IsWindowVisible(alpha.Find("WorkerW")));
    EXPECT_TRUE(IsWindowVisible(alpha.Find("Indicator")));
    for (int i = 0; i < 2; ++i) {
        Switch();
        for (HWND w : stack) EXPECT_FALSE(IsWindowVisible(w)) << Name(w) << " on desktop " << CurrentDesktop();
    }
    Switch();
    EXPECT_EQ(0, CurrentDesktop());
    for (HWND w : stack) EXPECT_SHOWN(w);
    EXPECT_TRUE(WaitUntil([&] {
        Pump(0);
        return GetForegroundWindow() == stack[5];
    })) << Name(GetForegroundWindow());
    // (The z-order is Wine's here: it may restack windows of two programs as they are shown, even
    // one raised by the activation, and a bare loop of the same requests as well; Windows keeps
    // the place of a window shown with SWP_NOZORDER. The benchmark reads the order.)
    EXPECT_TRUE(alpha.Lines("SC_CLOSE").empty());
}

TEST_F(Desktops, StashedWindowsComeBackTogetherOnTheDesktopInView)
{
    HelperWindows helper({"Beta*3"});
    HWND b0 = helper.Find("Beta", 0), b1 = helper.Find("Beta", 1), b2 = helper.Find("Beta", 2);
    StoreCurrentWindow(self);  // no current window: nothing
    MakeCurrent(b0);
    StoreCurrentWindow(self);
    MakeCurrent(b1);
    StoreCurrentWindow(self);
    StoreCurrentWindow(self);  // the current window was cleared
    EXPECT_GONE(b0);
    EXPECT_GONE(b1);
    EXPECT_TRUE(IsWindowVisible(b2));
    helper.ClearLog();
    RestoreStoredWindows(self);
    EXPECT_SHOWN(b0);
    EXPECT_SHOWN(b1);
    EXPECT_TRUE(WaitUntil([&] { return helper.Lines("SHOW").size() == 2; }));
    EXPECT_EQ((Lines{"Beta 1", "Beta 0"}), helper.Lines("SHOW"));  // the second stored first
    auto stacked = [&] {  // top first
        std::vector<HWND> order;
        for (HWND w = GetTopWindow(NULL); w; w = GetWindow(w, GW_HWNDNEXT))
            if (w == b0 || w == b1 || w == b2) order.push_back(w);
        return order;
    };
    EXPECT_TRUE(WaitUntil([&] { return stacked() == std::vector<HWND>{b0, b1, b2}; }));  // on top of what is in view
    helper.ClearLog();
    RestoreStoredWindows(self);
    Pump(200);
    EXPECT_TRUE(helper.Lines("SHOW").empty());

    // Stored on one desktop, restored on the next: it belongs to the desktop in view.
    int from = CurrentDesktop();
    MakeCurrent(b2);
    StoreCurrentWindow(self);
    Switch();
    EXPECT_GONE(b0);
    RestoreStoredWindows(self);
    EXPECT_SHOWN(b2);
    EXPECT_FALSE(IsWindowVisible(b0));
    SwitchTo(from);
    EXPECT_SHOWN(b0);
    EXPECT_GONE(b2);  // it went with the desktop it was restored on
}

// Hidden by a switch into a desktop that holds another program's window, then shown again by
// its own program there: it belongs to that desktop now, and to no other.
TEST_F(Desktops, AWindowItsProgramShowsAgainMovesToTheDesktopInViewAndNeverComesBackTwice)
{
    HelperWindows helper({"Kappa"}), other({"Lambda"});
    HWND kappa = helper.Find("Kappa"), lambda = other.Find("Lambda");
    ShowWindow(kappa, SW_HIDE);
    Switch();  // Lambda goes with desktop 0
    EXPECT_GONE(lambda);
    SwitchTo(3);
    ShowWindow(kappa, SW_SHOW);  // its program shows it on desktop 3
    Switch();
    EXPECT_GONE(kappa);
    EXPECT_SHOWN(lambda);
    ShowWindow(kappa, SW_SHOW);  // and again, on desktop 0
    Switch();
    EXPECT_GONE(kappa);
    EXPECT_GONE(lambda);
    SwitchTo(3);
    Pump(200);
    EXPECT_FALSE(IsWindowVisible(kappa));  // its record moved: desktop 3 no longer has it
    SwitchTo(0);
    EXPECT_SHOWN(kappa);
    EXPECT_SHOWN(lambda);
}

TEST_F(Desktops, AHungProgramHoldsUpNothingAndItsWindowEndsWhereTheSwitchesPutIt)
{
    HelperWindows hung({"Hung"}), calm({"Calm*2"});
    HWND h = hung.Find("Hung"), c0 = calm.Find("Calm", 0), c1 = calm.Find("Calm", 1);
    auto hang = [&] {
        PostMessageA(h, WM_APP + 1, 3000, 0);  // its thread takes no message for three seconds
        Sleep(100);
    };
    // Hung while in view: its hide waits, and the next switch leaves it with desktop 0.
    hang();
    DWORD start = GetTickCount();
    Switch();
    Switch();
    EXPECT_LT(GetTickCount() - start, 1500u);
    EXPECT_GONE(c0);
    EXPECT_GONE(c1);
    EXPECT_TRUE(IsWindowVisible(h));  // it has carried out nothing yet
    EXPECT_TRUE(Becomes(h, false, 6000));
    SwitchTo(0);
    EXPECT_SHOWN(h);
    EXPECT_SHOWN(c0);

    // Hung while hidden: shown with desktop 0 and taken along to desktop 1's leaving before it
    // ran again, it ends hidden with desktop 0.
    Switch();
    EXPECT_GONE(h);
    Pump(200);
    hang();
    SwitchTo(0);
    EXPECT_SHOWN(c0);
    Switch();
    EXPECT_GONE(c0);
    EXPECT_FALSE(IsWindowVisible(h));
    Sleep(3500);
    Pump(200);
    EXPECT_FALSE(IsWindowVisible(h));
    SwitchTo(0);
    EXPECT_SHOWN(h);
}

HWND g_refusing, g_cloaked;
BOOL WINAPI RefusingRequest(HWND window, HWND after, int x, int y, int width, int height, UINT flags)
{
    return window == g_refusing ? FALSE : SetWindowPos(window, after, x, y, width, height, flags);
}
HRESULT WINAPI CloakingWindowManager(HWND window, DWORD attribute, void *value, DWORD size)
{
    if (attribute != 14 || size != sizeof(DWORD)) return E_INVALIDARG;
    *(DWORD *)value = window == g_cloaked;
    return S_OK;
}

// Newer Windows: a window of a program with higher rights refuses our requests, and a cloaked
// one belongs to the system (the Start menu's host, another of its own virtual desktops).
TEST_F(Desktops, WindowsTheSystemKeepsFromUsAreNotOurs)
{
    HelperWindows helper({"Refuses", "Cloaked", "Mu"});
    g_refusing = helper.Find("Refuses");
    g_cloaked = helper.Find("Cloaked");
    HWND mu = helper.Find("Mu");
    const PlatformSeams real = g_seams;
    g_seams.setWindowPos = RefusingRequest;
    g_seams.dwmGetWindowAttribute = CloakingWindowManager;
    EXPECT_EQ(0, IsManageableWindow(g_cloaked));
    Switch();
    EXPECT_GONE(mu);
    EXPECT_TRUE(IsWindowVisible(g_refusing) && IsWindowVisible(g_cloaked));
    EXPECT_EQ(nullptr, FindHiddenWindow(*Followed(), (uintptr_t)g_refusing));  // no record waits
    ClearCurrentDesktop();
    SwitchTo(0);
    EXPECT_SHOWN(mu);
    g_seams = real;
    Pump(200);
    EXPECT_EQ(Lines{"Refuses 0"}, helper.Lines("SC_CLOSE"));
}

TEST_F(Desktops, ClosingAsksExactlyTheVisibleManageableWindows)
{
    HelperWindows helper({"Gamma*2", "Delta", "WorkerW", "Shell_Tray"});
    HWND delta = helper.Find("Delta");
    MakeCurrent(delta);
    Switch();  // Gamma and Delta now wait on desktop 0
    HWND g0 = helper.Find("Gamma", 0), g1 = helper.Find("Gamma", 1);
    EXPECT_GONE(g1);
    ShowWindow(g0, SW_SHOW);  // a window its program shows again is on the desktop in view
    ClearCurrentDesktop();
    ASSERT_TRUE(WaitUntil([&] { return helper.Lines("SC_CLOSE").size() >= 1; }));
    Sleep(200);
    EXPECT_EQ((Lines{"Gamma 0"}), helper.Lines("SC_CLOSE"));
    helper.ClearLog();
    CloseCurrentWindow();  // Delta is hidden now: it fails the filter, nothing is posted
    Sleep(200);
    EXPECT_TRUE(helper.Lines("SC_CLOSE").empty());
    CloseCurrentWindow();  // and the current window was cleared all the same
    SwitchTo(0);
    EXPECT_SHOWN(delta);
    MakeCurrent(delta);
    CloseCurrentWindow();
    ASSERT_TRUE(WaitUntil([&] { return !helper.Lines("SC_CLOSE").empty(); }));
    EXPECT_EQ((Lines{"Delta 0"}), helper.Lines("SC_CLOSE"));
}

// A busy program on Windows: our requests to its windows wait in its queue while it answers sent
// messages at once. Held here, then carried out in order, each change reported as Windows 2000
// and later report it (where report is set).
std::vector<std::pair<HWND, UINT>> g_held;
DWORD g_busyProcess;
WINEVENTPROC g_reportChange;
BOOL WINAPI HoldRequest(HWND window, HWND after, int x, int y, int width, int height, UINT flags)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != g_busyProcess) return SetWindowPos(window, after, x, y, width, height, flags);
    g_held.push_back({window, flags});
    return TRUE;
}
HWINEVENTHOOK WINAPI TakeEventProcedure(DWORD, DWORD, HMODULE, WINEVENTPROC procedure, DWORD, DWORD, DWORD)
{
    g_reportChange = procedure;
    return (HWINEVENTHOOK)1;
}
void CarryOutHeld(bool report)
{
    for (auto [window, flags] : g_held) {
        BOOL was = IsWindowVisible(window);
        SetWindowPos(window, NULL, 0, 0, 0, 0, flags & ~SWP_ASYNCWINDOWPOS);
        if (report && IsWindowVisible(window) != was)
            g_reportChange((HWINEVENTHOOK)1, was ? EVENT_OBJECT_HIDE : EVENT_OBJECT_SHOW, window, OBJID_WINDOW,
                           CHILDID_SELF, 0, GetTickCount());
    }
    g_held.clear();
}

// A quick round of four switches, and a clear, while a busy program's hides are held back long
// after it has answered: nothing takes the answer, or the time, for the hide. Its windows end
// home, nothing sent away is asked to close, and every record settles, reported or not: a window
// its program shows on the next desktop then goes with that desktop, and comes back only with it.
TEST_F(Desktops, HeldBackRequestsEndWithEveryWindowHomeAndAClearClosesNothingSentAway)
{
    HelperWindows busy({"Busy*2"}), calm({"Calm"});
    HWND b0 = busy.Find("Busy", 0), b1 = busy.Find("Busy", 1), c = calm.Find("Calm");
    GetWindowThreadProcessId(b0, &g_busyProcess);
    const PlatformSeams real = g_seams;
    g_seams.setWinEventHook = TakeEventProcedure;
    StopFollowing();  // the fixture's start listened to the platform itself
    StartFollowing();
    for (bool report : {true, false}) {
        g_seams.setWindowPos = HoldRequest;
        Switch();
        EXPECT_GONE(c);
        Pump(1500);  // its thread answered long since
        CheckShownWindows();
        EXPECT_TRUE(IsWindowVisible(b0) && IsWindowVisible(b1));
        ClearCurrentDesktop();
        SwitchTo(0);
        CarryOutHeld(report);
        g_seams.setWindowPos = real.setWindowPos;
        Pump(300);
        CheckShownWindows();
        for (HWND w : {b0, b1, c}) EXPECT_SHOWN(w);
        EXPECT_EQ(0, AnyOnTheWay(*Followed())) << report;
        Switch();  // and they go with desktop 0 as ever
        for (HWND w : {b0, b1, c}) EXPECT_GONE(w);
        if (report) {
            SwitchTo(0);
            continue;
        }
        ShowWindow(b0, SW_SHOW);  // by its program, on desktop 1
        Pump(300);
        CheckShownWindows();
        Switch();
        EXPECT_GONE(b0);
        busy.ClearLog();
        SwitchTo(0);
        EXPECT_TRUE(WaitUntil([&] { return busy.Lines("SHOW") == Lines{"Busy 1"}; })) << busy.Log();
        SwitchTo(1);
        EXPECT_SHOWN(b0);
    }
    EXPECT_TRUE(busy.Lines("SC_CLOSE").empty());
    g_seams = real;
    StopFollowing();
}

BOOL WINAPI RefuseForeground(HWND)
{
    return FALSE;  // as the foreground lock of Windows 2000 and later refuses a program in the background
}

// After a store or a switch the foreground is on a window in view, never on one that no longer
// shows; where our own call for it is refused, the window in front hands it on as it hides.
TEST_F(Desktops, NoHiddenWindowKeepsTheForeground)
{
    HelperWindows helper({"Rho*3"});
    HWND r0 = helper.Find("Rho", 0), r1 = helper.Find("Rho", 1), r2 = helper.Find("Rho", 2);
    auto inView = [] {
        Pump(0);
        HWND foreground = GetForegroundWindow();
        return !foreground || IsWindowVisible(foreground);
    };
    MakeCurrent(r0);
    StoreCurrentWindow(self);
    EXPECT_GONE(r0);
    EXPECT_TRUE(WaitUntil(inView)) << Name(GetForegroundWindow());
    const PlatformSeams real = g_seams;
    g_seams.setForegroundWindow = RefuseForeground;
    MakeCurrent(r2);
    StoreCurrentWindow(self);
    EXPECT_GONE(r2);
    EXPECT_TRUE(WaitUntil(inView)) << Name(GetForegroundWindow());
    MakeCurrent(r1);
    Switch();
    EXPECT_GONE(r1);
    EXPECT_TRUE(WaitUntil(inView)) << Name(GetForegroundWindow());
    g_seams = real;
}

// With windows of two programs, the second busy: the window in front hides itself only once the
// other program's windows are hidden, so Windows' walk to the next window cannot hand the keys to
// one of them that is hidden afterwards.
TEST_F(Desktops, ARefusedForegroundWithTwoProgramsLeavesTheKeysOnNoHiddenWindow)
{
    HelperWindows one({"Phi*2"}), two({"Chi*3"});
    HWND front = one.Find("Phi", 0), busy = two.Find("Chi", 0);
    std::vector<HWND> all = one.All(), others = two.All();
    all.insert(all.end(), others.begin(), others.end());
    for (HWND w : others) SetWindowPos(w, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    MakeCurrent(front);
    const PlatformSeams real = g_seams;
    g_seams.setForegroundWindow = RefuseForeground;
    PostMessageA(busy, WM_APP + 1, 400, 0);  // its thread takes no message for 0.4 s
    Sleep(50);
    Switch();
    for (HWND w : all) EXPECT_GONE(w);
    Pump(1500);
    HWND foreground = GetForegroundWindow();
    EXPECT_TRUE(!foreground || IsWindowVisible(foreground)) << Name(foreground);
    g_seams = real;
}

// The stash comes back in the order it was stored, the first stored in front, though the later
// stored one's program is busy and raises it last.
TEST_F(Desktops, TheStashComesBackInItsOrderWhateverEachProgramsSpeed)
{
    HelperWindows quick({"Quick"}), slow({"Slow"});
    HWND q = quick.Find("Quick"), w = slow.Find("Slow");
    MakeCurrent(q);
    StoreCurrentWindow(self);
    MakeCurrent(w);
    StoreCurrentWindow(self);
    EXPECT_GONE(q);
    EXPECT_GONE(w);
    PostMessageA(w, WM_APP + 1, 1500, 0);  // its thread takes no message for 1.5 s
    Sleep(100);
    SetForegroundWindow(self);  // where the tray menu leaves it
    RestoreStoredWindows(self);
    EXPECT_SHOWN(q);
    EXPECT_TRUE(Becomes(w, true));
    auto stacked = [&] {
        std::vector<HWND> order;
        for (HWND x = GetTopWindow(NULL); x; x = GetWindow(x, GW_HWNDNEXT))
            if (x == q || x == w) order.push_back(x);
        return order;
    };
    EXPECT_TRUE(WaitUntil([&] { Pump(0); return stacked() == std::vector<HWND>{q, w}; }));
    EXPECT_EQ(q, GetForegroundWindow()) << Name(GetForegroundWindow());
}

// Windows that serve every desktop (here one always on top that takes no activation, as the
// on-screen keyboard) stay in view through a switch, a store and a clear, and never take the
// focus; a palette of the same kind owned by a window goes with it. After a store the focus goes to
// the ordinary window below, before one always on top.
TEST_F(Desktops, WindowsThatServeEveryDesktopStayInViewAndTheFocusGoesWhereKeysCanBeTyped)
{
    HelperWindows helper({"Sigma", "TopNoActivateBar", "OwnedTopNoActivatePalette", "TopClock", "Tau"});
    HWND sigma = helper.Find("Sigma"), bar = helper.Find("TopNoActivateBar"),
         palette = helper.Find("OwnedTopNoActivatePalette"), clock = helper.Find("TopClock"), tau = helper.Find("Tau");
    ASSERT_EQ(sigma, GetWindow(palette, GW_OWNER));
    SetWindowPos(sigma, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    MakeCurrent(sigma);
    StoreCurrentWindow(self);
    EXPECT_GONE(sigma);
    EXPECT_TRUE(WaitUntil([&] { Pump(0); return GetForegroundWindow() == tau; })) << Name(GetForegroundWindow());
    RestoreStoredWindows(self);
    EXPECT_SHOWN(sigma);
    MakeCurrent(sigma);
    Switch();
    for (HWND w : {sigma, palette, clock, tau}) EXPECT_GONE(w);
    EXPECT_TRUE(IsWindowVisible(bar));
    EXPECT_TRUE(WaitUntil([&] { Pump(0); return GetForegroundWindow() == ShellDesktop(); })) << Name(GetForegroundWindow());
    ClearCurrentDesktop();
    SwitchTo(0);
    for (HWND w : {sigma, palette, clock, tau}) EXPECT_SHOWN(w);
    EXPECT_TRUE(IsWindowVisible(bar));
    Pump(200);
    EXPECT_TRUE(helper.Lines("SC_CLOSE").empty());
}

BOOL CALLBACK CollectManageable(HWND window, LPARAM list)
{
    if (IsManageableWindow(window)) ((std::set<HWND> *)list)->insert(window);
    return TRUE;
}

// The switch meets the windows in z-order, which activations may change up to the last moment:
// which two got records is the switch's to say, but exactly two, and all the rest stay in view.
TEST_F(Desktops, AllocationFailureEndsTheSwitchAtThatWindow)
{
    HelperWindows helper({"Eps*4"});
    std::set<HWND> manageable;  // other programs' windows included
    EnumWindows(CollectManageable, (LPARAM)&manageable);
    ASSERT_GE(manageable.size(), 4u);
    static int calls;
    calls = 0;
    g_allocRecord = [](size_t size) -> void * { return ++calls == 3 ? nullptr : malloc(size); };
    Switch();
    g_allocRecord = malloc;
    EXPECT_EQ(1, CurrentDesktop());
    std::set<HWND> hidden;
    WaitUntil([&] {
        hidden.clear();
        for (HWND w : manageable)
            if (!IsWindowVisible(w)) hidden.insert(w);
        return hidden.size() >= 2;
    });
    Pump(200);
    for (HWND w : manageable)
        EXPECT_EQ(hidden.count(w) == 0, IsWindowVisible(w) != FALSE) << Name(w);
    ASSERT_EQ(2u, hidden.size());
    SwitchTo(0);  // the rest went on with desktop 1
    for (HWND w : manageable) EXPECT_TRUE(Becomes(w, hidden.count(w) != 0)) << Name(w);
    SwitchTo(1);
    for (HWND w : manageable) EXPECT_TRUE(Becomes(w, hidden.count(w) == 0)) << Name(w);
}

}  // namespace
