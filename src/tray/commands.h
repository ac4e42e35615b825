// The popup menu's commands, the tray callback message and the main timer.
#pragma once

#define IDM_ABOUT 1031
#define IDM_LOGOFF 1033
#define IDM_RESTART 1034
#define IDM_SHUTDOWN 1035
#define IDM_CDROM_OPEN 1036
#define IDM_CDROM_CLOSE 1037
#define IDM_TIMER_SETTINGS 1038
#define IDM_EXIT 1039
#define IDM_CLOSE_WINDOW 1040
#define IDM_STORE_WINDOW 1041
#define IDM_RESTORE_WINDOWS 1042
#define IDM_CLEAR_DESKTOP 1043

#define WM_TRAYNOTIFY 0x0400  // WM_USER
#define WM_MENU_CLOSED 0x8001  // WM_APP + 1: posted once the tray menu has closed
#define WM_SHOW_WINDOW_LIST 0x8002  // WM_APP + 2: the list of every window is to open
#define TRAY_ICON_ID 102
#define TIMER_ID 1030
#define TIMER_PERIOD_MS 1000
