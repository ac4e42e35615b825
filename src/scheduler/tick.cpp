#include "scheduler.h"
#include <commctrl.h>
#include "trigger.h"
#include "../app/app_state.h"
#include "../companion/companion.h"
#include "../res/resource.h"
#include "../tray/commands.h"
#include "../tray/popup_menu.h"

static Scheme *g_firingScheme;

Scheme *FiringScheme()
{
    return g_firingScheme;
}

static void Fire(HWND mainWindow, Scheme *scheme)
{
    // The list stands still during the countdown: no tick, no settings dialog.
    KillTimer(mainWindow, TIMER_ID);
    EnableCommand(IDM_TIMER_SETTINGS, FALSE);
    if (scheme->suspendAfterOnce) scheme->suspended = 1;
    scheme->fired = 1;
    g_firingScheme = scheme;
    InitCommonControls();  // the dialog's progress bar needs its class registered
    // -1 (the dialog could not be made) counts as non-zero: the program ends.
    if (DialogBoxParamA(AppInstance(), MAKEINTRESOURCEA(IDD_COUNTDOWN), NULL, CountdownDlgProc, 0) != 0) {
        DestroyWindow(mainWindow);
        return;
    }
    EnableCommand(IDM_TIMER_SETTINGS, TRUE);
    SetTimer(mainWindow, TIMER_ID, TIMER_PERIOD_MS, NULL);
}

void OnMainTimerTick(HWND mainWindow)
{
    Counters counters;
    if (!ReadCounters(&counters)) return;
    Scheme *due = FindDueScheme(*SchemeListHead(), counters);
    if (due) Fire(mainWindow, due);
}
