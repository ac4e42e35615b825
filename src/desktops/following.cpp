// The desktops' decisions over the records, apart from the platform (see following.h).
#include "following.h"
#include <string.h>
#include "../app/alloc.h"

namespace {

const WindowWorld *g_world;
HiddenWindow *g_hidden;
uint32_t g_ticket = 1;  // of the requests made since the last call for answers
const int kNoSlot = -2;
int g_showingSlot = kNoSlot;
uintptr_t g_front;           // of the slot being shown: the window that was in front, or 0
uint32_t g_runTicket;        // the requests of the run under way
uint32_t g_runDeadline;

int Ask(HiddenWindow *record, int asked)
{
    if (!g_world->ask(record->window, asked == kShowAsked)) return 0;
    record->asked = asked;
    record->ticket = g_ticket;
    record->hinted = record->answered = 0;
    return 1;
}

void Unfollow(HiddenWindow **link)
{
    HiddenWindow *record = *link;
    *link = record->next;
    FreeRecord(record);
}

// Looks at one record's window. 0 when the record is gone from the list.
int Observe(HiddenWindow **link, uint32_t nowMs)
{
    HiddenWindow *r = *link;
    if (!r->asked) return 1;
    if (!g_world->isSameWindow(r->window, r->identity)) {
        Unfollow(link);
        return 0;
    }
    FollowVerdict verdict = Follow(r->asked, g_world->isVisible(r->window), r->answered, nowMs - r->answeredMs, r->askedAgain);
    if (verdict == kKeepFollowing) return 1;
    if (verdict == kAskAgain) {
        r->askedAgain = 1;
        if (Ask(r, kShowAsked)) return 1;
    }
    if (r->slot != kInViewSlot) {  // hidden in its slot, or shown again by its own program
        r->asked = kNothingAsked;
        return 1;
    }
    Unfollow(link);  // in view, or kept hidden by its own program: no longer ours
    return 0;
}

HiddenWindow **FirstOfShowingSlot()
{
    HiddenWindow **link = &g_hidden;
    while (*link && (*link)->slot != g_showingSlot) link = &(*link)->next;
    return link;
}

void ShowNextRun(uint32_t nowMs, int all)
{
    HiddenWindow **first = FirstOfShowingSlot();
    if (!*first) return;
    uint32_t thread = (*first)->identity.threadId;
    int count = 0;
    for (HiddenWindow **link = first; *link;) {
        HiddenWindow *r = *link;
        if (r->slot != g_showingSlot) {
            link = &r->next;
            continue;
        }
        if (!all && r->identity.threadId != thread) break;
        *link = r->next;  // a record followed goes to the head, before this point
        ShowRecord(r);
        ++count;
    }
    g_runTicket = g_ticket;
    g_runDeadline = nowMs + RunPatienceMs(count);
    AskForAnswers(nowMs);
}

// A look at the run's windows only: the poll comes often, and the others are looked at when
// their threads answer and on the ticks.
int RunInView(uint32_t nowMs)
{
    int inView = 1;
    for (HiddenWindow **link = &g_hidden; *link;) {
        HiddenWindow *r = *link;
        if (r->slot == kInViewSlot && r->asked == kShowAsked && r->ticket == g_runTicket) {
            if (r->answered && !Observe(link, nowMs)) continue;
            if (r->asked) inView = 0;
        }
        link = &r->next;
    }
    return inView;
}

}  // namespace

void SetWindowWorld(const WindowWorld *world)
{
    g_world = world;
}

FollowVerdict Follow(int asked, int visible, int answered, uint32_t sinceAnswerMs, int askedAgain)
{
    if (asked == kNothingAsked || (visible != 0) == (asked == kShowAsked)) return kCarriedOut;
    if (!answered || sinceAnswerMs < kRunningThreadMs) return kKeepFollowing;
    if (asked == kHideAsked) return kCarriedOut;  // hidden, then shown again by its own program
    return askedAgain ? kGiveUp : kAskAgain;
}

HiddenWindow **FollowedWindows()
{
    return &g_hidden;
}

int HideToSlot(uintptr_t window, const WindowIdentity &identity, int slot, int wasActive)
{
    HiddenWindow *record = FindHiddenWindow(g_hidden, window);
    if (record) {
        UnlinkHiddenWindow(&g_hidden, record);
    } else {
        record = (HiddenWindow *)AllocRecord(sizeof *record);
        if (!record) return 0;
        memset(record, 0, sizeof *record);
        record->window = window;
    }
    record->identity = identity;
    record->slot = slot;
    record->wasActive = wasActive;
    record->askedAgain = 0;
    if (!Ask(record, kHideAsked)) {
        FreeRecord(record);
        return -1;
    }
    record->next = g_hidden;
    g_hidden = record;
    return 1;
}

void ShowRecord(HiddenWindow *record)
{
    if (!g_world->isSameWindow(record->window, record->identity) || !Ask(record, kShowAsked)) {
        FreeRecord(record);
        return;
    }
    record->slot = kInViewSlot;
    record->askedAgain = 0;
    record->next = g_hidden;
    g_hidden = record;
}

int GoesWithTheDesktop(uintptr_t window, int manageable, WindowIdentity *identity, uint32_t nowMs)
{
    HiddenWindow **link = &g_hidden;
    while (*link && (*link)->window != window) link = &(*link)->next;
    if (*link && Observe(link, nowMs) && g_world->isSameWindow(window, (*link)->identity)) {
        HiddenWindow *r = *link;
        if (r->slot == kInViewSlot) {  // shown here: in view, whether carried out or not
            *identity = r->identity;
            return 1;
        }
        if (r->asked) return 0;  // its hide is on the way: it stays where that puts it
        // Hidden, and seen so: it shows only if its own program showed it again, and then it
        // belongs to the desktop in view.
    }
    return manageable;
}

void AskForAnswers(uint32_t nowMs)
{
    for (HiddenWindow *r = g_hidden; r; r = r->next) {
        if (!r->asked || r->hinted) continue;
        int runsAnyway = !g_world->askForAnswer(r->window, g_ticket);
        for (HiddenWindow *q = r; q; q = q->next) {
            if (!q->asked || q->identity.threadId != r->identity.threadId) continue;
            q->hinted = 1;
            if (runsAnyway && !q->answered) {
                q->answered = 1;
                q->answeredMs = nowMs;
            }
        }
    }
    if (++g_ticket == 0) ++g_ticket;  // 0 is no ticket
}

void Answered(uint32_t threadId, uint32_t ticket, uint32_t nowMs)
{
    for (HiddenWindow **link = &g_hidden; *link;) {
        HiddenWindow *r = *link;
        if (r->asked && r->identity.threadId == threadId && TicketSettledBy(r->ticket, ticket)) {
            if (!r->answered) r->answeredMs = nowMs;
            r->answered = 1;
            if (!Observe(link, nowMs)) continue;  // a look now: what it shows may be settled already
        }
        link = &r->next;
    }
}

void ObserveAll(uint32_t nowMs)
{
    for (HiddenWindow **link = &g_hidden; *link;)
        if (Observe(link, nowMs)) link = &(*link)->next;
    AskForAnswers(nowMs);
}

int AnyFollowed()
{
    for (HiddenWindow *r = g_hidden; r; r = r->next)
        if (r->asked) return 1;
    return 0;
}

// A quarter second, and a little more for each window, since a program shows its windows one
// after the other; a program that takes longer is hung, or slow enough that the rest should
// not wait for it.
uint32_t RunPatienceMs(int windows)
{
    uint32_t patience = 250 + 25 * (uint32_t)windows;
    return patience < 3000 ? patience : 3000;
}

void StartShowing(int slot, uint32_t nowMs)
{
    g_showingSlot = slot;
    g_front = 0;
    g_runTicket = 0;  // no run yet: an empty slot ends at once
    g_runDeadline = nowMs + RunPatienceMs(0);
    for (HiddenWindow *r = g_hidden; r && !g_front; r = r->next)
        if (r->slot == slot && r->wasActive) g_front = r->window;
    ShowNextRun(nowMs, 0);
}

int ShowingGoesOn(uint32_t nowMs)
{
    if (g_showingSlot == kNoSlot) return 0;
    if ((int32_t)(nowMs - g_runDeadline) >= 0) {
        ShowRestAtOnce();
        return 0;
    }
    if (!RunInView(nowMs)) return 1;
    if (!*FirstOfShowingSlot()) {
        g_showingSlot = kNoSlot;
        return 0;
    }
    ShowNextRun(nowMs, 0);
    return 1;
}

void ShowRestAtOnce()
{
    if (g_showingSlot == kNoSlot) return;
    ShowNextRun(g_runDeadline, 1);
    g_showingSlot = kNoSlot;
}

int ShowingUnderWay()
{
    return g_showingSlot != kNoSlot;
}

FrontChoice FrontAfterShowing(int foregroundIsOurs, int frontInView)
{
    if (!foregroundIsOurs) return kLeaveForeground;
    return frontInView ? kBringFrontForward : kGiveToShellDesktop;
}

uintptr_t ShowingFront()
{
    return g_front;
}

void ForgetAllWindows()
{
    while (g_hidden) Unfollow(&g_hidden);
    g_showingSlot = kNoSlot;
    g_front = 0;
}
