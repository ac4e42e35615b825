// The keys (key_rules.h), registered on the main window from its start to its end.
#pragma once
#include <windows.h>

// Each key that no other program has taken first, unless the DWORD value Hotkeys under
// HKEY_CURRENT_USER\Software\Trellith is 0. A key taken is skipped without a word.
void RegisterDesktopKeys(HWND window);
void UnregisterDesktopKeys(HWND window);
// The keys another program had registered first, a bit each (1 << id, key_rules.h).
unsigned KeysTakenByOthers();
// A WM_HOTKEY: shows a desktop, sends the window in front to one, opens the list of every window,
// or keeps the window in front on every desktop.
void OnDesktopKey(HWND window, int id);
