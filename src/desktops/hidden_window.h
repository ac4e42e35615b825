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

// What was last asked of a window's thread, until the window is seen to have carried it out.
enum Asked { kNothingAsked, kHideAsked, kShowAsked };

struct HiddenWindow {
    uintptr_t window;
    WindowIdentity identity;
    int32_t slot;        // 0 to 3 a desktop, 4 the stash, kInViewSlot shown again
    int32_t asked;       // Asked: kNothingAsked once the window shows what was asked
    uint32_t ticket;     // of the request: an answer to it or a later one says the thread runs
    int32_t hinted;      // a message asking its thread to answer went out after the request
    int32_t answered;    // and came back, at answeredMs
    uint32_t answeredMs;
    int32_t askedAgain;  // shown a second time, after its running thread left it hidden
    int32_t wasActive;   // it was in front when its desktop was left
    HiddenWindow *next;
};

int SameIdentity(const WindowIdentity &a, const WindowIdentity &b);

// The record of a window, or NULL.
HiddenWindow *FindHiddenWindow(HiddenWindow *list, uintptr_t window);

// Takes a record out of the list; the others keep their order.
void UnlinkHiddenWindow(HiddenWindow **list, HiddenWindow *record);

// Unlinks every record of the slot and returns them, in list order (newest first), as a list
// of their own: whatever happens to the list meanwhile, the caller alone frees these.
HiddenWindow *DetachSlot(HiddenWindow **list, int slot);

// Tickets are issued in increasing order and wrap: a ticket is settled by any answer to it or
// to a later one from the same thread, since a thread carries out its requests in order.
int TicketSettledBy(uint32_t ticket, uint32_t answered);

// The recovery file: the windows held in the slots, so that a new start after a hard kill can
// show them again (a show already asked for stays queued for its window's thread when we die).
// Little-endian: "TRHW", version 2, count, a checksum of the rest, the boot time (seconds, 64
// bits), the logon session (64 bits), then per record the window (64 bits), process id, thread
// id, slot and the 32-byte class name.
const size_t kRecoveryHeaderSize = 32, kRecoveryRecordSize = 52;
struct RecoveryStamp {
    uint64_t bootSeconds;  // the system time when the tick count was 0
    uint64_t logonSession;
};
// Two boot times that differ by less than this are the same boot: the clock may be set meanwhile.
const uint64_t kBootToleranceSeconds = 120;
// FNV-1a: enough to tell a damaged file from a sound one, or a changed list from the last.
uint32_t Checksum(const unsigned char *data, size_t size);
size_t RecoveryFileSize(const HiddenWindow *list);  // 0 when no record is in a slot
void EncodeRecoveryFile(const HiddenWindow *list, const RecoveryStamp &stamp, unsigned char *out);

struct RecoveredWindow {
    uint64_t window;
    WindowIdentity identity;
    int32_t slot;
};
// Calls each for every record, but only once the whole file has proved sound: right size,
// signature, version, checksum, slots and names, all as the encoder writes them, and written in
// this boot and logon session. 0 for a damaged or foreign file, or one of another boot or
// session.
int DecodeRecoveryFile(const unsigned char *data, size_t size, const RecoveryStamp &now,
                       void (*each)(const RecoveredWindow &window, void *context), void *context);
