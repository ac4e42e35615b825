// The recovery file: the windows that a request of ours may have left hidden, on disk, so that a
// start after a hard kill shows what the run before left hidden. It lives in the user's temporary
// folder under the logon session's name: one instance runs in a session, no other user may read
// or delete it there, and a second session (fast user switching, terminal services) has a name of
// its own. What it holds is stamped with a random mark that the logon keeps in a volatile
// registry key, which the system drops at a log-off and at a restart: no clock is read.
#pragma once
#include <stddef.h>
#include "hidden_window.h"

int RecoveryFileName(char *name, size_t size);  // 0 when it does not fit MAX_PATH + 40 bytes
// This logon, as the file records it.
RecoveryStamp CurrentRecoveryStamp();
// Before the requests of a change are made: writes the file when the windows followed are not
// those it holds, or when it is gone (a cleaned temporary folder); none, no file.
void WriteRecoveryFile();
void RemoveRecoveryFile();
// At start: asks every window that the file names and that is still the same window to show,
// whatever it shows now, so that the show queues behind a hide still on the way however long its
// program is busy. The file goes, unless this logon's mark cannot be had (it may be ours).
void RecoverHiddenWindows();
