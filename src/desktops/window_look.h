// What the desktops read of other programs' windows, never through a message to their threads:
// their identity, whether the commands may touch them, and whether one may take the focus.
#pragma once
#include <windows.h>
#include "hidden_window.h"

int ReadIdentity(HWND window, WindowIdentity *identity);
int IsStillThatWindow(HWND window, const WindowIdentity &identity);
// The WS_VISIBLE style bit, which the window structure holds: reading it never waits for the
// window's thread.
int IsShownNow(HWND window);
// The filter, with the identity that a record will keep: the WS_VISIBLE style, a class name that
// the exclusion list does not hold, not a window that serves every desktop (window_filter.h),
// and then, for newer shells, not one of their own hosts, not a window of the taskbar's own thread
// (the Start button of Vista and 7) and not cloaked (hidden by the system, as the Start menu's host
// and other virtual desktops are).
int ReadManageable(HWND window, WindowIdentity *identity);
// 1 when the window may be hidden, shown or closed by the desktops.
int IsManageableWindow(HWND window);
// Between ReadingManyWindows(1) and ReadingManyWindows(0), a command reads many windows at once:
// what is the same for all of them (the taskbar's thread) is read once.
void ReadingManyWindows(int reading);
// Whether the focus may go to the window after a command (FocusRank).
int FocusRankOf(HWND window);
