#include "main_window.h"
#include "commands.h"
#include "desktop_keys.h"
#include "popup_menu.h"
#include "tray_icon.h"
#include "window_list.h"
#include "../app/app_state.h"
#include "../app/seams.h"
#include "../desktops/desktops.h"
#include "../desktops/showing.h"
#include "../res/resource.h"
#include "../scheduler/scheduler.h"
#include "../schemes/scheme_file.h"
#include "../settings/settings_dialog.h"
#include "../ui/about_dialog.h"
#include "../ui/owner_draw.h"

static UINT g_taskbarCreated;  // registered "TaskbarCreated": the shell lost every tray icon
// The dialogs that are open. Their commands look at these, not at the menu: a command posted
// by another program arrives whether the menu item is enabled or not.
static BOOL g_aboutOpen, g_settingsOpen;

static void OnCreate(HWND window)
{
    g_taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
    AddTrayIcon(window);
    BuildPopupMenu();
    SetTimer(window, TIMER_ID, TIMER_PERIOD_MS, NULL);
    RegisterDesktopKeys(window);
}

static void OnDestroy(HWND window)
{
    UnregisterDesktopKeys(window);
    KillTimer(window, TIMER_ID);
    RemoveTrayIcon();
    PostQuitMessage(0);
}

// The session ends from outside: the process will not get to its own clean-up, so the hidden
// windows come back now and the schemes are written now, as they were last confirmed. From then on
// no key hides anything.
static void OnSessionEnding(HWND window)
{
    UnregisterDesktopKeys(window);
    ReleaseAllWindows();
    SaveSchemeList(ConfirmedSchemes());
}

static void OnTimer(HWND window)
{
    if (g_settingsOpen) return;  // a WM_TIMER posted from outside: the schemes are being edited
    RetryTrayIcon();
    CheckShownWindows();
    RetryUnreadSchemeFile(0);
    OnMainTimerTick(window);
}

static void OnTrayNotify(HWND window, LPARAM mouseMessage)
{
    switch (mouseMessage) {
    case WM_MOUSEMOVE: RecordCurrentWindow(); break;
    case WM_LBUTTONUP: ShowDesktopIcon(SwitchDesktop(window)); break;
    case WM_RBUTTONUP: ShowTrayMenu(window); break;
    case WM_MBUTTONUP: CloseCurrentWindow(); break;
    }
}

static void RunDialogWithCommandDisabled(UINT command, BOOL *open, WORD templateId, DLGPROC procedure)
{
    *open = TRUE;
    EnableCommand(command, FALSE);
    DialogBoxParamW(AppInstance(), MAKEINTRESOURCEW(templateId), NULL, procedure, 0);
    EnableCommand(command, TRUE);
    *open = FALSE;
}

static void EndSession(HWND window, LONG exitFlags)
{
    SetPendingExitFlags(exitFlags);
    DestroyWindow(window);
}

static LRESULT OnCommand(HWND window, WPARAM wParam, LPARAM lParam)
{
    switch (LOWORD(wParam)) {
    case IDM_ABOUT:
        if (!g_aboutOpen) RunDialogWithCommandDisabled(IDM_ABOUT, &g_aboutOpen, IDD_ABOUT, AboutDlgProc);
        return 0;
    case IDM_LOGOFF: EndSession(window, EWX_LOGOFF); return 0;
    case IDM_RESTART: EndSession(window, EWX_REBOOT); return 0;
    case IDM_SHUTDOWN: EndSession(window, EWX_SHUTDOWN | EWX_POWEROFF); return 0;
    case IDM_CDROM_OPEN:
        g_seams.mciSendString("set cdAudio door open wait", NULL, 0, NULL);
        return 0;
    case IDM_CDROM_CLOSE:
        g_seams.mciSendString("set cdAudio door closed wait", NULL, 0, NULL);
        return 0;
    case IDM_TIMER_SETTINGS:
        // A countdown reads its scheme: the list must not change under it.
        if (g_settingsOpen || CountdownRunning()) return 0;
        // The schemes must stand still while they are edited: no tick runs meanwhile.
        KillTimer(window, TIMER_ID);
        RetryUnreadSchemeFile(1);  // the file's schemes, if it can be read now, come first
        RunDialogWithCommandDisabled(IDM_TIMER_SETTINGS, &g_settingsOpen, IDD_SETTINGS, SettingsDlgProc);
        RollBackUnconfirmedEdits();
        SetTimer(window, TIMER_ID, TIMER_PERIOD_MS, NULL);
        return 0;
    case IDM_EXIT: DestroyWindow(window); return 0;
    case IDM_CLOSE_WINDOW: CloseCurrentWindow(); return 0;
    case IDM_STORE_WINDOW: StoreCurrentWindow(window); return 0;
    case IDM_RESTORE_WINDOWS: RestoreStoredWindows(window); return 0;
    case IDM_CLEAR_DESKTOP: ClearCurrentDesktop(); return 0;
    }
    return DefWindowProcA(window, WM_COMMAND, wParam, lParam);
}

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE: OnCreate(window); return 0;
    case WM_DESTROY: OnDestroy(window); return 0;
    case WM_MEASUREITEM:
        if (WindowListOpen()) MeasureListItem(window, (MEASUREITEMSTRUCT *)lParam);
        else MeasureMenuItem(window, (MEASUREITEMSTRUCT *)lParam);
        return TRUE;
    case WM_DRAWITEM:
        if (WindowListOpen()) DrawListItem((const DRAWITEMSTRUCT *)lParam);
        else DrawOwnerItem((const DRAWITEMSTRUCT *)lParam);
        return TRUE;
    case WM_COMMAND: return OnCommand(window, wParam, lParam);
    case WM_TIMER: OnTimer(window); return 0;
    case WM_TRAYNOTIFY: OnTrayNotify(window, lParam); return 0;
    case WM_HOTKEY: OnDesktopKey(window, (int)wParam); return 0;
    case WM_SHOW_WINDOW_LIST: ShowWindowList(window, (int)wParam); return 0;
    case WM_MENU_CLOSED:
        // The menu took the foreground for our invisible window: a command that showed or hid
        // windows has handed it on already; after any other, or none, it goes to a window in view.
        if (!HandingOver()) HandOverForeground(window, NULL, 0);
        return 0;
    case WM_ENDSESSION:
        if (wParam) OnSessionEnding(window);
        break;
    case WM_SYSCOMMAND:
        // The tray menu leaves our invisible window in front, where Alt+F4 would end the program
        // and bring every desktop's windows out at once. A WM_CLOSE from outside still ends it.
        if ((wParam & 0xFFF0) == SC_CLOSE) return 0;
        break;
    default:
        if (message == g_taskbarCreated && message != 0) {
            ReAddTrayIcon();
            return 0;
        }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
