// A slot shown run by run on the real windows: what moves it on (its threads' answers, a short
// poll, its patience), and where the foreground goes at its end.
#pragma once
#include <windows.h>

// Starts showing the slot; self is the program's window, which holds the foreground meanwhile
// (NULL for a showing that leaves the foreground where it is).
void ShowSlotInOrder(int slot, HWND self);
// Ends a showing under way: the rest at once.
void FinishShowing();
// The callback of the WM_NULL that asks a thread for an answer.
VOID CALLBACK AnswerReceived(HWND window, UINT message, ULONG_PTR ticket, LRESULT result);
