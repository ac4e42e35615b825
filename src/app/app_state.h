// The program-wide state that start-up sets and the clean-up releases.
#pragma once
#include <windows.h>

const LONG kNoExitPending = -1;

HINSTANCE AppInstance();
void SetAppInstance(HINSTANCE instance);

// -1, or the ExitWindowsEx flags to request after the clean-up: 0 log off, 2 restart,
// 9 shut down and power off.
LONG PendingExitFlags();
void SetPendingExitFlags(LONG flags);

// The one light-blue brush behind every dialog and owner-drawn item.
HBRUSH BackgroundBrush();
void SetBackgroundBrush(HBRUSH brush);

BOOL AutorunFlag();
void SetAutorunFlag(BOOL set);

// Where the program and its companion files live: the folder of the running executable with
// its trailing backslash. Returns 0 when the path does not fit MAX_PATH.
int ProgramFolder(char folder[MAX_PATH]);

// A file beside the program: the executable's path with its last three characters ("exe")
// replaced by extension, as Trellith.exe keeps its schemes in Trellith.ini. 0 when the path does
// not fit MAX_PATH (a cut path would name some other file) or the name does not fit size bytes.
int FileBesideProgram(char *name, size_t size, const char *extension);

// Loads a DLL of the system by its full path in the system folder, never from the program's
// folder or the current one. Kept loaded for the rest of the process; NULL when it fails.
HMODULE LoadSystemModule(const char *name);
