// The one icon in the notification area.
#pragma once
#include <windows.h>
#include <shellapi.h>

// Loads the four desktop icons and adds the icon of desktop 0 with its tooltip.
void AddTrayIcon(HWND window);
// Adds the icon again after the taskbar was re-created (Explorer restarted), with the icon of
// the desktop in view.
void ReAddTrayIcon();
void ShowDesktopIcon(int desktop);
void RemoveTrayIcon();

// The notification record as the shell was last given it.
const NOTIFYICONDATAA &TrayRecord();
