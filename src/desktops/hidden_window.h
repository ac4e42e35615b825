// The records of the windows that the desktops hold, apart from the platform: what a record
// says about its window, and the recovery file that mirrors them on disk.
#pragma once
#include <stddef.h>
#include <stdint.h>

const int kDesktopCount = 4;
const int kStashSlot = 4;
// A window shown again whose program has not yet carried out the request: still ours to
// follow, so that a switch made meanwhile takes it along with the desktop it appeared on.
const int kInViewSlot = -1;

// What makes a window handle the same window later: handles are reused once a window is gone.
struct WindowIdentity {
    uint32_t processId;
    uint32_t threadId;
    char className[32];  // as the platform reads it, at most 31 characters
};

// A request decided for a window and not yet made: a change writes the recovery file first.
// kAskHideInFront hides the window in front from its own thread, which hands the activation on.
enum ToAsk { kNothingToAsk, kAskHide, kAskShow, kAskShowOnTop, kAskHideInFront };

struct HiddenWindow {
    uintptr_t window;
    WindowIdentity identity;
    int32_t slot;        // 0 to 3 a desktop, 4 the stash, kInViewSlot shown again
    // The last request (1 show, 0 hide) while the window has not been seen to carry it out, or
    // -1 once it has: then the record is settled.
    int32_t asked;
    // How many times the window's shown state must still change before it shows what was last
    // asked: a thread carries out its requests in order, so a request asked behind another one
    // still on the way is carried out only after that one.
    int32_t changesOwed;
    int32_t seenShown;   // its shown state as last seen
    int32_t toAsk;       // ToAsk
    // Its identity was read for the request decided now: the request needs no second look at it.
    int32_t identityFresh;
    int32_t hinted;      // Hint: a message asking its thread to answer
    int32_t answered;    // its thread answered a message sent after its last request
    int32_t wasActive;   // it was in front when its desktop was left
    // When the window was read for its last request: a change reported from before is in what
    // that read saw, and is not the request's.
    uint32_t readAtMs;
    HiddenWindow *next;
};
const int32_t kSettled = -1;
// A message asking the window's thread to answer: none, on the way and sent after the record's
// last request, or on the way from before it (its answer says nothing of that request).
enum Hint { kNoHint, kHintOnTheWay, kHintFromBefore, kHintTried };

int SameIdentity(const WindowIdentity &a, const WindowIdentity &b);

// The record of a window, or NULL.
HiddenWindow *FindHiddenWindow(HiddenWindow *list, uintptr_t window);

// Takes a record out of the list; the others keep their order.
void UnlinkHiddenWindow(HiddenWindow **list, HiddenWindow *record);

// The recovery file: every window that a request of ours may have left hidden, so that a new
// start after a hard kill can ask them to show again (the show queues behind any hide that is
// still on the way). Little-endian: "TRHW", version 3, count, a checksum of the rest, the logon
// mark (64 bits), the logon session (64 bits), then per record the window (64 bits), process id,
// thread id, slot (-1 for a window shown again) and the 32-byte class name.
const size_t kRecoveryHeaderSize = 32, kRecoveryRecordSize = 52;
struct RecoveryStamp {
    // A random number made once in each logon (kept where the system forgets it at a log-off
    // and at a restart): 0 when it could not be had.
    uint64_t logonMark;
    uint64_t logonSession;
};
// FNV-1a: enough to tell a damaged file from a sound one, or a changed list from the last.
uint32_t Checksum(const unsigned char *data, size_t size);
size_t RecoveryFileSize(const HiddenWindow *list);  // 0 for no record
void EncodeRecoveryFile(const HiddenWindow *list, const RecoveryStamp &stamp, unsigned char *out);

struct RecoveredWindow {
    uint64_t window;
    WindowIdentity identity;
    int32_t slot;
};
// Calls each for every record, but only once the whole file has proved sound: right size,
// signature, version, checksum, slots and names, all as the encoder writes them, and written in
// this logon. kRecoveryRead then; kRecoveryNotOurs for a damaged or foreign file, or one of
// another boot or logon, which can go; kRecoveryUnknown, with nothing called, where this logon's
// mark could not be had: the file may be ours, and stays.
enum RecoveryOutcome { kRecoveryNotOurs, kRecoveryRead, kRecoveryUnknown };
int DecodeRecoveryFile(const unsigned char *data, size_t size, const RecoveryStamp &now,
                       void (*each)(const RecoveredWindow &window, void *context), void *context);
