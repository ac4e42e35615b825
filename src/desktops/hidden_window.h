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

struct HiddenWindow {
    uintptr_t window;
    WindowIdentity identity;
    int32_t slot;       // 0 to 3 a desktop, 4 the stash, kInViewSlot shown again
    uint32_t ticket;    // non-zero until the window's thread has carried out our last request
    int32_t wasActive;  // it was in front when its desktop was left
    int32_t shownAgain; // shown a second time, after its thread's answer found it hidden
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
// show them again. Little-endian: "TRHW", version 1, count, a checksum of the records, then
// per record the window (64 bits), process id, thread id, slot and the 32-byte class name.
const size_t kRecoveryHeaderSize = 16, kRecoveryRecordSize = 52;
size_t RecoveryFileSize(const HiddenWindow *list);  // 0 when no record is in a slot
void EncodeRecoveryFile(const HiddenWindow *list, unsigned char *out);

struct RecoveredWindow {
    uint64_t window;
    WindowIdentity identity;
    int32_t slot;
};
// Calls each for every record, but only once the whole file has proved sound: right size,
// signature, version, checksum, slots and names, all as the encoder writes them. 0 for a
// damaged or foreign file.
int DecodeRecoveryFile(const unsigned char *data, size_t size,
                       void (*each)(const RecoveredWindow &window, void *context), void *context);
