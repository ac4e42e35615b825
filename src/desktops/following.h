// The desktops' decisions, apart from the platform: which request each window is owed, which
// request a window has carried out, which window goes with the desktop being left, and where the
// foreground goes. Functions of the records and of what was seen, and nothing else.
//
// A request is queued for the window's thread, which carries out its requests in order, whenever
// it next takes its queue. Its answers to sent messages say nothing of that: a thread that waits
// inside its own SendMessage answers for as long as it waits and carries out nothing. So a request
// is carried out only when the window is seen to show it after every change still owed to the
// requests before it, and a settled window that changes later was changed by its own program.
#pragma once
#include "hidden_window.h"

// What the decisions may read of the windows and ask of them: the real windows in the program, a
// model on the host. Passed in, never kept.
struct WindowWorld {
    int (*isSameWindow)(uintptr_t window, const WindowIdentity &identity);
    int (*isShown)(uintptr_t window);  // as the window shows now, without waiting for its thread
    int (*ask)(uintptr_t window, int toAsk);  // queues the request (ToAsk); 0 when refused or failed
    // Asks the window's thread to answer once it takes sent messages, which is when to look again;
    // 0 when the message could not be sent.
    int (*askForAnswer)(uintptr_t window);
    uint32_t (*nowMs)();  // the clock of the platform's reports
};

// A look at a record's window, which shows shown now, or has just changed to it (an event of the
// platform): the record learns what the window did. Where nothing reports a change, a thread may
// carry out several requests between two looks, which then show as one change or none: once the
// window shows what was last asked and its thread has answered since, nothing of ours is still
// to come, and the record is settled.
enum Sighting { kSettledAlready, kStillOnTheWay, kCarriedOut, kChangedByItsProgram };
Sighting See(HiddenWindow *record, int shown);

// The record keeps its window for the slot, and the request that puts it there is decided: asked
// at once (toAsk), even where the window already shows it, since it queues behind any request
// still on the way. Nothing new is asked where the last request asked the same. After a look at
// the window, and once the record's last request decided has been made.
void Want(HiddenWindow *record, int show, int toAsk);

// A switch meets a window: whether it goes with the desktop being left. One shown here goes,
// carried out or not; one whose hide is on the way stays where that puts it; one settled in its
// slot goes only when its own program showed it again, which makes it a window of the desktop in
// view; any other goes when it is manageable.
int GoesWithTheDesktop(const HiddenWindow *record, int manageable);
// Clearing the desktop meets a window: whether it is in view and may be asked to close. One whose
// hide is on the way belongs to another desktop already.
int MayCloseInView(const HiddenWindow *record, int manageable);

// How a window taken into a slot stood: in front of the desktop being left (it comes forward when
// that desktop comes back), and holding the foreground still, our own call for it refused. Such a
// window is hidden from its own thread, which hands the activation on as the platform does after a
// window hidden; every other keeps its place and the activation. A window sent away while it holds
// the foreground hides itself so, but is not its desktop's front.
enum InFront { kNotInFront = 0, kFrontOfItsDesktop = 1, kHoldingForeground = 2 };
// Records the window into the slot, at the head of the list (newest first), and decides its hide;
// shown is what the window shows now, front the InFront flags. NULL when no record could be had.
HiddenWindow *TakeIntoSlot(HiddenWindow **list, uintptr_t window, const WindowIdentity &identity, int shown,
                           int slot, int front, const WindowWorld &world);
// Decides the show of every record of the slot, which is in view from now on; onTop shows the
// stash, which comes back on top of what is in view, the most recently stored first, so that the
// first stored ends on top. Returns the window that was in front when the slot was left, or 0.
uintptr_t BringSlotIntoView(HiddenWindow **list, int slot, int onTop, const WindowWorld &world);
// The same for one window of a slot, the rest of which stays where it is; nothing where the window
// has no record in a slot.
void BringWindowIntoView(HiddenWindow **list, uintptr_t window, int onTop, const WindowWorld &world);

// Makes every request decided; a refused one forgets its record: the window is not ours. Then
// asks each thread with a request on the way for an answer, one message at a time. The hide of the
// window that holds the foreground waits for MakeFrontsHide.
void MakeRequests(HiddenWindow **list, const WindowWorld &world);
// The window that holds the foreground hides itself only once every other window leaving is seen
// hidden, so that the platform's walk to the next window to activate reaches only windows in view
// (one still shown there would take the keys, and keep them once its hide comes); or, where a
// program is hung, once the patience after the requests (kFrontPatienceMs) has run out. After the
// looks that follow MakeRequests, and after every later one while it waits.
void MakeFrontsHide(HiddenWindow **list, const WindowWorld &world);
// A look at one record's window (at link), or at all: a window gone is forgotten, and a window
// seen in view as asked is no longer ours. 0 when the record is gone from the list.
int LookAt(HiddenWindow **link, const WindowWorld &world);
// The record of a window, after a look at it; NULL when there is none (any more).
HiddenWindow *RecordOf(HiddenWindow **list, uintptr_t window, const WindowWorld &world);
// The record of a window a switch meets, after a look at it, but for a window that does not read
// as manageable and whose record is settled in its slot, hidden: it is as it was (the tick's looks
// forget one gone), and a switch reads only the windows in view, not every desktop's.
HiddenWindow *RecordMetBySwitch(HiddenWindow **list, uintptr_t window, int manageable, const WindowWorld &world);
void LookAtAll(HiddenWindow **list, const WindowWorld &world);
// The poll's look: at the windows whose request is on the way, but not at those of a thread that
// has not yet answered the message sent after their requests (it has not run since: its answer
// brings the look), and at a window's identity only where it changed.
void LookAtTheWaiting(HiddenWindow **list, const WindowWorld &world);
// The window changed to shown at eventMs, as an event of the platform says; a report from before
// the look that decided the window's last request is in what that look saw.
void WindowChanged(HiddenWindow **list, uintptr_t window, int shown, uint32_t eventMs, const WindowWorld &world);
// A thread answered: a look at its windows, and it is asked again for the requests made after the
// message it answered.
void ThreadAnswered(HiddenWindow **list, uint32_t threadId, const WindowWorld &world);
// 1 while a record still waits for its window to carry out a request.
int AnyOnTheWay(const HiddenWindow *list);

// Where no event tells when a window changed: the waits between looks while a request is on the
// way, short for a third of a second, then longer up to a second (the tick), so that a hung
// program costs next to nothing.
uint32_t NextLookMs(int looks);

// Where the foreground goes once a command has changed what is in view. Our own window (the tray
// menu leaves it there), no window, or a window that no longer shows or is on its way out holds
// it: ours to hand on, as the platform hands it on when the window in front hides itself. A
// window in view holds it, which the user chose: left alone. Never while a menu of ours is open
// (handing it on would close the menu). Where our own call was refused (the foreground lock of
// Windows 2000 and later), every later one is likely refused too, and the window in front hands
// the activation on from its own thread as it hides: it is looked at until the foreground is in
// view, and only once the patience has run out is a window in view asked to take it. Otherwise the
// window that was in front comes forward once it is seen in view; while its show is on the way it
// is waited for, but no longer than about a second after the requests (its program may be hung):
// then, as without one, the window in view that may take the focus (FocusRank) takes it, or where
// there is none, the shell's desktop.
enum ForegroundState { kForegroundInView, kForegroundOursToHandOn };
enum FrontState { kNoFront, kFrontOnTheWay, kFrontInView };
enum FrontChoice { kLeaveForeground, kWaitForFront, kBringFrontForward, kGiveToWindowInView };
const uint32_t kFrontPatienceMs = 1000;
FrontChoice FrontAfterShowing(ForegroundState foreground, int refused, int menuOpen, FrontState front,
                              uint32_t sinceRequestsMs);

// The stash comes back in its order, whatever order the programs carry out their requests in.
// rank[i] is where the window stored i-th now stands among the others (the smaller, the higher);
// the first stored should be on top. Fills after[i] with the window that window i is to be asked
// to go right below, or -1 where it stands right, and returns how many are to be asked.
int OrderToAsk(const int *rank, int count, int *after);

// Frees every record.
void ForgetAll(HiddenWindow **list);
