// The one icon in the notification area. It shows the desktop in view; the desktops know
// nothing of it.
#pragma once
#include <windows.h>
#include <shellapi.h>

// Loads the four desktop icons and adds the icon of desktop 0 with its tooltip.
void AddTrayIcon(HWND window);
// Adds the icon again after the taskbar was re-created (Explorer restarted), as it was.
void ReAddTrayIcon();
// A shell still busy at log-on refuses the first add: it is tried again, once a tick, until
// the icon is there.
void RetryTrayIcon();
void ShowDesktopIcon(int desktop);
void RemoveTrayIcon();

// The notification record as the shell was last given it.
const NOTIFYICONDATAW &TrayRecord();
