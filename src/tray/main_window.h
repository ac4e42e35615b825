// The hidden main window: it carries the tray icon, the menu's commands and the main timer.
#pragma once
#include <windows.h>

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
