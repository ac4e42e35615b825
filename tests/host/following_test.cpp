// The desktops' decisions against a model of other programs' threads, on the three platforms
// that differ: Windows 2000 and later (a thread takes sent messages before its queued requests,
// and the platform reports every show and hide), Windows NT 4 (the same order, no reports) and
// Wine (requests are sent messages, carried out in order with the others; no reports). A busy
// thread, waiting inside its own SendMessage, answers at once and carries out nothing. Thread 0
// is ours: a request to our own window is carried out inside the call, and reported there.
// Each scenario is judged, as Wine's conformance tests judge a step, by the requests it made (in
// order) and by what the windows show.
#include <gtest/gtest.h>
#include <algorithm>
#include <deque>
#include <map>
#include <set>
#include <sstream>
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
    int toAsk;  // a request, ours or (own) the program's
};
struct Event {
    uintptr_t window;
    bool shown;
    uint32_t ms;  // when it happened
};

// Other programs: their windows and each thread's queue; our side: the records, the desktop in
// view, the clock and the looks it has planned.
struct Model {
    Platform platform = kWindows2000;
    std::map<uintptr_t, ModelWindow> windows;
    std::map<uint32_t, std::deque<Item>> queues;
    std::map<uint32_t, uint32_t> busyUntil, hungUntil;
    std::set<uintptr_t> refusing;
    std::map<uint32_t, int> failingAnswers;
    std::vector<Event> events;
    std::vector<uintptr_t> closed;
    std::vector<std::string> requests;  // what our side asked, in order
    std::vector<std::string> readsAndRequests;  // the same, with each read of an identity
    std::map<uintptr_t, std::vector<uint32_t>> readAt;  // when each window was read
    HiddenWindow *list = nullptr;
    int desktop = 0;
    uint32_t now = 0, nextLook = 0;
    int looks = 0;
    bool ticks = true;
} g;

void Log(const std::string &request, bool done)
{
    g.requests.push_back(request + (done ? "" : " refused"));
}
std::vector<std::string> TakeRequests()
{
    std::vector<std::string> taken;
    taken.swap(g.requests);
    return taken;
}

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
    g.readsAndRequests.push_back("same? " + std::to_string(window));
    return g.windows.count(window) && SameIdentity(IdentityOf(window), identity);
}
int IsShown(uintptr_t window)
{
    g.readAt[window].push_back(g.now);
    return g.windows.count(window) && g.windows[window].visible;
}
void Set(uintptr_t window, bool visible, uint32_t ms = g.now);
int Ask(uintptr_t window, int toAsk)
{
    const bool refused = g.refusing.count(window) > 0;
    const char *const kNames[] = {"", "hide", "show", "show-on-top", "hide-in-front"};
    Log(kNames[toAsk] + (" " + std::to_string(window)), !refused);
    g.readsAndRequests.push_back(g.requests.back());
    if (refused) return 0;
    if (g.windows[window].thread == 0) Set(window, toAsk == kAskShow || toAsk == kAskShowOnTop, g.now + 1);
    else g.queues[g.windows[window].thread].push_back({false, window, toAsk});
    return 1;
}
int AskForAnswer(uintptr_t window)
{
    const uint32_t thread = g.windows[window].thread;
    if (thread == 0) return 0;  // our own thread has carried its requests out already
    const bool failing = g.failingAnswers[thread] > 0 && g.failingAnswers[thread]--;
    Log("answer? t" + std::to_string(thread), !failing);
    if (failing) return 0;
    g.queues[g.windows[window].thread].push_back({true, window, 0});
    return 1;
}
uint32_t NowMs() { return g.now; }
const WindowWorld kModel = {IsSame, IsShown, Ask, AskForAnswer, NowMs};

// The window's state changes, by a request or by its own program; the platform may report it,
// at once for our own thread's windows (inside the request), else once our side takes it.
void Set(uintptr_t window, bool visible, uint32_t ms)
{
    if (g.windows[window].visible == visible) return;
    g.windows[window].visible = visible;
    if (g.platform != kWindows2000) return;
    if (g.windows[window].thread == 0) WindowChanged(&g.list, window, visible, ms, kModel);
    else g.events.push_back({window, visible, ms});
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
            else if (g.platform == kWine) Set(i.window, i.toAsk == kAskShow || i.toAsk == kAskShowOnTop);
            else held.push_back(i);  // Windows: after the answers, and only by a thread not busy
        }
        for (const Item &i : held)
            if (busy) queue.push_back(i);
            else Set(i.window, i.toAsk == kAskShow || i.toAsk == kAskShowOnTop);
    }
    std::vector<Event> events;
    events.swap(g.events);
    for (const Event &e : events) WindowChanged(&g.list, e.window, e.shown, e.ms, kModel);
}

// Our side's time passes in steps of 10 ms: the poll while a request is on the way, the tick.
void Pass(uint32_t ms)
{
    for (uint32_t t = 0; t < ms; t += 10) {
        g.now += 10;
        ThreadsRun();
        if (g.ticks && g.now % 1000 == 0) LookAtAll(&g.list, kModel);
        if (AnyOnTheWay(g.list) && g.now >= g.nextLook) {
            LookAtTheWaiting(&g.list, kModel);
            g.nextLook = g.now + NextLookMs(++g.looks);
        }
        MakeFrontsHide(&g.list, kModel);
    }
}

// Busy inside its own SendMessage until then: on Windows it answers and carries out nothing;
// under Wine our requests are sent messages too, so the nearest is a thread that takes none.
void Busy(uint32_t thread, uint32_t until)
{
    (g.platform == kWine ? g.hungUntil : g.busyUntil)[thread] = until;
}

void EndChange()
{
    MakeRequests(&g.list, kModel);
    LookAtTheWaiting(&g.list, kModel);
    MakeFrontsHide(&g.list, kModel);
    g.looks = 0;
    g.nextLook = g.now + NextLookMs(0);
}

// A switch as the program makes it, the window front in front (the windows in the order of their
// handles stand for the z-order, top first); returns the front window of the desktop now in view.
uintptr_t Switch(uintptr_t front = 0, int how = kFrontOfItsDesktop)
{
    for (auto &[window, w] : g.windows) {
        HiddenWindow *r = RecordMetBySwitch(&g.list, window, w.visible, kModel);
        if (GoesWithTheDesktop(r, w.visible))
            TakeIntoSlot(&g.list, window, r ? r->identity : IdentityOf(window), w.visible, g.desktop,
                         window == front ? how : kNotInFront, kModel);
    }
    g.desktop = (g.desktop + 1) % kDesktopCount;
    uintptr_t inFront = BringSlotIntoView(&g.list, g.desktop, 0, kModel);
    EndChange();
    return inFront;
}

// The store command (the window as the filter reads it, shown) and the restore.
void Store(uintptr_t window)
{
    TakeIntoSlot(&g.list, window, IdentityOf(window), 1, kStashSlot, kNotInFront, kModel);
    EndChange();
}
void Restore()
{
    BringSlotIntoView(&g.list, kStashSlot, 1, kModel);
    EndChange();
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

// A scenario's steps: "switch", "store3", "restore", "clear", "pass1000", "show3" and "hide3" (by
// its own program), "busy20:1500" (thread 20 for 1.5 s from now).
void Steps(const std::string &script)
{
    std::istringstream in(script);
    for (std::string step; in >> step;) {
        const size_t digit = step.find_first_of("0123456789");
        const unsigned long n = digit == std::string::npos ? 0 : std::stoul(step.substr(digit));
        if (step == "switch") Switch();
        else if (step == "restore") Restore();
        else if (step == "clear") Clear();
        else if (step.rfind("store", 0) == 0) Store(n);
        else if (step.rfind("pass", 0) == 0) Pass(n);
        else if (step.rfind("show", 0) == 0 || step.rfind("hide", 0) == 0) Set(n, step[0] == 's');
        else if (step.rfind("busy", 0) == 0) Busy(n, g.now + std::stoul(step.substr(step.find(':') + 1)));
        else ADD_FAILURE() << "no step " << step;
    }
}

std::string SlotOf(uintptr_t window)
{
    HiddenWindow *r = FindHiddenWindow(g.list, window);
    return r ? std::to_string(r->slot) : "none";
}

typedef std::vector<std::string> Requests;

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
    // Each window shows what it was last asked, and each record knows it.
    void ExpectSettled(const char *visible)
    {
        EXPECT_EQ(visible, Visible());
        EXPECT_EQ(0, AnyOnTheWay(g.list)) << "platform " << g.platform;
    }
};


TEST_P(Following, ASwitchIntoAnEmptyAndIntoAFullDesktopEndsAsAskedAndSettlesEveryRecord)
{
    EXPECT_EQ(0u, Switch(3));  // into an empty desktop
    EXPECT_EQ((Requests{"hide 4", "hide 3", "hide 2", "hide 1", "answer? t30", "answer? t20", "answer? t10"}),
              TakeRequests());
    Pass(2000);
    ExpectSettled("0000");
    EXPECT_EQ(Requests{}, TakeRequests());  // nothing more, however long it takes
    g.windows[5] = {40, true};  // a window opened on desktop 1
    Switch();
    Switch();
    TakeRequests();
    EXPECT_EQ(3u, Switch());  // back into desktop 0, the front window as it was
    EXPECT_EQ((Requests{"show 1", "show 2", "show 3", "show 4", "answer? t30", "answer? t20", "answer? t10"}),
              TakeRequests());  // top first
    Pass(2000);
    ExpectSettled("11110");
    EXPECT_EQ("1", SlotOf(5));
    EXPECT_EQ("none", SlotOf(3));  // seen in view: no longer ours
}

// A busy program's hides are still queued: a clear closes none of its windows, which belong to
// desktop 0 already, and three more clicks bring them home, since every request is asked at once
// and queues behind the last; none is taken for done early, and none stays on the way once its
// thread has carried out the round trip between two looks: a later show by its own program on
// the next desktop makes it a window of that desktop.
// A switch reads the windows in view, not those settled on the other desktops; a window read for
// its hide is asked without a second look, and the windows coming back are each seen to be still
// theirs before the first is asked, so that the requests reach their programs together.
TEST_P(Following, ASwitchReadsOnlyWhatItMustAndMakesTheRequestsTogether)
{
    Steps("switch");
    EXPECT_EQ((Requests{"hide 4", "hide 3", "hide 2", "hide 1"}), g.readsAndRequests);
    Steps("pass2000");
    g.readAt.clear();
    g.readsAndRequests.clear();
    Steps("switch switch");
    EXPECT_TRUE(g.readAt.empty() && g.readsAndRequests.empty());
    Steps("switch");
    EXPECT_EQ((Requests{"same? 1", "same? 2", "same? 3", "same? 4", "show 1", "show 2", "show 3", "show 4"}),
              g.readsAndRequests);
    Steps("pass2000");
    ExpectSettled("1111");
}

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
    g.closed.clear();
    Clear();  // back in view, their shows on the way
    EXPECT_EQ((std::vector<uintptr_t>{1, 2, 3, 4}), g.closed);
    Pass(500);
    EXPECT_EQ("11110", Visible());
    Pass(3000);
    ExpectSettled("11110");
    Steps("switch pass2000 show1 pass1000 switch pass1000");
    ExpectSettled("00000");
    Steps("switch switch pass1000");
    ExpectSettled("01110");
    Steps("switch pass1000");
    ExpectSettled("10001");
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

// Its program hid and showed it just before the click, and the platform reports both after the
// switch took it in: neither is the hide the switch asked for, which is still on the way.
TEST_P(Following, ChangesMadeBeforeTheWindowWasReadForARequestAreNotTheRequests)
{
    for (int round = 0; round < 2; ++round) {  // a window new to us, then one of ours
        Steps("busy10:2000 hide1 show1");
        g.now += 10;
        Steps("switch pass500 clear");
        EXPECT_EQ(std::vector<uintptr_t>{}, g.closed);
        Steps("pass2000");
        ExpectSettled("0000");
        Steps("show1 pass1000");  // on the desktop in view, which it joins
    }
}

// A hung program answers nothing and carries out nothing: switches go on, and its window ends
// where the last request put it, however long it takes.
TEST_P(Following, AHungProgramsWindowEndsWhereTheLastRequestPutIt)
{
    g.hungUntil[20] = 5000;
    Switch();
    Pass(500);
    Switch();  // its hide is still queued: it stays with desktop 0
    TakeRequests();
    Pass(6000);
    ExpectSettled("0000");
    EXPECT_EQ("0", SlotOf(3));
    EXPECT_EQ(Requests{}, TakeRequests());  // no second hide, nor a second message while one waits
    g.hungUntil[20] = g.now + 4000;  // hung while its desktop comes back
    Switch();
    Switch();
    Pass(400);
    EXPECT_EQ("1101", Visible());
    Switch();  // taken along before it ran again: it ends hidden with desktop 0
    Pass(5000);
    ExpectSettled("0000");
    EXPECT_EQ("0", SlotOf(3));
}

// A window the system keeps from us refuses the request: no record waits for it. A message that
// could not be sent to ask a thread for an answer is sent again with the next requests.
TEST_P(Following, ARefusedRequestKeepsNoRecordAndAnAnswerThatCouldNotBeAskedForIsAskedAgain)
{
    g.refusing.insert(4);
    g.failingAnswers[10] = 1;
    Switch();
    EXPECT_EQ((Requests{"hide 4 refused", "hide 3", "hide 2", "hide 1", "answer? t20", "answer? t10 refused"}),
              TakeRequests());
    EXPECT_EQ("none", SlotOf(4));
    Switch();
    EXPECT_EQ((Requests{"hide 4 refused", "answer? t10"}), TakeRequests());
    Pass(1000);
    ExpectSettled("0001");
}

// Where our call for the foreground was refused, the window in front hides itself, so that its
// thread hands the activation on, but only once every other window leaving is seen hidden: the
// platform's walk to the next window then reaches only windows in view. A hung program is waited
// for no longer than the patience. A quick round trip before it hides gives its hide up, and a
// window sent away holding the foreground is not the one brought forward with its desktop.
TEST_P(Following, TheWindowInFrontHidesItselfOnlyOnceTheOthersAreSeenHidden)
{
    auto passUntilFrontHides = [] {
        for (int i = 0; i < 300; ++i) {
            for (const std::string &r : g.requests)
                if (r == "hide-in-front 1") return;
            Pass(10);
        }
    };
    Busy(20, 300);
    Switch(1, kFrontOfItsDesktop | kHoldingForeground);
    EXPECT_EQ((Requests{"hide 4", "hide 3", "hide 2", "answer? t30", "answer? t20", "answer? t10"}), TakeRequests());
    passUntilFrontHides();
    EXPECT_EQ("1000", Visible());  // the others hidden, the front not yet
    EXPECT_LE(g.now, 700u);
    Pass(1000);
    ExpectSettled("0000");
    Steps("switch switch switch pass1000");
    ExpectSettled("1111");
    g.hungUntil[20] = g.now + 5000;
    const uint32_t start = g.now;
    TakeRequests();
    Switch(1, kFrontOfItsDesktop | kHoldingForeground);
    passUntilFrontHides();
    EXPECT_EQ(start + kFrontPatienceMs, g.now - g.now % 10);  // no longer than the patience
    Pass(6000);
    ExpectSettled("0000");
    Steps("switch switch switch pass1000");
    g.hungUntil[20] = g.now + 5000;
    Switch(1, kFrontOfItsDesktop | kHoldingForeground);
    for (int i = 0; i < 3; ++i) Switch();  // back before the front's hide was made: nothing owed
    Busy(10, g.now + 5000);
    TakeRequests();
    Pass(200);
    EXPECT_EQ("none", SlotOf(1));  // seen in view as asked, though its thread has not run
    Pass(6000);
    const Requests after = TakeRequests();
    EXPECT_EQ(after.end(), std::find(after.begin(), after.end(), "hide-in-front 1"));
    // Sent away while holding the foreground: it hides itself, and is not its desktop's front.
    TakeIntoSlot(&g.list, 2, IdentityOf(2), 1, 3, kHoldingForeground, kModel);
    EndChange();
    Pass(1000);
    EXPECT_EQ(0u, BringSlotIntoView(&g.list, 3, 0, kModel));
    EndChange();
}

// A hide that its program undoes at once, before any look: reported, or answered after it (Wine),
// the window is one of the desktop in view; on NT 4 nothing tells the two changes from none, and
// its record waits, the window spared by a clear.
TEST_P(Following, AHideItsProgramUndoesAtOncePutsTheWindowInView)
{
    Switch();
    g.queues[20].push_back({false, 3, kAskShow});
    Steps("pass1000 clear");
    EXPECT_EQ(g.platform == kWindowsNt4 ? std::vector<uintptr_t>{} : std::vector<uintptr_t>{3}, g.closed);
}

// The stash comes back on top, the most recently stored first, so that the first stored ends on
// top; a handle of a stored window that closed meanwhile, now another program's, is not asked.
TEST_P(Following, TheStashComesBackOnTopAndNoStrangerWithAStoredWindowsHandleIsAsked)
{
    Steps("store1 store3 pass1000");
    TakeRequests();
    Restore();
    EXPECT_EQ((Requests{"show-on-top 3", "show-on-top 1", "answer? t20", "answer? t10"}), TakeRequests());
    Steps("pass1000 store2 pass1000");
    g.windows[2] = {50, false};
    TakeRequests();
    Restore();
    EXPECT_EQ(Requests{}, TakeRequests());
    Pass(1000);
    ExpectSettled("1011");
}

// A stored window's own program never decides where it goes. Shown again and stored again before
// any look saw it, it stays in the stash through a switch made while its hide is queued. Shown and
// hidden, reported only after a restore made while it is busy, it goes with the desktop it was
// restored on. Showing already when restored, it is asked all the same, behind a hide its program
// queued itself.
TEST_P(Following, AStoredWindowsOwnProgramNeverDecidesWhereItGoes)
{
    Steps("store3 pass1000 show3 busy20:1500 store3 pass500 switch pass2000");
    ExpectSettled("0000");
    Steps("restore pass1000");
    ExpectSettled("0010");
    TearDown();
    SetUp();
    Steps("store3 pass1000 show3 hide3 busy20:1500 restore pass100 switch pass3000");
    ExpectSettled("0000");
    TearDown();
    SetUp();
    Steps("store3 pass1000 show3 pass1000 busy20:1000");
    g.queues[20].push_back({false, 3, kAskHide});
    Steps("restore pass2000");
    ExpectSettled("1111");
}

// Our own windows carry their requests out inside the request, and a platform may report the
// change there: the record stays whole until the request returns.
TEST_P(Following, OurOwnWindowsCarryTheirRequestsOutInsideThem)
{
    g.windows[9] = {0, true};
    for (int i = 0; i < 4; ++i) Switch();
    Pass(1000);
    ExpectSettled("11111");
    EXPECT_EQ("none", SlotOf(9));
}

// The poll alone (no tick) looks at every window whose request is on the way, shows as well as
// hides, never more than a second apart, and at a busy one's about once a second: a busy program
// costs next to nothing. Where the thread has not answered yet, its answer brings the look.
TEST_P(Following, ThePollLooksAtEveryRequestOnTheWayAtLeastOnceASecond)
{
    g.ticks = false;
    for (uint32_t busy : {1000, 8000}) {
        Steps("busy10:" + std::to_string(busy) + " switch pass200" + (busy == 1000 ? " switch switch switch" : ""));
        g.readAt.clear();  // (a round trip puts shows on the way)
        Pass(10000);
        ExpectSettled(busy == 1000 ? "1111" : "0000");
        const std::vector<uint32_t> &at = g.readAt[1];
        ASSERT_FALSE(at.empty());
        for (size_t i = 1; i < at.size(); ++i) EXPECT_LE(at[i] - at[i - 1], 1000u) << busy;
        EXPECT_LE(at.size(), 40u) << busy;
    }
}

// Window 3 closes while its hide is queued, and another program's window, in view, takes its handle
// before the next look: shown as the record last saw it, the quick looks do not tell, but the tick's
// look reads the identity and lets the stranger go. A clear closes it then, and a switch takes it.
TEST_P(Following, AStrangerWithTheHandleOfAWindowWhoseHideIsQueuedIsNotOurs)
{
    Steps("busy20:3000 switch pass100");
    g.queues[20].clear();  // gone with its window
    g.windows[3] = {50, true};
    Steps("pass1500 clear");
    EXPECT_EQ(std::vector<uintptr_t>{3}, g.closed);
    Steps("switch pass1000");
    EXPECT_EQ("0000", Visible());
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
}

// Where the foreground goes after a command: a foreground that no longer shows is ours to hand
// on; a refused one is left to the window in front, which hands it on as it hides, and looked at
// until the patience ends; a front window still on its way is waited for, but not past about a
// second.
TEST(FollowRules, TheForegroundIsHandedOnOnlyFromWhereNobodySeesIt)
{
    const ForegroundState ours = kForegroundOursToHandOn, users = kForegroundInView;
    struct { ForegroundState foreground; int refused, menuOpen; FrontState front; uint32_t ms; FrontChoice choice; } rows[] = {
        {users, 0, 0, kFrontInView, 0, kLeaveForeground},      {users, 1, 0, kNoFront, 0, kLeaveForeground},
        {ours, 1, 0, kFrontInView, 0, kWaitForFront},          {ours, 1, 0, kFrontInView, 1000, kGiveToWindowInView},
        {ours, 0, 1, kFrontInView, 0, kWaitForFront},          {ours, 0, 0, kFrontOnTheWay, 999, kWaitForFront},
        {ours, 0, 0, kFrontOnTheWay, 1000, kGiveToWindowInView}, {ours, 0, 0, kFrontInView, 5000, kBringFrontForward},
        {ours, 0, 0, kNoFront, 0, kGiveToWindowInView},        {ours, 0, 1, kNoFront, 5000, kWaitForFront}};
    for (const auto &r : rows)
        EXPECT_EQ(r.choice, FrontAfterShowing(r.foreground, r.refused, r.menuOpen, r.front, r.ms)) << "row " << &r - rows;
}

// Where no event tells when a window changed, the waits between looks: 15 ms for a third of a
// second, then twice as long each time up to a second.
TEST(FollowRules, ThePollLooksSoonThenLessAndLessOften)
{
    std::vector<uint32_t> waits;
    for (int looks : {0, 19, 20, 21, 25, 26, 27, 1000}) waits.push_back(NextLookMs(looks));
    EXPECT_EQ((std::vector<uint32_t>{15, 15, 30, 60, 960, 1000, 1000, 1000}), waits);
}

// The stash as it stands (rank: 0 on top) to the windows asked again, each right below the one
// stored before it.
TEST(FollowRules, AStashOutOfItsOrderIsPutBackEachWindowBelowTheOneStoredBeforeIt)
{
    struct { std::vector<int> rank, after; } rows[] = {
        {{0, 1, 2}, {-1, -1, -1}},  {{5, 9, 40}, {-1, -1, -1}},  // in order, whatever stands between
        {{1, 0, 2}, {-1, 0, -1}},   // the later stored one's program raised it last
        {{2, 1, 0}, {-1, 0, 1}},    {{1, 2, 0}, {-1, -1, 1}},   {{0, 2, 1}, {-1, -1, 1}},
        {{3, 0, 1, 2}, {-1, 0, 1, 2}}, {{}, {}}};
    for (const auto &r : rows) {
        std::vector<int> after(r.rank.size(), 7);
        int asked = OrderToAsk(r.rank.data(), (int)r.rank.size(), after.data());
        EXPECT_EQ(r.after, after) << "row " << &r - rows;
        EXPECT_EQ((int)std::count_if(after.begin(), after.end(), [](int a) { return a >= 0; }), asked);
    }
}

}  // namespace
