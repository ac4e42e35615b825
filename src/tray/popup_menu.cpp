#include "popup_menu.h"
#include "commands.h"

static HMENU g_menu;

struct MenuItem {
    UINT id;
    const char *text;  // the item data: owner drawing paints this text
};

static const MenuItem kItems[] = {
    {IDM_CDROM_OPEN, "↓ 弹开 CD-ROM"},
    {IDM_CDROM_CLOSE, "↑ 关闭 CD-ROM"},
    {IDM_LOGOFF, "注销"},
    {IDM_RESTART, "重启"},
    {IDM_SHUTDOWN, "关机"},
    {IDM_STORE_WINDOW, "→ 保存当前窗口"},
    {IDM_RESTORE_WINDOWS, "← 取出所存窗口"},
    {IDM_CLOSE_WINDOW, "〤 关闭当前窗口"},
    {IDM_CLEAR_DESKTOP, "■ 清空当前桌面"},
    {IDM_TIMER_SETTINGS, "定时器设置..."},
    {IDM_ABOUT, "关于 Trellith..."},
    {IDM_EXIT, "退出"},
};

void BuildPopupMenu()
{
    if (g_menu) return;
    g_menu = CreatePopupMenu();
    for (const MenuItem &item : kItems)
        AppendMenuA(g_menu, MF_OWNERDRAW, item.id, item.text);
}

HMENU PopupMenu()
{
    return g_menu;
}

void ShowTrayMenu(HWND window)
{
    POINT cursor;
    GetCursorPos(&cursor);
    SetForegroundWindow(window);
    TrackPopupMenu(g_menu, TPM_RIGHTALIGN, cursor.x, cursor.y, 0, window, NULL);
    // Without a message after it, a menu opened from the notification area may not close when
    // the user clicks elsewhere: the platform's documented remedy. This one arrives after the
    // chosen command, and then the foreground leaves our window.
    PostMessageA(window, WM_MENU_CLOSED, 0, 0);
}

void EnableCommand(UINT command, BOOL enable)
{
    EnableMenuItem(g_menu, command, MF_BYCOMMAND | (enable ? MF_ENABLED : MF_DISABLED));
}
