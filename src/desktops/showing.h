// Where the foreground goes once a desktop is shown: to the window that was in front when it was
// left, once that is seen in view, else to the shell's desktop; never left on our invisible
// window, never taken from a window the user brought forward meanwhile, and never while a menu of
// ours is open.
#pragma once
#include <windows.h>

// self is the program's window, which holds the foreground while the windows go; front the
// window that was in front on the desktop now in view, or NULL.
void HandOverForeground(HWND self, HWND front);
void StopHandingOver();
