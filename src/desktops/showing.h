// What is in front once a command has changed what is in view: the foreground, handed to the
// window that was in front when its desktop was left once that is seen in view, else to the window
// in view that Windows itself would activate (FocusRank) or the shell's desktop; never left on our
// invisible window or on a window that no longer shows, never taken from a window the user brought
// forward meanwhile, and never while a menu of ours is open. And the stash, brought back in the
// order it was stored.
#pragma once
#include <windows.h>
#include "hidden_window.h"

// self is the program's window, which holds the foreground while the windows go; front the
// window that was in front on the desktop now in view, or NULL; refused, that our own call for
// the foreground was refused as the command started.
void HandOverForeground(HWND self, HWND front, int refused);
// A new command: what the last one left to do here (the hand-over, the stash's order) ends.
void StopHandingOver();
// Whether a hand-over is under way.
int HandingOver();
// Whether a menu of ours (the tray menu) is open: it closes when the foreground leaves us.
int MenuOpen();

// The stash, top first as it should stand: checked once every window of it shows, and the
// windows out of place asked again, without waiting for any program. Takes the array (malloc'd).
struct StoredWindow {
    HWND window;
    WindowIdentity identity;
};
void KeepInStoredOrder(StoredWindow *stored, int count);
