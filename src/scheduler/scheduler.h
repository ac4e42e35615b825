// The once-a-second trigger evaluation and the countdown dialog.
#pragma once
#include <windows.h>
#include "../schemes/scheme.h"

// One tick of the main timer: reads the counters and fires the first due scheme.
void OnMainTimerTick(HWND mainWindow);

// The scheme whose countdown runs.
Scheme *FiringScheme();

INT_PTR CALLBACK CountdownDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
