// The desktops' decisions, apart from the platform: which request a window has carried out, which
// window goes with the desktop being left, which run of a showing goes next, and where the
// foreground goes at the end. What a window shows decides, never the order in which its thread
// answers: on Windows NT a thread takes its sent messages before its queued hides and shows.
#pragma once
#include "hidden_window.h"

// What the decisions may read of the windows and ask of them: the real windows in the program,
// a model on the host.
struct WindowWorld {
    int (*isSameWindow)(uintptr_t window, const WindowIdentity &identity);
    int (*isVisible)(uintptr_t window);                // as the window shows now, without waiting
    int (*ask)(uintptr_t window, int show);            // queues a hide or a show; 0 when refused
    // Answered() once its thread runs; 0 when that is our own thread, which runs anyway.
    int (*askForAnswer)(uintptr_t window, uint32_t ticket);
};
void SetWindowWorld(const WindowWorld *world);

// A thread that has answered a message sent after a request runs, and carries the request out
// within moments; a window that still shows the other state this long after the answer was
// changed by its own program.
const uint32_t kRunningThreadMs = 1000;
enum FollowVerdict { kKeepFollowing, kCarriedOut, kAskAgain, kGiveUp };
FollowVerdict Follow(int asked, int visible, int answered, uint32_t sinceAnswerMs, int askedAgain);

// The records: newest first, every slot in one list, and the windows shown again until they are
// seen in view.
HiddenWindow **FollowedWindows();
// Asks the window to hide into the slot. 1 done, 0 no memory, -1 refused by the system (no record
// is kept then: the window is not ours).
int HideToSlot(uintptr_t window, const WindowIdentity &identity, int slot, int wasActive);
// Asks a record's window to show and follows it until it is seen in view; a window that is gone
// or refuses is only forgotten.
void ShowRecord(HiddenWindow *record);
// Whether a switch takes the window along with the desktop it leaves: one shown here, one its own
// program showed again, an unknown manageable one; not one whose hide has not been carried out.
int GoesWithTheDesktop(uintptr_t window, int manageable, WindowIdentity *identity, uint32_t nowMs);
// Asks every thread with a request not yet answered for one answer.
void AskForAnswers(uint32_t nowMs);
// A thread's answer to a ticket, and a look at every followed record: settled ones let go.
void Answered(uint32_t threadId, uint32_t ticket, uint32_t nowMs);
void ObserveAll(uint32_t nowMs);
// 1 while a record still waits for its window to carry out a request.
int AnyFollowed();

// A slot shown run by run, most recently hidden first, one thread's run at a time, so that it
// comes back in the order it went: the next run goes once the run's windows are seen in view,
// and all the rest at once when the run's patience is spent. A window counts as in view once its
// thread has also answered after the show: under Wine the style bit is set before the show has
// put the window on top, and the next run must not overtake it.
uint32_t RunPatienceMs(int windows);
void StartShowing(int slot, uint32_t nowMs);
// Moves the showing on; 1 while it is under way.
int ShowingGoesOn(uint32_t nowMs);
void ShowRestAtOnce();
int ShowingUnderWay();

// At the end of a showing: the window that was in front comes forward once it is in view, else
// the shell's desktop takes the foreground, as the platform gives it when the window in front
// hides; neither while the user has moved the foreground away from us meanwhile.
enum FrontChoice { kLeaveForeground, kBringFrontForward, kGiveToShellDesktop };
FrontChoice FrontAfterShowing(int foregroundIsOurs, int frontInView);
uintptr_t ShowingFront();

// Frees every record (the end of the program, or a host test's start).
void ForgetAllWindows();
