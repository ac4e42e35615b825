// The recovery file: the windows that may be hidden, on disk, so that a start after a hard kill
// shows what the run before left hidden. It lives in the user's temporary folder under the logon
// session's name: one instance runs in a session, no other user may read or delete it there, and
// a second session (fast user switching, terminal services) has a name of its own.
#pragma once
#include <stddef.h>
#include "hidden_window.h"

int RecoveryFileName(char *name, size_t size);  // 0 when it does not fit MAX_PATH + 40 bytes
// This boot and this logon session, as the file records them.
RecoveryStamp CurrentRecoveryStamp();
// Writes the file when the windows in the slots are not those it holds (at most once for each
// change of them); none, no file.
void WriteRecoveryFileIfChanged();
void RemoveRecoveryFile();
// At start: shows the windows that the file names and that are still the same windows, hidden;
// one still in view is watched for a while, since its queued hide may come yet.
void RecoverHiddenWindows();
// Once a tick: the windows watched since the start.
void WatchRecoveredWindows();
void StopWatchingRecoveredWindows();
