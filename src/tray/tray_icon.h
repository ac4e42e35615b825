// The one icon in the notification area.
#pragma once
#include <windows.h>

// Loads the four desktop icons and adds the icon of desktop 0 with its tooltip.
void AddTrayIcon(HWND window);
// Adds the icon again after the taskbar was re-created (Explorer restarted), with the icon of
// the desktop in view.
void ReAddTrayIcon();
void ShowDesktopIcon(int desktop);
void RemoveTrayIcon();

// The icon that the notification record holds now.
HICON TrayIconHandle();
