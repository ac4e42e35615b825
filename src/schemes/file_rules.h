// What the scheme file's start and save decide about a save cut short and about a file that
// another program holds, apart from the platform.
#pragma once
#include <stddef.h>
#include <stdint.h>

// A "<name>.new" found at start. The replace that ends a save is a delete and a rename on FAT,
// and a power cut can fall between the two: a scheme file that is there is the truth and a .new
// beside it is left over; a .new alone that is a complete save is the last save, cut short.
enum LeftoverAction { kNoLeftover, kRemoveLeftover, kPromoteLeftover, kSetLeftoverAside };
LeftoverAction LeftoverNewFileAction(int schemeFileThere, int newFileThere, int newFileComplete);

// Whether the bytes are a save as this program writes it: the empty list (no bytes at all), or a
// file that the reading rules accept, as the program writes back whatever they accept (a scheme
// without a name from a hand-made file, say). A file whose length reached the disk and whose
// data did not, or not all of it, reads as zeros from some point on: one whose last record is all
// zeros is torn.
int IsCompleteSave(const unsigned char *data, size_t size);

// Errors that mean another program holds the file for a moment (a virus scanner opens a file
// just after it is closed). The replace also meets an access refusal while the scheme file is
// open without delete sharing; the save has just shown that it may write the file.
int IsBriefLock(uint32_t error, int replacing);

// Whether the writers' lock that could not be had is another writer's for now, to be waited for: a
// sharing or lock violation, or "access denied" where the lock file is there, which is what a lock
// just closed by its holder answers while it is deleted but still open elsewhere (GetFileAttributes
// then fails with "access denied" too, or succeeds). Where the lock file is not there, "access
// denied" is a folder that may not be written, which no wait mends.
int IsLockHeldElsewhere(uint32_t error, int lockFileThere);

// The force-close word that the bytes of a scheme file stand for: the last word of a file of
// schemes; the empty file keeps none, and stands for the word in effect when it was read or written.
uint32_t WordOfFile(const unsigned char *data, size_t size, uint32_t wordInEffect);

// The wait before the next try while a save meets a brief lock: short at first, then longer,
// and 0 once the save has spent its one deadline (about a second for the whole save, however
// many steps meet a lock), so that a session end is never held up for longer.
const uint32_t kBriefLockDeadlineMs = 1000;
uint32_t BriefLockWaitMs(int attempt, uint32_t elapsedMs);

// A scheme file that cannot be read for good (no right to read it, a folder of that name, too
// big to read into memory) is tried again after this many ticks: 2, 4, 8 ... up to 256, since a
// person may mend it.
uint32_t UnreadableRetryTicks(int failures);

// The session action's flags. Without the force option, Windows 2000 and later (major version
// 5 and up) end only the programs that do not answer (EWX_FORCEIFHUNG), so that one hung program
// cannot hold up a timed log-off; NT 4 does not know the flag.
const uint32_t kExitForce = 0x4, kExitForceIfHung = 0x10;
uint32_t SessionExitFlags(uint32_t flags, uint32_t forceOption, uint32_t majorVersion);
