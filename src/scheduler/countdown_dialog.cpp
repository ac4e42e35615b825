#include "scheduler.h"
#include <commctrl.h>
#include "trigger.h"
#include "../app/app_state.h"
#include "../app/seams.h"
#include "../app/wide_text.h"
#include "../res/resource.h"
#include "../tray/commands.h"
#include "../ui/owner_draw.h"

static DWORD g_startMs;  // kept in milliseconds so that the tick count's wrap does no harm
static BOOL g_active;    // in front and not minimised: the title says "Trellith"

static void RingThreeTones()
{
    g_seams.beep(1000, 100);
    Sleep(75);
    g_seams.beep(1500, 100);
    Sleep(75);
    g_seams.beep(2000, 150);
}

static void OnCountdownTimer(HWND dialog)
{
    CountdownStep step;
    StepCountdown(ElapsedSeconds(g_startMs, GetTickCount()), FiringScheme()->delaySeconds,
                  FiringScheme()->actionKind, &step);
    if (step.ended) {
        KillTimer(dialog, TIMER_ID);
        if (step.beep) RingThreeTones();
        if (step.exitFlags != -1) SetPendingExitFlags(step.exitFlags);
        EndDialog(dialog, step.result);
        return;
    }
    SendDlgItemMessageA(dialog, IDC_COUNTDOWN_PROGRESS, PBM_SETPOS, step.percent, 0);
    WideText remaining(step.remaining);
    SetDlgItemTextW(dialog, IDC_COUNTDOWN_REMAINING, remaining);
    if (!g_active) SetWindowTextW(dialog, remaining);  // shows on the taskbar button
    if (step.beep) RingThreeTones();
}

INT_PTR CALLBACK CountdownDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        CenterOnScreen(dialog);
        SetDlgItemTextW(dialog, IDC_COUNTDOWN_NAME, WideText(FiringScheme()->name));
        g_startMs = GetTickCount();
        SetTimer(dialog, TIMER_ID, TIMER_PERIOD_MS, NULL);
        return TRUE;
    case WM_ACTIVATE:
        g_active = LOWORD(wParam) != WA_INACTIVE && HIWORD(wParam) == 0;
        if (g_active) SetWindowTextA(dialog, "Trellith");
        return 0;
    case WM_TIMER:
        OnCountdownTimer(dialog);
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) != IDCANCEL) return 0;
        KillTimer(dialog, TIMER_ID);
        EndDialog(dialog, 0);
        return TRUE;
    }
    return AnswerDialogColor(message, wParam, lParam, 0, FALSE);
}
