// The scheme file beside the executable: Trellith.exe keeps its schemes in Trellith.ini.
#pragma once
#include <stddef.h>
#include "scheme.h"

// The file's full name; 0 when the executable's path does not fit 256 bytes.
const size_t kSchemeFileNameSize = 256;
int SchemeFileName(char name[kSchemeFileNameSize]);

// Fills the scheme list and the force-close option from the file; 1 when the file was
// accepted. A file that exists but is rejected is kept as "<name>.bad" (or "<name>.bad2" and so
// on, where an earlier copy stands) before anything could overwrite it; an empty file is the
// saved empty list and needs no copy. A "<name>.new" left by a save cut short is removed beside
// a scheme file, takes its place where it is alone and a complete save, and is kept aside like
// a damaged file otherwise. A file that exists but cannot be read is never overwritten until
// RetryUnreadSchemeFile has read it: called once a tick, it tries again at once when another
// program holds the file for a moment, and after longer and longer waits when it cannot be read
// for good; now tries at once either way.
int LoadSchemes();
void RetryUnreadSchemeFile(int now);

// Replaces the file with a list and the force-close option; 1 on success. The new content goes
// to a temporary file that takes the old one's place only once it is complete and on the disk,
// and the replace is flushed before the save counts as done, so a failure or a power cut at any
// point leaves the old file or the new one. A file that another program holds for a moment is
// waited for, about a second in all. A file whose bytes are not those this run last read or wrote
// there was changed by another writer meanwhile: its changes are merged into *list first
// (MergeSchemes). One writer at a time, across sessions: "<name>.lock" is held from that
// comparison to the flush, waited for within the same second. SaveSchemes saves the scheme list.
int SaveSchemeList(Scheme **list);
int SaveSchemes();
