// The timer settings dialog: create, edit and delete schemes; OK keeps, Cancel undoes.
#pragma once
#include <windows.h>
#include "../schemes/scheme.h"

INT_PTR CALLBACK SettingsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Enables the editing controls when a scheme is given and shows its fields.
void ShowScheme(HWND dialog, Scheme *scheme);
// Writes the live counter line; a lost reading leaves it as it was.
void ShowCounters(HWND dialog);

// The schemes as last confirmed: while the dialog is open, the copy taken at its opening (what
// Cancel would put back), else the scheme list. An exit or a session end writes these.
Scheme **ConfirmedSchemes();
// After the dialog's loop has ended: a dialog ended without OK or Cancel (the program quits
// under it) gives its unconfirmed edits up, as Cancel does.
void RollBackUnconfirmedEdits();
