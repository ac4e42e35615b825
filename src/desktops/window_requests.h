// Requests to other programs' windows, made without waiting for them: to hide, to show, to go
// below another, each carried out by the window's own thread in its own time.
#pragma once
#include <windows.h>
#include "hidden_window.h"

// Queues a request (ToAsk) for the window's thread and returns at once; 0 when refused (a window
// of a program with higher rights) or failed (a window gone).
int AskWindow(HWND window, int toAsk);
// Queues a request that the window go right below another, keeping its state.
int AskToGoBelow(HWND window, HWND above);
