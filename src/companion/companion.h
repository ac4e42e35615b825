// Binding of the companion module Trellith.dll and reading of its counters.
#pragma once
#include "counters.h"

// Loads Trellith.dll from the program's own folder, never through the search path, and takes
// its two entries. Returns 0 when the module cannot be loaded.
int LoadCompanion();
void UnloadCompanion();

// Starts (or restarts) the counters. 0 when they cannot be started, or when the module offers
// no "GetTime".
int StartCounters();

// Reads the four counters. A lost reading (timeOfDay 0) restarts the counters once, ignoring
// the result, and returns 0: the caller does nothing more this time.
int ReadCounters(Counters *counters);

// Fills the 128-byte About block; a module without "GetString" gives an all-zero block.
void ReadAboutBlock(char block[kAboutBlockSize]);

// For tests: replace the module's entries (NULL for a missing entry).
void SetCompanionEntries(GetTimeFn getTime, GetStringFn getString);
