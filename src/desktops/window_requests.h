// Other programs' windows, read and asked without waiting for them: their identity, whether the
// desktops may touch them, and the requests to hide or show that their threads carry out.
#pragma once
#include <windows.h>
#include "hidden_window.h"

int ReadIdentity(HWND window, WindowIdentity *identity);
int IsStillThatWindow(HWND window, const WindowIdentity &identity);
// The filter, with the identity that a record will keep: the WS_VISIBLE style, a class name that
// the exclusion list does not hold, and then, for newer shells, not one of their own hosts, not a
// window of the taskbar's own thread (the Start button of Vista and 7) and not cloaked (hidden by
// the system, as the Start menu's host and other virtual desktops are).
int ReadManageable(HWND window, WindowIdentity *identity);
// The WS_VISIBLE style bit, which the window structure holds: reading it never waits for the
// window's thread.
int IsShownNow(HWND window);
// Queues a request (ToAsk) for the window's thread and returns at once; 0 when refused (a window
// of a program with higher rights) or failed (a window gone).
int AskWindow(HWND window, int toAsk);
// Queues a request that the window go right below another, keeping its state.
int AskToGoBelow(HWND window, HWND above);
