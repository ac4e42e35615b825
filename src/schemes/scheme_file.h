// The scheme file beside the executable: Trellith.exe keeps its schemes in Trellith.ini.
#pragma once
#include <stddef.h>
#include "scheme.h"

// The file's full name; 0 when the executable's path does not fit 256 bytes.
const size_t kSchemeFileNameSize = 256;
int SchemeFileName(char name[kSchemeFileNameSize]);

// Fills the scheme list and the force-close option from the file; 1 when the file was
// accepted. A file that exists but is rejected is kept as "<name>.bad" before anything could
// overwrite it. One that exists but cannot be read (another program holds it for a moment) is
// never overwritten until RetryUnreadSchemeFile, called once a tick, has read it.
int LoadSchemes();
void RetryUnreadSchemeFile();

// Replaces the file with a list and the force-close option; 1 on success. The new content goes
// to a temporary file that takes the old one's place only once it is complete, so a failure at
// any point leaves the old file as it was. SaveSchemes saves the scheme list.
int SaveSchemeList(const Scheme *list);
int SaveSchemes();
