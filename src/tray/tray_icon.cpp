#include "tray_icon.h"
#include "commands.h"
#include "../app/app_state.h"
#include "../app/seams.h"
#include "../app/wide_text.h"
#include "../desktops/hidden_window.h"
#include "../res/resource.h"

// The first form of the record, szTip of 64 characters its last field: the wide one, so that the
// shell shows the tooltip as written, whatever its own code page.
static_assert(sizeof(void *) != 4 || NOTIFYICONDATAW_V1_SIZE == 152, "notification record size");

static NOTIFYICONDATAW g_record;
static HICON g_icons[kDesktopCount];
static BOOL g_added;  // the shell holds the icon

// A busy shell, at log-on, lets the add time out and may add the icon all the same: a modify
// then finds it there.
static void Add()
{
    g_added = g_seams.shellNotifyIcon(NIM_ADD, &g_record) || g_seams.shellNotifyIcon(NIM_MODIFY, &g_record);
}

void AddTrayIcon(HWND window)
{
    static const WORD kIconIds[kDesktopCount] = {IDI_DESKTOP0, IDI_DESKTOP1, IDI_DESKTOP2, IDI_DESKTOP3};
    for (int i = 0; i < kDesktopCount; ++i)
        g_icons[i] = LoadIconA(AppInstance(), MAKEINTRESOURCEA(kIconIds[i]));
    ZeroMemory(&g_record, sizeof g_record);
    g_record.cbSize = NOTIFYICONDATAW_V1_SIZE;
    g_record.hWnd = window;
    g_record.uID = TRAY_ICON_ID;
    g_record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    g_record.uCallbackMessage = WM_TRAYNOTIFY;
    g_record.hIcon = g_icons[0];
    lstrcpynW(g_record.szTip, WideText("左键：切换桌面\n中键：关闭窗口\n右键：弹出菜单"), 64);
    Add();
}

void ReAddTrayIcon()
{
    Add();
}

void RetryTrayIcon()
{
    if (!g_added) Add();
}

void ShowDesktopIcon(int desktop)
{
    g_record.hIcon = g_icons[desktop];
    // A modify that fails (a shell busy or started again) leaves the icon to the next tick's add.
    if (g_added) g_added = g_seams.shellNotifyIcon(NIM_MODIFY, &g_record);
    else Add();
}

void RemoveTrayIcon()
{
    g_seams.shellNotifyIcon(NIM_DELETE, &g_record);
    g_added = FALSE;
}

const NOTIFYICONDATAW &TrayRecord()
{
    return g_record;
}
