// Schemes firing in the running program: the tick, the countdown dialog and its outcomes, with
// counters that the test sets.
#include <gtest/gtest.h>
#include "harness.h"
#include <commctrl.h>
#include "../../src/app/app_main.h"
#include "../../src/app/app_state.h"
#include "../../src/companion/companion.h"
#include "../../src/res/resource.h"
#include "../../src/schemes/scheme.h"
#include "../../src/tray/commands.h"
#include "../../src/tray/popup_menu.h"

namespace {

Counters g_counters = {600, 0, 0, 0};  // 00:10:00
volatile LONG g_starts;

unsigned __cdecl FakeGetTime(Counters *buffer)
{
    if (!buffer) {
        InterlockedIncrement(&g_starts);
        return 1;
    }
    *buffer = g_counters;
    return 1;
}

// A time-of-day scheme due at 00:10.
std::string Record(const char *name, unsigned char action, unsigned char delay, unsigned char once = 0)
{
    std::string r(80, '\0');
    memcpy(&r[0], name, strlen(name));
    r[52] = 10;
    r[56] = (char)action;
    r[60] = (char)delay;
    r[68] = (char)once;
    return r;
}

const std::string kNoForce(4, '\0');

class Scheduler : public ::testing::Test {
protected:
    SeamRecorder seams;
    void SetUp() override
    {
        SetPendingExitFlags(kNoExitPending);
        g_counters = Counters{600, 0, 0, 0};
        g_starts = 0;
    }
    void TearDown() override { DeleteFileA(SchemeFilePath().c_str()); }

    // Runs the program on the given scheme file with the test's counters.
    void Run(const std::string &file, const std::function<void(HWND)> &script)
    {
        WriteFileBytes(SchemeFilePath(), file);
        RunDriven([] { AppMain(GetModuleHandleA(NULL)); }, [&] {
            HWND main = WaitForWindow("TRELLITH15", "Trellith");
            ASSERT_TRUE(main != NULL);
            SetCompanionEntries(FakeGetTime, NULL);
            script(main);
        });
    }
    static HWND Countdown(DWORD timeoutMs = 4000) { return WaitForWindow("#32770", NULL, timeoutMs); }
    static std::string Text(HWND dialog, int control)
    {
        char text[64] = "";
        GetDlgItemTextA(dialog, control, text, sizeof text);
        return text;
    }
    static bool SettingsEnabled() { return !(GetMenuState(PopupMenu(), IDM_TIMER_SETTINGS, MF_BYCOMMAND) & MF_DISABLED); }
};

TEST_F(Scheduler, BellCountsDownRingsAndClosesItselfThenTheNextDueSchemeFiresAndRingsOnce)
{
    Run(Record("响铃一", 0, 2) + Record("响铃二", 0, 0) + kNoForce, [&](HWND main) {
        HWND dialog = Countdown();
        ASSERT_TRUE(dialog != NULL);
        EXPECT_EQ("响铃一", Text(dialog, IDC_COUNTDOWN_NAME));
        EXPECT_FALSE(SettingsEnabled());
        EXPECT_TRUE(WaitUntil([&] { return Text(dialog, IDC_COUNTDOWN_REMAINING) == "00分01秒"; }));
        EXPECT_EQ(50, SendDlgItemMessageA(dialog, IDC_COUNTDOWN_PROGRESS, PBM_GETPOS, 0, 0));
        // While it counts down no tick runs: the second scheme, due as well, waits, even for a
        // tick posted from outside; and the settings, which would free schemes, do not open.
        PostMessageA(main, WM_TIMER, TIMER_ID, 0);
        PostMessageA(main, WM_COMMAND, IDM_TIMER_SETTINGS, 0);
        Sleep(300);
        EXPECT_EQ(dialog, Countdown(0));
        EXPECT_EQ(NULL, WaitForWindow("#32770", "定时器设置", 0));
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, 4000));
        ASSERT_GE(seams.beeps.size(), 6u);
        EXPECT_EQ((std::pair<DWORD, DWORD>(1000, 100)), seams.beeps[0]);
        EXPECT_EQ((std::pair<DWORD, DWORD>(1500, 100)), seams.beeps[1]);
        EXPECT_EQ((std::pair<DWORD, DWORD>(2000, 150)), seams.beeps[2]);
        EXPECT_TRUE(IsWindow(main));  // a bell leaves the program running
        HWND second = Countdown();
        ASSERT_TRUE(second != NULL);
        EXPECT_EQ("响铃二", Text(second, IDC_COUNTDOWN_NAME));
        const size_t rung = seams.beeps.size();
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(second); }));
        EXPECT_EQ(rung + 3, seams.beeps.size());  // no delay: the three tones once, as it closes
        EXPECT_TRUE(WaitUntil([&] { return SettingsEnabled(); }));
        Sleep(1500);  // both have fired: nothing more opens
        EXPECT_EQ(NULL, Countdown(0));
        PostMessageA(main, WM_CLOSE, 0, 0);
    });
    EXPECT_TRUE(seams.exitFlags.empty());
}

TEST_F(Scheduler, EscapeEndsALogOffCountdownWithNothingPendingAndOnceMeansSuspended)
{
    Run(Record("注销", 1, 30, 1) + kNoForce, [&](HWND main) {
        HWND dialog = Countdown();
        ASSERT_TRUE(dialog != NULL);
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);  // Enter does nothing
        Sleep(300);
        EXPECT_TRUE(IsWindow(dialog));
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
        EXPECT_TRUE(WaitUntil([&] { return SettingsEnabled(); }));
        EXPECT_TRUE(IsWindow(main));
        PostMessageA(main, WM_CLOSE, 0, 0);
    });
    EXPECT_TRUE(seams.exitFlags.empty());
    std::string saved = ReadFileBytes(SchemeFilePath());
    ASSERT_EQ(84u, saved.size());
    EXPECT_EQ(1, saved[64]);  // suspended after its one run, though cancelled
    EXPECT_EQ(1, saved[72]);  // written as held; the next load clears it
}

TEST_F(Scheduler, OutcomesThatEndTheProgram)
{
    struct { unsigned char action; std::vector<UINT> requests; } cases[] = {{1, {0x10}}, {2, {0x12}}, {3, {0x19}}, {4, {}}};  // EWX_FORCEIFHUNG
    for (const auto &c : cases) {
        seams.exitFlags.clear();
        SetPendingExitFlags(kNoExitPending);
        Run(Record("end", c.action, 0) + kNoForce, [&](HWND main) {
            EXPECT_TRUE(WaitUntil([&] { return !IsWindow(main); }, 5000)) << "action " << (int)c.action;
        });
        EXPECT_EQ(c.requests, seams.exitFlags) << "action " << (int)c.action;
    }
}

// A countdown that ends in a session command Windows refuses says so too.
TEST_F(Scheduler, ACountdownEndingInARefusedSessionCommandSaysWhy)
{
    SeamRecorder::exitError = ERROR_PRIVILEGE_NOT_HELD;
    std::string text;
    Run(Record("end", 3, 0) + kNoForce, [&](HWND main) {
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(main); }, 5000));  // the countdown is over
        HWND box = WaitForWindow("#32770", "Trellith", 5000);
        ASSERT_TRUE(box != NULL);
        text = MessageBoxText(box);
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(0u, text.find("无法关机：")) << text;
}

TEST_F(Scheduler, AnInactiveCountdownShowsTheRemainingTimeInItsTitle)
{
    HelperWindows other({"Elsewhere"});
    Run(Record("title", 0, 20) + kNoForce, [&](HWND main) {
        HWND dialog = Countdown();
        ASSERT_TRUE(dialog != NULL);
        char title[64];
        SetForegroundWindow(other.Find("Elsewhere"));
        EXPECT_TRUE(WaitUntil([&] {
            GetWindowTextA(dialog, title, sizeof title);
            return strstr(title, "分") != NULL;
        })) << title;
        SetForegroundWindow(dialog);
        EXPECT_TRUE(WaitUntil([&] {
            GetWindowTextA(dialog, title, sizeof title);
            return strcmp(title, "Trellith") == 0;
        })) << title;
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        PostMessageA(main, WM_CLOSE, 0, 0);
    });
}

TEST_F(Scheduler, ALostReadingRestartsTheCountersAndEvaluatesNothing)
{
    g_counters.timeOfDay = 0;  // lost from the first tick on
    std::string dueAtMinuteZero = Record("never", 0, 0);
    dueAtMinuteZero[52] = 0;  // what a lost reading would count as, were it evaluated
    Run(dueAtMinuteZero + kNoForce, [&](HWND main) {
        LONG before = g_starts;
        Sleep(2500);
        EXPECT_GE(g_starts - before, 2);  // once a tick
        EXPECT_EQ(NULL, Countdown(0));
        PostMessageA(main, WM_CLOSE, 0, 0);
    });
}

}  // namespace
