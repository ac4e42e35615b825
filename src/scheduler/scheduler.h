// The once-a-second trigger evaluation and the countdown dialog.
#pragma once
#include <windows.h>
#include "../schemes/scheme.h"

// One tick of the main timer: reads the counters and fires the first due scheme.
void OnMainTimerTick(HWND mainWindow);

// The scheme whose countdown runs, and whether its countdown dialog is open.
Scheme *FiringScheme();
BOOL CountdownRunning();

INT_PTR CALLBACK CountdownDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
