#include "scheduler.h"
#include "trigger.h"
#include "../app/app_state.h"
#include "../companion/companion.h"
#include "../res/resource.h"
#include "../tray/commands.h"
#include "../tray/popup_menu.h"

static Scheme *g_firingScheme;
static BOOL g_countdownRunning;

Scheme *FiringScheme()
{
    return g_firingScheme;
}

BOOL CountdownRunning()
{
    return g_countdownRunning;
}

typedef void(WINAPI *InitCommonControlsFn)(void);

// The countdown's progress bar has its class in the common controls, loaded at the first
// countdown rather than at every start.
static void RegisterProgressBar()
{
    static HMODULE comctl32 = LoadSystemModule("comctl32.dll");
    static InitCommonControlsFn init =
        comctl32 ? (InitCommonControlsFn)(void *)GetProcAddress(comctl32, "InitCommonControls") : NULL;
    if (init) init();
}

static void Fire(HWND mainWindow, Scheme *scheme)
{
    // The list stands still during the countdown: no tick, no settings dialog.
    KillTimer(mainWindow, TIMER_ID);
    EnableCommand(IDM_TIMER_SETTINGS, FALSE);
    if (scheme->suspendAfterOnce) scheme->suspended = 1;
    scheme->fired = 1;
    g_firingScheme = scheme;
    RegisterProgressBar();
    g_countdownRunning = TRUE;
    INT_PTR result = DialogBoxParamW(AppInstance(), MAKEINTRESOURCEW(IDD_COUNTDOWN), NULL, CountdownDlgProc, 0);
    g_countdownRunning = FALSE;
    // -1 (the dialog could not be made) counts as non-zero: the program ends.
    if (result != 0) {
        DestroyWindow(mainWindow);
        return;
    }
    EnableCommand(IDM_TIMER_SETTINGS, TRUE);
    SetTimer(mainWindow, TIMER_ID, TIMER_PERIOD_MS, NULL);
}

void OnMainTimerTick(HWND mainWindow)
{
    if (g_countdownRunning) return;  // a WM_TIMER posted from outside: one countdown at a time
    Counters counters;
    if (!ReadCounters(&counters)) return;
    Scheme *due = FindDueScheme(*SchemeListHead(), counters);
    if (due) Fire(mainWindow, due);
}
