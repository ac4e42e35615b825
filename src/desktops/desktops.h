// Four virtual desktops and a stash slot, made by hiding other programs' windows.
#pragma once
#include <windows.h>

const int kDesktopCount = 4;
const int kStashSlot = 4;

// 1 when the window has the WS_VISIBLE style and its class is not one of the shell's.
int IsManageableWindow(HWND window);

// EnumWindows callbacks, also called for single windows. HideWindowToSlot returns FALSE only
// when no record could be allocated, which ends an enumeration at that window.
BOOL CALLBACK HideWindowToSlot(HWND window, LPARAM slot);
BOOL CALLBACK ClosePolitely(HWND window, LPARAM unused);
// Shows the windows of a slot, most recently hidden first, and forgets them.
void ShowSlot(int slot);
// Every slot, desktop 0 first and the stash last, so that no window stays hidden.
void ShowAllSlots();

// The tray's operations.
void RecordCurrentWindow();
void SwitchDesktop();
void CloseCurrentWindow();
void StoreCurrentWindow();
void RestoreStoredWindows();
void ClearCurrentDesktop();

int CurrentDesktop();

// Makes a fault of this process show every hidden window again before the process dies.
void InstallFaultWindowRescue();
