// The desktop commands: four virtual desktops and a stash slot, made by hiding other programs'
// windows, and the desktop in view.
//
// Nothing here waits for another program: hiding and showing are requests that the window's
// own thread carries out when it runs, so a hung program holds up neither a switch nor the tray.
// Until the window is seen to have carried its request out, it keeps its record, and a switch
// made meanwhile leaves it where the last request put it (following.h). The windows that a
// request may have left hidden are mirrored in a recovery file (recovery_file.h), so that a start
// after a hard kill shows them.
#pragma once
#include <windows.h>
#include "hidden_window.h"
#include "window_look.h"  // IsManageableWindow

// EnumWindows callbacks, also called for single windows. HideWindowToSlot returns FALSE only
// when no record could be allocated, which ends an enumeration at that window.
BOOL CALLBACK HideWindowToSlot(HWND window, LPARAM slot);
BOOL CALLBACK ClosePolitely(HWND window, LPARAM unused);
// Shows the windows of a slot, most recently hidden first, and forgets them.
void ShowSlot(int slot);
// Every slot, desktop 0 first and the stash last, so that no window stays hidden.
void ShowAllSlots();

// The tray's operations and the keys'. None of them starts while another is under way. self, the
// program's own window, takes the foreground while windows go, so that no window hidden keeps it
// and no hide makes the platform bring the next window forward; afterwards it goes to a window in
// view (showing.h).
void RecordCurrentWindow();
// Hides the desktop in view, shows the next one and returns its index; the window that was in
// front comes back in front with its desktop.
int SwitchDesktop(HWND self);
// The same for a given desktop; nothing where it is in view already. forward, where given, comes
// forward in place of the window that was in front there.
int ShowDesktop(HWND self, int desktop, HWND forward);
// The window in front goes to another desktop, taken in as a switch takes its windows; nothing
// where the desktop is in view or the window is not one the desktops may touch.
void SendFrontWindow(HWND self, int desktop);
void CloseCurrentWindow();
void StoreCurrentWindow(HWND self);
// The stash comes back on top, the first stored in front.
void RestoreStoredWindows(HWND self);
void ClearCurrentDesktop();
// The window in front is kept in view on every desktop, for the run: no switch hides it and no
// clear closes it; a store or a send takes it into that slot. Kept already, it is given back to
// the desktop in view.
void KeepFrontOnEveryDesktop(HWND self);

// The list of every window, read when it opens: each window, top first, with its group (0 to 3 the
// desktop it belongs to, 4 the stash, 5 kept on every desktop; list_rules.h).
void ListWindows(void (*each)(HWND window, int group, void *context), void *context);
// A window chosen from the list, through the commands the keys use (ChoiceFor).
void ChooseListedWindow(HWND self, HWND window, int group);

int CurrentDesktop();

// At start, before anything else: shows the windows that a run ended from outside (a task
// manager, a hard kill) left hidden, as its recovery file names them, and starts afresh,
// listening for the platform's show and hide events where it has them.
void StartDesktops();
// Once a tick: a look at every window followed.
void CheckShownWindows();
// At exit and when the session ends: every window is shown, the recovery file goes, and from
// then on nothing is hidden any more.
void ReleaseAllWindows();
// At the very end: the records of the windows still followed, and the event hook.
void FreeWindowRecords();

// Makes a fault of this process show every hidden window again before the process dies.
void InstallFaultWindowRescue();
