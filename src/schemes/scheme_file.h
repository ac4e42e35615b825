// The scheme file beside the executable: Trellith.exe keeps its schemes in Trellith.ini.
#pragma once

// Fills the scheme list and the force-close option from the file; 1 when the file was
// accepted. A file that exists but is rejected is kept as "<name>.bad" before anything could
// overwrite it.
int LoadSchemes();

// Replaces the file with the scheme list and the force-close option; 1 on success. The new
// content goes to a temporary file that takes the old one's place only once it is complete,
// so a failure at any point leaves the old file as it was.
int SaveSchemes();
