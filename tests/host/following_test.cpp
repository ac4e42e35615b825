// The desktops' decisions against a model of other programs' threads, in the two orders in which
// a thread may take our requests and the messages that ask it to answer: requests first (as
// under Wine), or answers first (as on Windows NT, where a queued show waits for sent messages).
#include <gtest/gtest.h>
#include <algorithm>
#include <deque>
#include <map>
#include <string.h>
#include <string>
#include <vector>
#include "../../src/desktops/following.h"

namespace {

struct ModelWindow {
    uint32_t thread;
    bool visible;
};
struct Item {
    bool answer;
    uintptr_t window;
    bool show;       // of a request
    uint32_t ticket; // of an answer
};

// Other programs: their windows, each thread's queue, and our side's clock.
struct Model {
    std::map<uintptr_t, ModelWindow> windows;
    std::map<uint32_t, std::deque<Item>> queues;
    std::map<uint32_t, uint32_t> hungUntil;
    bool answersFirst = false;
    uint32_t now = 1000;
    std::vector<std::string> log;  // "ask N", "done N", in order
} g_model;

WindowIdentity IdentityOf(uintptr_t window)
{
    WindowIdentity identity = {};
    identity.processId = g_model.windows[window].thread + 1000;
    identity.threadId = g_model.windows[window].thread;
    strcpy(identity.className, "Model");
    return identity;
}
int IsSame(uintptr_t window, const WindowIdentity &identity)
{
    return g_model.windows.count(window) && SameIdentity(IdentityOf(window), identity);
}
int IsVisible(uintptr_t window) { return g_model.windows[window].visible; }
int Ask(uintptr_t window, int show)
{
    g_model.log.push_back((show ? "show " : "hide ") + std::to_string(window));
    g_model.queues[g_model.windows[window].thread].push_back({false, window, show != 0, 0});
    return 1;
}
int AskForAnswer(uintptr_t window, uint32_t ticket)
{
    g_model.queues[g_model.windows[window].thread].push_back({true, window, false, ticket});
    return 1;
}
const WindowWorld kModel = {IsSame, IsVisible, Ask, AskForAnswer};

// One step of every thread that runs, in the model's order; an answer reaches our side at once.
void ThreadsRun()
{
    for (auto &[thread, queue] : g_model.queues) {
        if (g_model.hungUntil[thread] > g_model.now) continue;
        std::deque<Item> items;
        items.swap(queue);
        if (g_model.answersFirst)
            std::stable_partition(items.begin(), items.end(), [](const Item &i) { return i.answer; });
        for (const Item &i : items) {
            if (i.answer) {
                Answered(thread, i.ticket, g_model.now);
                ShowingGoesOn(g_model.now);
            } else {
                g_model.windows[i.window].visible = i.show;
                if (i.show) g_model.log.push_back("done " + std::to_string(i.window));
            }
        }
    }
}

// Our side's time passes: the showing's poll every 10 ms, the tick every second.
void Pass(uint32_t ms)
{
    for (uint32_t t = 0; t < ms; t += 10) {
        g_model.now += 10;
        ThreadsRun();
        ShowingGoesOn(g_model.now);
        if (g_model.now % 1000 == 0 && !ShowingUnderWay()) ObserveAll(g_model.now);
    }
}

// A switch as the program makes it: every window that goes with the desktop is hidden into it,
// then the next desktop is shown.
void Switch(int from, int to)
{
    ShowRestAtOnce();
    for (auto &[window, w] : g_model.windows) {
        WindowIdentity identity = IdentityOf(window);
        if (GoesWithTheDesktop(window, w.visible, &identity, g_model.now)) HideToSlot(window, identity, from, 0);
    }
    StartShowing(to, g_model.now);
    ShowingGoesOn(g_model.now);
    AskForAnswers(g_model.now);
}

std::string Visible()
{
    std::string v;
    for (auto &[window, w] : g_model.windows) v += w.visible ? '1' : '0';
    return v;
}

std::string SlotOf(uintptr_t window)
{
    HiddenWindow *r = FindHiddenWindow(*FollowedWindows(), window);
    return r ? std::to_string(r->slot) : "none";
}

size_t Position(const std::string &entry)
{
    for (size_t i = 0; i < g_model.log.size(); ++i)
        if (g_model.log[i] == entry) return i;
    return SIZE_MAX;
}

class Following : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override
    {
        g_model = Model();
        g_model.answersFirst = GetParam();
        SetWindowWorld(&kModel);
        // Windows 1, 2 of thread 10; 3 of thread 20; 4, 5 of thread 30; 6 of thread 40.
        for (auto [window, thread] : {std::pair<uintptr_t, uint32_t>{1, 10}, {2, 10}, {3, 20}, {4, 30}, {5, 30}, {6, 40}})
            g_model.windows[window] = {thread, true};
    }
    void TearDown() override { ForgetAllWindows(); }
    // Every record settled: each window shows what it was last asked.
    void ExpectSettled() { EXPECT_EQ(0, AnyFollowed()) << (g_model.answersFirst ? "answers first" : "requests first"); }
};

TEST_P(Following, ASwitchIntoAnEmptyAndIntoAFullDesktopEndsAsAskedAndSettlesEveryRecord)
{
    Switch(0, 1);  // into an empty desktop
    Pass(2000);
    EXPECT_EQ("000000", Visible());
    ExpectSettled();
    EXPECT_EQ("0", SlotOf(1));
    g_model.windows[7] = {50, true};  // a window opened on desktop 1
    g_model.windows[1].visible = true;  // and one its own program showed again there
    Switch(1, 2);
    Switch(2, 3);
    Switch(3, 0);  // into a desktop that holds windows of four threads
    Pass(3000);
    EXPECT_EQ("0111110", Visible());
    ExpectSettled();
    EXPECT_EQ("1", SlotOf(7));
    // One thread's run at a time, most recently hidden first: none is asked before the run
    // before it is seen in view.
    EXPECT_LT(Position("done 6"), Position("show 5"));
    EXPECT_LT(Position("done 4"), Position("show 3"));
    EXPECT_LT(Position("done 3"), Position("show 2"));
    EXPECT_EQ(SIZE_MAX, Position("show 1"));  // shown again by its program: it went with desktop 1
}

TEST_P(Following, AHungProgramsWindowEndsWhereTheLastRequestPutItAndTheRestComeAtOnce)
{
    g_model.hungUntil[20] = g_model.now + 5000;
    Switch(0, 1);
    Pass(500);
    Switch(1, 2);  // window 3's hide is not carried out: it stays with desktop 0
    Pass(5000);
    EXPECT_EQ("000000", Visible());
    EXPECT_EQ("0", SlotOf(3));
    ExpectSettled();
    // Hung while its slot is shown: its run's patience runs out and the rest come at once.
    g_model.hungUntil[30] = g_model.now + 4000;
    Switch(2, 3);
    Switch(3, 0);
    Pass(400);
    EXPECT_EQ("111001", Visible());
    EXPECT_FALSE(ShowingUnderWay());
    Switch(0, 1);  // taken along before it ran again: its windows end hidden with desktop 0
    Pass(5000);
    EXPECT_EQ("000000", Visible());
    ExpectSettled();
    EXPECT_EQ("0", SlotOf(4));
}

INSTANTIATE_TEST_SUITE_P(BothOrders, Following, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool> &info) { return info.param ? "AnswersFirst" : "RequestsFirst"; });

TEST(FollowRules, WhatAWindowShowsDecidesAndARunningThreadIsGivenASecond)
{
    struct { int asked, visible, answered; uint32_t since; int again; FollowVerdict verdict; } rows[] = {
        {kHideAsked, 0, 0, 0, 0, kCarriedOut},    {kHideAsked, 1, 1, 999, 0, kKeepFollowing},
        {kHideAsked, 1, 0, 9999, 0, kKeepFollowing},  // hung: followed for as long as it takes
        {kHideAsked, 1, 1, 1000, 0, kCarriedOut},  // shown again by its own program
        {kShowAsked, 1, 0, 0, 0, kCarriedOut},     {kShowAsked, 0, 1, 10, 0, kKeepFollowing},
        {kShowAsked, 0, 1, 1000, 0, kAskAgain},    {kShowAsked, 0, 1, 1000, 1, kGiveUp},
    };
    for (const auto &r : rows)
        EXPECT_EQ(r.verdict, Follow(r.asked, r.visible, r.answered, r.since, r.again)) << &r - rows;
    EXPECT_EQ(kLeaveForeground, FrontAfterShowing(0, 1));
    EXPECT_EQ(kBringFrontForward, FrontAfterShowing(1, 1));
    EXPECT_EQ(kGiveToShellDesktop, FrontAfterShowing(1, 0));
}

}  // namespace
