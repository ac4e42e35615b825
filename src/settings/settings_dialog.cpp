#include "settings_dialog.h"
#include <string.h>
#include "autorun.h"
#include "settings_rules.h"
#include "texts.h"
#include "../app/app_state.h"
#include "../app/cp936.h"
#include "../app/digits.h"
#include "../app/texts.h"
#include "../app/wide_text.h"
#include "../companion/companion.h"
#include "../res/resource.h"
#include "../schemes/scheme_file.h"
#include "../tray/commands.h"
#include "../ui/owner_draw.h"

static Scheme *g_current;   // a record of the scheme list, or NULL
static BOOL g_backupTaken;  // without a backup, Cancel must not replace the schemes
static BOOL g_open;         // from the opening to OK or Cancel

static const int kEditingControls[] = {IDC_DELETE, IDC_TRIGGER_KIND, IDC_TRIGGER_HOURS,
                                       IDC_TRIGGER_MINUTES, IDC_ACTION_KIND, IDC_DELAY_MINUTES,
                                       IDC_DELAY_SECONDS, IDC_SUSPENDED, IDC_SUSPEND_AFTER_ONCE};

static LRESULT SendToControl(HWND dialog, int control, UINT message, WPARAM wParam, LPARAM lParam)
{
    return SendDlgItemMessageW(dialog, control, message, wParam, lParam);
}

// Adds a code page 936 text (a label, a scheme's name) to a combo box; the place it took.
static LRESULT AddEntry(HWND dialog, int control, const char *text)
{
    return SendToControl(dialog, control, CB_ADDSTRING, 0, (LPARAM)(const wchar_t *)WideText(text));
}

static void Tell(HWND dialog, const char *text, UINT icon)
{
    MessageBoxW(dialog, WideText(text), L"" APP_CAPTION, icon);
}

static void Check(HWND dialog, int control, uint32_t on)
{
    CheckDlgButton(dialog, control, on ? BST_CHECKED : BST_UNCHECKED);
}

static uint32_t IsChecked(HWND dialog, int control)
{
    return IsDlgButtonChecked(dialog, control) == BST_CHECKED;
}

void ShowScheme(HWND dialog, Scheme *scheme)
{
    for (int control : kEditingControls) EnableWindow(GetDlgItem(dialog, control), scheme != NULL);
    if (!scheme) return;
    SendToControl(dialog, IDC_TRIGGER_KIND, CB_SETCURSEL, scheme->triggerKind, 0);
    SendToControl(dialog, IDC_ACTION_KIND, CB_SETCURSEL, scheme->actionKind, 0);
    // Each write raises EN_CHANGE, which stores the same number back into the scheme.
    SetDlgItemInt(dialog, IDC_TRIGGER_HOURS, scheme->triggerMinutes / 60, FALSE);
    SetDlgItemInt(dialog, IDC_TRIGGER_MINUTES, scheme->triggerMinutes % 60, FALSE);
    SetDlgItemInt(dialog, IDC_DELAY_MINUTES, scheme->delaySeconds / 60, FALSE);
    SetDlgItemInt(dialog, IDC_DELAY_SECONDS, scheme->delaySeconds % 60, FALSE);
    Check(dialog, IDC_SUSPENDED, scheme->suspended);
    Check(dialog, IDC_SUSPEND_AFTER_ONCE, scheme->suspendAfterOnce);
}

void ShowCounters(HWND dialog)
{
    Counters counters;
    if (!ReadCounters(&counters)) return;
    char line[kCounterLineSize];
    FormatCounterLine(counters, line);
    SetDlgItemTextA(dialog, IDC_COUNTER_LINE, line);
}

// Reads the name of entry index of the name box, as the code page 936 bytes it was added from;
// 0 when there is no such entry.
static int ReadEntry(HWND dialog, LRESULT index, char name[kSchemeNameSize])
{
    wchar_t entry[kSchemeNameSize];
    if (index == CB_ERR || SendToControl(dialog, IDC_SCHEME_NAME, CB_GETLBTEXTLEN, index, 0) >= (LRESULT)kSchemeNameSize ||
        SendToControl(dialog, IDC_SCHEME_NAME, CB_GETLBTEXT, index, (LPARAM)entry) == CB_ERR)
        return 0;
    ToCp936(entry, name, kSchemeNameSize);
    return 1;
}

// Makes the scheme behind entry index of the name box current and shows it.
static void ChooseEntry(HWND dialog, LRESULT index)
{
    char name[kSchemeNameSize];
    g_current = ReadEntry(dialog, index, name) ? FindScheme(name) : NULL;
    ShowScheme(dialog, g_current);
}

static void OnInitDialog(HWND dialog)
{
    static const char *const kTriggers[] = TRIGGER_LABELS;
    static const char *const kActions[] = ACTION_LABELS;
    g_open = TRUE;
    g_backupTaken = CopySchemeList(BackupListHead());
    if (!g_backupTaken) EnableWindow(GetDlgItem(dialog, IDCANCEL), FALSE);  // only OK is offered
    CenterOnScreen(dialog);
    ShowCounters(dialog);
    for (const char *label : kTriggers) AddEntry(dialog, IDC_TRIGGER_KIND, label);
    for (const char *label : kActions) AddEntry(dialog, IDC_ACTION_KIND, label);
    SendToControl(dialog, IDC_SCHEME_NAME, CB_LIMITTEXT, kSchemeNameSize - 1, 0);  // characters: see OnNameTyped
    for (Scheme *s = *SchemeListHead(); s; s = s->next) {
        AddEntry(dialog, IDC_SCHEME_NAME, s->name);
        s->fired = 0;
    }
    g_current = NULL;
    if (*SchemeListHead()) {
        SendToControl(dialog, IDC_SCHEME_NAME, CB_SETCURSEL, 0, 0);
        ChooseEntry(dialog, 0);
    } else {
        ShowScheme(dialog, NULL);
    }
    Check(dialog, IDC_FORCE_CLOSE, ForceCloseOption());
    Check(dialog, IDC_AUTORUN, AutorunFlag());
    SetTimer(dialog, TIMER_ID, TIMER_PERIOD_MS, NULL);
}

// OK keeps the edits, Cancel puts the backup in their place; without a backup, both keep them.
static void SettleEdits(BOOL keepEdits)
{
    if (keepEdits || !g_backupTaken) {
        FreeSchemeList(BackupListHead());
    } else {
        FreeSchemeList(SchemeListHead());
        *SchemeListHead() = *BackupListHead();
        *BackupListHead() = NULL;
    }
    g_current = NULL;
    g_backupTaken = FALSE;
    g_open = FALSE;
}

// Confirmed edits are written at once, so that nothing that happens next can lose them. A
// failure is told here, where a person has just pressed OK and reads it.
static void SaveConfirmedEdits(HWND dialog)
{
    char name[kSchemeFileNameSize];
    wchar_t text[kSchemeFileNameSize + 64];
    if (SaveSchemes()) return;
    if (!SchemeFileName(name)) name[0] = '\0';
    lstrcpyW(text, WideText(TEXT_SAVE_FAILED_BEFORE));
    int length = lstrlenW(text);  // the file's name is in the system's own code page
    const int converted = MultiByteToWideChar(CP_ACP, 0, name, -1, text + length, kSchemeFileNameSize);
    if (converted > 0) length += converted - 1;  // without its NUL; none where it failed
    lstrcpyW(text + length, WideText(TEXT_SAVE_FAILED_AFTER));
    MessageBoxW(dialog, text, L"" APP_CAPTION, MB_ICONERROR);
}

static void EndSettings(HWND dialog, BOOL keepEdits)
{
    SettleEdits(keepEdits);
    KillTimer(dialog, TIMER_ID);
    if (keepEdits) SaveConfirmedEdits(dialog);
    EndDialog(dialog, 1);
}

Scheme **ConfirmedSchemes()
{
    return g_open && g_backupTaken ? BackupListHead() : SchemeListHead();
}

void RollBackUnconfirmedEdits()
{
    if (g_open) SettleEdits(FALSE);
}

// A name is stored as code page 936 bytes, at most 47 of them, whatever the system's own code page:
// the name box, a wide window, counts characters, so a name typed longer is cut back at once, as
// the box of a Chinese system cuts it.
static void OnNameTyped(HWND dialog)
{
    wchar_t typed[256];
    GetDlgItemTextW(dialog, IDC_SCHEME_NAME, typed, 256);
    size_t fits = CharactersInBytes((const uint16_t *)typed, kSchemeNameSize - 1);
    if (!typed[fits]) return;
    typed[fits] = L'\0';
    SetDlgItemTextW(dialog, IDC_SCHEME_NAME, typed);
    SendToControl(dialog, IDC_SCHEME_NAME, CB_SETEDITSEL, 0, MAKELPARAM(fits, fits));
}

static void OnNew(HWND dialog)
{
    wchar_t typed[256];
    char name[kSchemeNameSize];
    GetDlgItemTextW(dialog, IDC_SCHEME_NAME, typed, 256);
    ToCp936(typed, name, sizeof name);  // never half a double-byte character
    WideText shown(name);
    if (!name[0]) {
        Tell(dialog, TEXT_ENTER_NAME, MB_ICONINFORMATION);
    } else if (SendToControl(dialog, IDC_SCHEME_NAME, CB_FINDSTRINGEXACT, 0, (LPARAM)(const wchar_t *)shown) != CB_ERR) {
        Tell(dialog, TEXT_NAME_EXISTS, MB_ICONERROR);
    } else {
        LRESULT place = SendToControl(dialog, IDC_SCHEME_NAME, CB_ADDSTRING, 0, (LPARAM)(const wchar_t *)shown);
        g_current = AddScheme(name);
        SendToControl(dialog, IDC_SCHEME_NAME, CB_SETCURSEL, place, 0);
        ShowScheme(dialog, g_current);
    }
    SetFocus(GetDlgItem(dialog, IDC_SCHEME_NAME));
}

// The entry that shows exactly this name. CB_FINDSTRINGEXACT ignores letter case, and a file
// made by hand may hold names that differ only in case: each keeps its own line.
static LRESULT FindEntryWithCase(HWND dialog, const char *name)
{
    char entry[kSchemeNameSize];
    LRESULT count = SendToControl(dialog, IDC_SCHEME_NAME, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i)
        if (ReadEntry(dialog, i, entry) && strcmp(entry, name) == 0) return i;
    return CB_ERR;
}

static void OnDelete(HWND dialog)
{
    if (g_current) {
        SendToControl(dialog, IDC_SCHEME_NAME, CB_DELETESTRING, FindEntryWithCase(dialog, g_current->name), 0);
        RemoveScheme(g_current);
        g_current = NULL;
        if (SendToControl(dialog, IDC_SCHEME_NAME, CB_GETCOUNT, 0, 0) == 0) {
            SetDlgItemTextW(dialog, IDC_SCHEME_NAME, L"");
            ShowScheme(dialog, NULL);
        } else {
            SendToControl(dialog, IDC_SCHEME_NAME, CB_SETCURSEL, 0, 0);
            ChooseEntry(dialog, 0);
        }
    }
    SetFocus(GetDlgItem(dialog, IDC_SCHEME_NAME));
}

// Stores a typed number into its half of a minutes or seconds field, after correcting it.
static void OnNumberChanged(HWND dialog, int control)
{
    if (!g_current) return;
    int corrected;
    uint32_t limit = control == IDC_TRIGGER_HOURS ? 23 : 59;
    uint32_t v = CorrectNumberEntry((int32_t)GetDlgItemInt(dialog, control, NULL, TRUE), limit, &corrected);
    if (corrected) {
        SetDlgItemInt(dialog, control, v, FALSE);
        SendToControl(dialog, control, EM_SETSEL, 0, 2);
    }
    uint32_t &trigger = g_current->triggerMinutes, &delay = g_current->delaySeconds;
    switch (control) {
    case IDC_TRIGGER_HOURS: trigger = v * 60 + trigger % 60; break;
    case IDC_TRIGGER_MINUTES: trigger = trigger / 60 * 60 + v; break;
    case IDC_DELAY_MINUTES: delay = v * 60 + delay % 60; break;
    case IDC_DELAY_SECONDS: delay = delay / 60 * 60 + v; break;
    }
}

// A kind chosen from a list; the focus moves on to the hours or minutes that follow it.
static void OnKindChosen(HWND dialog, int list, uint32_t *field, int nextEdit)
{
    LRESULT index = SendToControl(dialog, list, CB_GETCURSEL, 0, 0);
    if (g_current && index != CB_ERR) *field = (uint32_t)index;
    SendToControl(dialog, nextEdit, EM_SETSEL, 0, 2);
    SetFocus(GetDlgItem(dialog, nextEdit));
}

static void OnAutorunClicked(HWND dialog)
{
    BOOL previous = AutorunFlag();
    SetAutorunFlag(IsChecked(dialog, IDC_AUTORUN));
    if (SetAutorun(AutorunFlag())) return;
    Tell(dialog, TEXT_NO_REGISTRY_RIGHTS, MB_ICONINFORMATION);
    SetAutorunFlag(previous);
    Check(dialog, IDC_AUTORUN, previous);
}

static BOOL IsButton(int control)
{
    switch (control) {
    case IDOK: case IDCANCEL: case IDC_DELETE: case IDC_NEW:
    case IDC_SUSPENDED: case IDC_SUSPEND_AFTER_ONCE: case IDC_FORCE_CLOSE: case IDC_AUTORUN:
        return TRUE;
    }
    return FALSE;
}

static INT_PTR OnCommand(HWND dialog, int control, int code)
{
    // Owner-drawn buttons follow a click with BN_DOUBLECLICKED when it was the second of a
    // double click: one action a click.
    if (IsButton(control) && code != BN_CLICKED) return FALSE;
    switch (control) {
    case IDOK: EndSettings(dialog, TRUE); return TRUE;
    case IDCANCEL: EndSettings(dialog, FALSE); return TRUE;
    case IDC_DELETE: OnDelete(dialog); break;
    case IDC_NEW: OnNew(dialog); break;
    case IDC_SCHEME_NAME:
        if (code == CBN_SELENDOK) {
            ChooseEntry(dialog, SendToControl(dialog, IDC_SCHEME_NAME, CB_GETCURSEL, 0, 0));
        } else if (code == CBN_EDITCHANGE) {
            OnNameTyped(dialog);
            if (g_current) {
                g_current = NULL;
                ShowScheme(dialog, NULL);
            }
        }
        break;
    case IDC_SUSPENDED:
        if (g_current) g_current->suspended = IsChecked(dialog, IDC_SUSPENDED);
        break;
    case IDC_SUSPEND_AFTER_ONCE:
        if (g_current) g_current->suspendAfterOnce = IsChecked(dialog, IDC_SUSPEND_AFTER_ONCE);
        break;
    case IDC_FORCE_CLOSE: SetForceCloseOption(IsChecked(dialog, IDC_FORCE_CLOSE)); break;
    case IDC_AUTORUN: OnAutorunClicked(dialog); break;
    case IDC_TRIGGER_KIND:
        if (code == CBN_SELENDOK)
            OnKindChosen(dialog, IDC_TRIGGER_KIND, g_current ? &g_current->triggerKind : NULL, IDC_TRIGGER_HOURS);
        break;
    case IDC_ACTION_KIND:
        if (code == CBN_SELENDOK)
            OnKindChosen(dialog, IDC_ACTION_KIND, g_current ? &g_current->actionKind : NULL, IDC_DELAY_MINUTES);
        break;
    case IDC_TRIGGER_HOURS:
    case IDC_TRIGGER_MINUTES:
    case IDC_DELAY_MINUTES:
    case IDC_DELAY_SECONDS:
        if (code == EN_CHANGE) OnNumberChanged(dialog, control);
        break;
    }
    return FALSE;
}

INT_PTR CALLBACK SettingsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(dialog);
        return TRUE;
    case WM_COMMAND: return OnCommand(dialog, LOWORD(wParam), HIWORD(wParam));
    case WM_TIMER:
        ShowCounters(dialog);
        return FALSE;
    case WM_DRAWITEM:
        DrawOwnerItem((const DRAWITEMSTRUCT *)lParam);
        return TRUE;
    }
    return AnswerDialogColor(message, wParam, lParam, IDC_COUNTER_LINE, TRUE);
}
