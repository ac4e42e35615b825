// The owner-drawn popup menu of the tray icon.
#pragma once
#include <windows.h>

// Creates the menu once; it lives as long as the process.
void BuildPopupMenu();
HMENU PopupMenu();
// Opens the menu at the cursor; a chosen item arrives afterwards as WM_COMMAND.
void ShowTrayMenu(HWND window);
// Disabling uses MF_DISABLED alone: the owner drawing shows it.
void EnableCommand(UINT command, BOOL enable);
