// The desktops' decisions against a model of other programs' threads, on the three platforms
// that differ: Windows 2000 and later (a thread takes sent messages before its queued requests,
// and the platform reports every show and hide), Windows NT 4 (the same order, no reports) and
// Wine (requests are sent messages, carried out in order with the others; no reports). A busy
// thread, waiting inside its own SendMessage, answers at once and carries out nothing.
#include <gtest/gtest.h>
#include <deque>
#include <map>
#include <set>
#include <string.h>
#include <string>
#include <vector>
#include "../../src/desktops/following.h"

namespace {

enum Platform { kWindows2000, kWindowsNt4, kWine };

struct ModelWindow {
    uint32_t thread;
    bool visible;
};
struct Item {
    bool answer;
    uintptr_t window;
    int toAsk;
};

// Other programs: their windows and each thread's queue; our side: the records, the desktop in
// view, the clock and the looks it has planned.
struct Model {
    Platform platform = kWindows2000;
    std::map<uintptr_t, ModelWindow> windows;
    std::map<uint32_t, std::deque<Item>> queues;
    std::map<uint32_t, uint32_t> busyUntil, hungUntil;
    std::set<uintptr_t> refusing;
    std::map<uint32_t, int> failingAnswers, answersAsked;
    std::vector<std::pair<uintptr_t, bool>> events;
    std::vector<uintptr_t> closed;
    HiddenWindow *list = nullptr;
    int desktop = 0;
    uint32_t now = 0, nextLook = 0;
    int looks = 0;
} g;

WindowIdentity IdentityOf(uintptr_t window)
{
    WindowIdentity identity = {};
    identity.processId = g.windows[window].thread + 1000;
    identity.threadId = g.windows[window].thread;
    strcpy(identity.className, "Model");
    return identity;
}
int IsSame(uintptr_t window, const WindowIdentity &identity)
{
    return g.windows.count(window) && SameIdentity(IdentityOf(window), identity);
}
int IsShown(uintptr_t window) { return g.windows.count(window) && g.windows[window].visible; }
int Ask(uintptr_t window, int toAsk)
{
    if (g.refusing.count(window)) return 0;
    g.queues[g.windows[window].thread].push_back({false, window, toAsk});
    return 1;
}
int AskForAnswer(uintptr_t window)
{
    const uint32_t thread = g.windows[window].thread;
    ++g.answersAsked[thread];
    if (g.failingAnswers[thread] > 0 && g.failingAnswers[thread]--) return 0;
    g.queues[g.windows[window].thread].push_back({true, window, 0});
    return 1;
}
const WindowWorld kModel = {IsSame, IsShown, Ask, AskForAnswer};

// The window's state changes, by a request or by its own program; the platform may report it.
void Set(uintptr_t window, bool visible)
{
    if (g.windows[window].visible == visible) return;
    g.windows[window].visible = visible;
    if (g.platform == kWindows2000) g.events.push_back({window, visible});
}

// One step of every thread that runs; an answer reaches our side at once, an event at the end.
void ThreadsRun()
{
    for (auto &[thread, queue] : g.queues) {
        if (g.hungUntil[thread] > g.now) continue;
        std::deque<Item> items, held;
        items.swap(queue);
        bool busy = g.busyUntil[thread] > g.now;
        for (const Item &i : items) {
            if (i.answer) ThreadAnswered(&g.list, thread, kModel);
            else if (g.platform == kWine) Set(i.window, i.toAsk != kAskHide);  // in order with the answers
            else held.push_back(i);
        }
        for (const Item &i : held)  // after the answers, and only by a thread that is not busy
            if (busy) queue.push_back(i);
            else Set(i.window, i.toAsk != kAskHide);
    }
    for (auto [window, shown] : g.events) WindowChanged(&g.list, window, shown, kModel);
    g.events.clear();
}

// Our side's time passes in steps of 10 ms: the poll while a request is on the way, the tick.
void Pass(uint32_t ms)
{
    for (uint32_t t = 0; t < ms; t += 10) {
        g.now += 10;
        ThreadsRun();
        if (g.now % 1000 == 0) LookAtAll(&g.list, kModel);
        if (AnyOnTheWay(g.list) && g.now >= g.nextLook) {
            LookAtTheWaiting(&g.list, kModel);
            g.nextLook = g.now + NextLookMs(++g.looks);
        }
    }
}

// Busy inside its own SendMessage until then: on Windows it answers and carries out nothing;
// under Wine our requests are sent messages too, so the nearest is a thread that takes none.
void Busy(uint32_t thread, uint32_t until)
{
    (g.platform == kWine ? g.hungUntil : g.busyUntil)[thread] = until;
}

// A switch as the program makes it, the window front in front; returns the front window of the
// desktop now in view.
uintptr_t Switch(uintptr_t front = 0)
{
    for (auto &[window, w] : g.windows) {
        HiddenWindow *r = RecordOf(&g.list, window, kModel);
        if (GoesWithTheDesktop(r, w.visible))
            TakeIntoSlot(&g.list, window, r ? r->identity : IdentityOf(window), w.visible, g.desktop, window == front);
    }
    g.desktop = (g.desktop + 1) % kDesktopCount;
    uintptr_t inFront = BringSlotIntoView(&g.list, g.desktop, 0, kModel);
    MakeRequests(&g.list, kModel);
    LookAtTheWaiting(&g.list, kModel);
    g.looks = 0;
    g.nextLook = g.now + NextLookMs(0);
    return inFront;
}

void Clear()
{
    for (auto &[window, w] : g.windows)
        if (MayCloseInView(RecordOf(&g.list, window, kModel), w.visible)) g.closed.push_back(window);
}

std::string Visible()
{
    std::string v;
    for (auto &[window, w] : g.windows) v += w.visible ? '1' : '0';
    return v;
}

std::string SlotOf(uintptr_t window)
{
    HiddenWindow *r = FindHiddenWindow(g.list, window);
    return r ? std::to_string(r->slot) : "none";
}

class Following : public ::testing::TestWithParam<Platform> {
protected:
    void SetUp() override
    {
        g = Model();
        g.platform = GetParam();
        // Windows 1, 2 of thread 10; 3 of thread 20; 4 of thread 30.
        for (auto [window, thread] : {std::pair<uintptr_t, uint32_t>{1, 10}, {2, 10}, {3, 20}, {4, 30}})
            g.windows[window] = {thread, true};
    }
    void TearDown() override { ForgetAll(&g.list); }
    // Each window shows what it was last asked, and each record knows it; but on Windows NT 4,
    // where nothing reports a change, not after two requests carried out between two looks.
    void ExpectSettled(const char *visible, bool twoRequestsQueued = false)
    {
        EXPECT_EQ(visible, Visible());
        if (!twoRequestsQueued || g.platform != kWindowsNt4) {
            EXPECT_EQ(0, AnyOnTheWay(g.list)) << "platform " << g.platform;
        }
    }
};

TEST_P(Following, ASwitchIntoAnEmptyAndIntoAFullDesktopEndsAsAskedAndSettlesEveryRecord)
{
    EXPECT_EQ(0u, Switch(3));  // into an empty desktop
    Pass(2000);
    ExpectSettled("0000");
    g.windows[5] = {40, true};  // a window opened on desktop 1
    Switch();
    Switch();
    EXPECT_EQ(3u, Switch());  // back into desktop 0, the front window as it was
    Pass(2000);
    ExpectSettled("11110");
    EXPECT_EQ("1", SlotOf(5));
    EXPECT_EQ("none", SlotOf(3));  // seen in view: no longer ours
}

// A busy program's hides are still queued: a clear closes none of its windows, which belong to
// desktop 0 already, and three more clicks bring them home, since every request is asked at once
// and queues behind the last; none is taken for done early.
TEST_P(Following, QueuedHidesAreNeitherClosedNorTakenForDoneAndAQuickRoundTripBringsEveryWindowHome)
{
    Busy(10, 3000);
    Switch();
    Pass(1500);
    g.windows[5] = {40, true};  // opened on desktop 1
    Clear();
    EXPECT_EQ(std::vector<uintptr_t>{5}, g.closed);
    for (int i = 0; i < 3; ++i) {
        Switch();
        Pass(50);
    }
    Pass(500);
    EXPECT_EQ("11110", Visible());
    Pass(3000);
    ExpectSettled("11110", true);
    Switch();
    Pass(2000);
    ExpectSettled("00001", true);
}

// Hidden with desktop 0, then shown again by its own program on desktop 1: it belongs there now.
TEST_P(Following, AWindowItsProgramShowsAgainJoinsTheDesktopInView)
{
    Switch();
    Pass(1000);
    Set(2, true);
    Pass(1000);
    Clear();
    EXPECT_EQ(std::vector<uintptr_t>{2}, g.closed);
    Switch();
    Pass(1000);
    ExpectSettled("0000");
    EXPECT_EQ("1", SlotOf(2));
    Switch();
    Switch();
    Pass(1000);
    ExpectSettled("1011");
    Switch();
    Pass(1000);
    ExpectSettled("0100");
    // Window 3 is gone and its handle now belongs to another program's window on desktop 1: the
    // old record is not its record.
    g.windows[3] = {50, true};
    for (int i = 0; i < 3; ++i) Switch();
    Pass(2000);
    ExpectSettled("1001");
    EXPECT_EQ("1", SlotOf(3));
}

// A hung program answers nothing and carries out nothing: switches go on, and its window ends
// where the last request put it, however long it takes.
TEST_P(Following, AHungProgramsWindowEndsWhereTheLastRequestPutIt)
{
    g.hungUntil[20] = 5000;
    Switch();
    Pass(500);
    Switch();  // its hide is still queued: it stays with desktop 0
    Pass(6000);
    ExpectSettled("0000");
    EXPECT_EQ("0", SlotOf(3));
    g.hungUntil[20] = g.now + 4000;  // hung while its desktop comes back
    Switch();
    Switch();
    Pass(400);
    EXPECT_EQ("1101", Visible());
    Switch();  // taken along before it ran again: it ends hidden with desktop 0
    Pass(5000);
    ExpectSettled("0000", true);
    EXPECT_EQ("0", SlotOf(3));
}

// A window the system keeps from us refuses the request: no record waits for it. A message that
// could not be sent to ask a thread for an answer is sent again later.
TEST_P(Following, ARefusedRequestKeepsNoRecordAndAnAnswerThatCouldNotBeAskedForIsAskedAgain)
{
    g.refusing.insert(4);
    g.failingAnswers[10] = 1;
    Switch();
    EXPECT_EQ("none", SlotOf(4));
    Switch();
    EXPECT_EQ(2, g.answersAsked[10]);
    Pass(1000);
    ExpectSettled("0001");
}

INSTANTIATE_TEST_SUITE_P(ThreePlatforms, Following, ::testing::Values(kWindows2000, kWindowsNt4, kWine),
                         [](const ::testing::TestParamInfo<Platform> &info) {
                             return info.param == kWindows2000 ? "Windows2000" : info.param == kWindowsNt4 ? "WindowsNt4" : "Wine";
                         });

// What a look at a window tells, given what was asked and how many changes are still owed; and
// what a new request owes: one change more behind one on the way, nothing new where the same is
// on the way, and nothing where the window shows it already (it is asked all the same).
TEST(FollowRules, OnlyWhatTheWindowDoesSettlesARequest)
{
    struct { int asked, owed, seen, shown, want; Sighting sighting; int askedAfter, owedAfter; } rows[] = {
        {0, 1, 1, 1, -1, kStillOnTheWay, 0, 1},      {0, 1, 1, 0, -1, kCarriedOut, kSettled, 0},
        {1, 2, 1, 0, -1, kStillOnTheWay, 1, 1},      {1, 2, 1, 1, -1, kStillOnTheWay, 1, 2},  // its hide first
        {1, 1, 0, 1, -1, kCarriedOut, kSettled, 0},  {kSettled, 0, 0, 0, -1, kSettledAlready, kSettled, 0},
        {kSettled, 0, 0, 1, -1, kChangedByItsProgram, kSettled, 0},
        {0, 1, 1, 1, 1, kStillOnTheWay, 1, 2},       {0, 1, 1, 1, 0, kStillOnTheWay, 0, 1},
        {kSettled, 0, 1, 1, 1, kSettledAlready, kSettled, 0}, {kSettled, 0, 1, 1, 0, kSettledAlready, 0, 1}};
    for (const auto &r : rows) {
        HiddenWindow w = {};
        w.asked = r.asked;
        w.changesOwed = r.owed;
        w.seenShown = r.seen;
        EXPECT_EQ(r.sighting, See(&w, r.shown)) << &r - rows;
        if (r.want >= 0) Want(&w, r.want, kAskShow);
        EXPECT_EQ(r.askedAfter, w.asked) << &r - rows;
        EXPECT_EQ(r.owedAfter, w.changesOwed) << &r - rows;
    }
    EXPECT_EQ(kLeaveForeground, FrontAfterShowing(0, 0, kFrontInView));
    EXPECT_EQ(kWaitForFront, FrontAfterShowing(1, 1, kFrontInView));  // a menu of ours is open
    EXPECT_EQ(kWaitForFront, FrontAfterShowing(1, 0, kFrontOnTheWay));
    EXPECT_EQ(kBringFrontForward, FrontAfterShowing(1, 0, kFrontInView));
    EXPECT_EQ(kGiveToShellDesktop, FrontAfterShowing(1, 0, kNoFront));
}

}  // namespace
