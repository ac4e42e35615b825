// The desktops' decisions over the records, apart from the platform (see following.h).
#include "following.h"
#include <string.h>
#include "../app/alloc.h"

Sighting See(HiddenWindow *record, int shown)
{
    shown = shown != 0;
    if (shown != record->seenShown) {
        record->seenShown = shown;
        if (record->changesOwed > 0) --record->changesOwed;
        else if (record->asked == kSettled) return kChangedByItsProgram;
    }
    if (record->asked == kSettled) return kSettledAlready;
    if (record->changesOwed > 0 && !(record->answered && shown == record->asked)) return kStillOnTheWay;
    record->changesOwed = 0;
    record->asked = kSettled;
    return kCarriedOut;
}

// A request decided and not yet made (the hide of the window in front, which waits) is given up
// for a new one: the record stands as before it.
static void GiveUpUnmadeRequest(HiddenWindow *record)
{
    if (record->toAsk == kNothingToAsk) return;
    record->toAsk = kNothingToAsk;
    if (record->asked == kSettled) return;
    --record->changesOwed;
    record->asked = record->changesOwed ? !record->asked : kSettled;
}

void Want(HiddenWindow *record, int show, int toAsk)
{
    show = show != 0;
    GiveUpUnmadeRequest(record);
    if (record->asked == show) return;  // already on the way: it puts the window where it is wanted
    record->changesOwed = record->asked == kSettled ? record->seenShown != show : record->changesOwed + 1;
    record->asked = record->changesOwed ? show : kSettled;
    record->toAsk = toAsk;
    // What its thread answers from now on says something of this request only where the message
    // was sent after it.
    record->answered = 0;
    if (record->hinted == kHintOnTheWay) record->hinted = kHintFromBefore;
}

int GoesWithTheDesktop(const HiddenWindow *record, int manageable)
{
    if (!record) return manageable;
    if (record->slot == kInViewSlot) return 1;
    return record->asked == kSettled && manageable;
}

int MayCloseInView(const HiddenWindow *record, int manageable)
{
    return manageable && !(record && record->slot != kInViewSlot && record->asked != kSettled);
}

HiddenWindow *TakeIntoSlot(HiddenWindow **list, uintptr_t window, const WindowIdentity &identity, int shown,
                           int slot, int front, const WindowWorld &world)
{
    HiddenWindow *record = FindHiddenWindow(*list, window);
    if (record) {
        UnlinkHiddenWindow(list, record);
        See(record, shown);
    } else {
        record = (HiddenWindow *)AllocRecord(sizeof *record);
        if (!record) return NULL;
        memset(record, 0, sizeof *record);
        record->window = window;
        record->asked = kSettled;
        record->seenShown = shown != 0;
    }
    record->readAtMs = world.nowMs();
    record->identity = identity;
    record->identityFresh = 1;
    record->slot = slot;
    record->wasActive = (front & kFrontOfItsDesktop) != 0;
    Want(record, 0, front & kHoldingForeground ? kAskHideInFront : kAskHide);
    record->next = *list;
    *list = record;
    return record;
}

static void BringIntoView(HiddenWindow *r, int onTop, const WindowWorld &world)
{
    r->slot = kInViewSlot;
    r->wasActive = 0;
    See(r, world.isShown(r->window));
    r->readAtMs = world.nowMs();
    Want(r, 1, onTop ? kAskShowOnTop : kAskShow);
}

uintptr_t BringSlotIntoView(HiddenWindow **list, int slot, int onTop, const WindowWorld &world)
{
    uintptr_t front = 0;
    for (HiddenWindow *r = *list; r; r = r->next) {
        if (r->slot != slot) continue;
        if (r->wasActive && !front) front = r->window;
        BringIntoView(r, onTop, world);
    }
    return front;
}

void BringWindowIntoView(HiddenWindow **list, uintptr_t window, int onTop, const WindowWorld &world)
{
    HiddenWindow *r = FindHiddenWindow(*list, window);
    if (r && r->slot != kInViewSlot) BringIntoView(r, onTop, world);
}

static HiddenWindow **LinkOf(HiddenWindow **list, uintptr_t window)
{
    while (*list && (*list)->window != window) list = &(*list)->next;
    return list;
}

static void Forget(HiddenWindow **link)
{
    HiddenWindow *record = *link;
    *link = record->next;
    FreeRecord(record);
}

// A window shown again and seen in view as asked is no longer ours; one whose request is still
// to be made stays until it is made.
static int NoLongerOurs(const HiddenWindow *record)
{
    return record->slot == kInViewSlot && record->asked == kSettled && !record->toAsk;
}

static HiddenWindow *Reversed(HiddenWindow *list)
{
    HiddenWindow *reversed = NULL;
    while (list) {
        HiddenWindow *next = list->next;
        list->next = reversed;
        reversed = list;
        list = next;
    }
    return reversed;
}

// Makes the requests of one kind, in list order. Each window is first seen to be still its
// record's (a handle goes to another window only once many windows have had it since, so a window
// read for this very request needs no second look), all of them before the first request: the
// requests then reach a program together, and none of its paints comes between them. The platform
// may report a change of one of our own windows inside the request, which carries it out at once:
// the request is still to be made until the call returns, so that no report forgets the record.
static void Ask(HiddenWindow **list, const WindowWorld &world, int kind)
{
    for (HiddenWindow **link = list; *link;) {
        HiddenWindow *r = *link;
        if (r->toAsk == kind && !r->identityFresh && !world.isSameWindow(r->window, r->identity)) {
            Forget(link);
            continue;
        }
        link = &r->next;
    }
    for (HiddenWindow **link = list; *link;) {
        HiddenWindow *r = *link;
        if (r->toAsk == kind) {
            int made = world.ask(r->window, kind);
            r->toAsk = kNothingToAsk;
            r->identityFresh = 0;
            if (!made || NoLongerOurs(r)) {
                Forget(link);
                continue;
            }
        }
        link = &r->next;
    }
}

static int HintOnTheWay(const HiddenWindow *list, uint32_t threadId)
{
    for (; list; list = list->next)
        if (list->identity.threadId == threadId && (list->hinted == kHintOnTheWay || list->hinted == kHintFromBefore))
            return 1;
    return 0;
}

// One message on the way to each thread that owes a request, at a time, so that a hung program
// gathers no more: a request made behind one on the way is asked about once that one is answered.
static void AskThreadsToAnswer(HiddenWindow *list, const WindowWorld &world)
{
    for (HiddenWindow *r = list; r; r = r->next) {
        if (r->asked == kSettled || r->hinted != kNoHint || r->toAsk) continue;  // (a request that waits)
        if (HintOnTheWay(list, r->identity.threadId)) {
            r->hinted = kHintFromBefore;
            continue;
        }
        int sent = world.askForAnswer(r->window);
        for (HiddenWindow *q = r; q; q = q->next)
            if (q->identity.threadId == r->identity.threadId && q->asked != kSettled && q->hinted == kNoHint && !q->toAsk)
                q->hinted = sent ? kHintOnTheWay : kHintTried;
    }
    for (HiddenWindow *r = list; r; r = r->next)
        if (r->hinted == kHintTried) r->hinted = kNoHint;
}

void MakeRequests(HiddenWindow **list, const WindowWorld &world)
{
    // A slot's windows were recorded top first, so the list holds them bottom first. They are
    // shown top first: each then comes into view below one already shown, which no platform need
    // restack (Wine raises a window shown with none in view above it). The stash comes back on
    // top, the most recently stored first, so that the first stored ends on top.
    *list = Reversed(*list);
    Ask(list, world, kAskShow);
    *list = Reversed(*list);
    Ask(list, world, kAskShowOnTop);
    Ask(list, world, kAskHide);
    AskThreadsToAnswer(*list, world);
}

void MakeFrontsHide(HiddenWindow **list, const WindowWorld &world)
{
    const HiddenWindow *front = NULL;
    int othersLeaving = 0;
    for (const HiddenWindow *r = *list; r; r = r->next) {
        if (r->toAsk == kAskHideInFront) front = r;
        else othersLeaving |= r->asked == 0;
    }
    if (!front || (othersLeaving && world.nowMs() - front->readAtMs < kFrontPatienceMs)) return;
    Ask(list, world, kAskHideInFront);
    AskThreadsToAnswer(*list, world);
}

// A handle passes to another window only once its window is gone, which shows as a change: a
// quick look reads the identity only then.
static int Look(HiddenWindow **link, const WindowWorld &world, int quick)
{
    HiddenWindow *r = *link;
    int shown = world.isShown(r->window) != 0;
    if ((!quick || shown != r->seenShown) && !world.isSameWindow(r->window, r->identity)) {
        Forget(link);
        return 0;
    }
    See(r, shown);
    if (!NoLongerOurs(r)) return 1;
    Forget(link);
    return 0;
}

int LookAt(HiddenWindow **link, const WindowWorld &world)
{
    return Look(link, world, 0);
}

HiddenWindow *RecordOf(HiddenWindow **list, uintptr_t window, const WindowWorld &world)
{
    HiddenWindow **link = LinkOf(list, window);
    return *link && LookAt(link, world) ? *link : NULL;
}

HiddenWindow *RecordMetBySwitch(HiddenWindow **list, uintptr_t window, int manageable, const WindowWorld &world)
{
    HiddenWindow *record = *LinkOf(list, window);
    return record && !manageable && record->asked == kSettled && !record->seenShown
               ? record
               : RecordOf(list, window, world);
}

void LookAtAll(HiddenWindow **list, const WindowWorld &world)
{
    for (HiddenWindow **link = list; *link;)
        if (LookAt(link, world)) link = &(*link)->next;
}

void LookAtTheWaiting(HiddenWindow **list, const WindowWorld &world)
{
    for (HiddenWindow **link = list; *link;) {
        HiddenWindow *r = *link;
        if (r->asked != kSettled && r->hinted == kNoHint && !Look(link, world, 1)) continue;
        link = &r->next;
    }
}

void WindowChanged(HiddenWindow **list, uintptr_t window, int shown, uint32_t eventMs, const WindowWorld &world)
{
    HiddenWindow **link = LinkOf(list, window);
    if (!*link || (int32_t)(eventMs - (*link)->readAtMs) <= 0) return;
    if (!world.isSameWindow(window, (*link)->identity)) {
        Forget(link);
        return;
    }
    See(*link, shown);
    if (NoLongerOurs(*link)) Forget(link);
}

void ThreadAnswered(HiddenWindow **list, uint32_t threadId, const WindowWorld &world)
{
    int askAgain = 0;
    for (HiddenWindow **link = list; *link;) {
        HiddenWindow *r = *link;
        if (r->identity.threadId == threadId) {
            // Under Wine the requests before the message are carried out by now; on Windows the
            // thread takes them with its queue, right after, unless it is busy. Where nothing
            // reports a change, no look will tell more of them than what the window shows.
            if (r->hinted == kHintOnTheWay) r->answered = 1;
            askAgain |= r->hinted == kHintFromBefore;
            r->hinted = kNoHint;
            if (!LookAt(link, world)) continue;
        }
        link = &r->next;
    }
    if (askAgain) AskThreadsToAnswer(*list, world);
}

int AnyOnTheWay(const HiddenWindow *list)
{
    for (; list; list = list->next)
        if (list->asked != kSettled) return 1;
    return 0;
}

uint32_t NextLookMs(int looks)
{
    const int kQuickLooks = 20;  // a third of a second
    if (looks < kQuickLooks) return 15;
    return looks - kQuickLooks >= 6 ? 1000 : 30u << (looks - kQuickLooks);
}

FrontChoice FrontAfterShowing(ForegroundState foreground, int refused, int menuOpen, FrontState front,
                              uint32_t sinceRequestsMs)
{
    const int patient = sinceRequestsMs < kFrontPatienceMs;
    if (foreground == kForegroundInView) return kLeaveForeground;
    if (menuOpen || ((refused || front == kFrontOnTheWay) && patient)) return kWaitForFront;
    return front == kFrontInView && !refused ? kBringFrontForward : kGiveToWindowInView;
}

int OrderToAsk(const int *rank, int count, int *after)
{
    // A window asked goes right below the one stored before it, so those asked in a row after one
    // not asked (the anchor) will stand together right below it: window i stands right when it
    // stands below the anchor.
    int asked = 0;
    for (int i = 0; i < count; ++i) {
        int anchor = i - 1;
        while (anchor > 0 && after[anchor] >= 0) --anchor;
        after[i] = i > 0 && rank[i] < rank[anchor] ? i - 1 : -1;
        asked += after[i] >= 0;
    }
    return asked;
}

void ForgetAll(HiddenWindow **list)
{
    while (*list) Forget(list);
}
