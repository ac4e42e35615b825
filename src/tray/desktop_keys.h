// The keys for the desktops (key_rules.h), registered on the main window from its start to its end.
#pragma once
#include <windows.h>

// Each key that no other program has taken first, unless the DWORD value Hotkeys under
// HKEY_CURRENT_USER\Software\Trellith is 0. A key taken is skipped without a word.
void RegisterDesktopKeys(HWND window);
void UnregisterDesktopKeys(HWND window);
// A WM_HOTKEY: shows a desktop or sends the window in front to one.
void OnDesktopKey(HWND window, int id);
