// The list of every window: a popup menu in the main menu's look, with a part for each desktop,
// the stash and the windows kept on every desktop, each listing its windows by title in their
// order there, and at its foot the keys another program holds. Read when it opens, gone when it
// closes; a window chosen goes through the commands the keys use (desktops.h).
#pragma once
#include <windows.h>

// Opens the list at the cursor (Ctrl+Alt+F5, as WM_SHOW_WINDOW_LIST). Where a menu of ours is
// still closing, it opens once that is closed; tries: how many times it has waited for that.
void ShowWindowList(HWND window, int tries);
// While the list is open, the main window's owner-drawn items are its.
int WindowListOpen();
void MeasureListItem(HWND window, MEASUREITEMSTRUCT *item);
void DrawListItem(const DRAWITEMSTRUCT *item);
