#include "desktops.h"
#include <stdlib.h>
#include "window_filter.h"
#include "../app/alloc.h"
#include "../app/app_state.h"

namespace {

HiddenWindow *g_hidden;  // newest first, all slots in one list
int g_desktop;
HWND g_current;
WindowIdentity g_currentIdentity;
uint32_t g_ticket;  // of the change under way, or of the last one
BOOL g_busy;        // a change of the list is under way
BOOL g_slotsChanged;  // since the recovery file was last written
const int kNoSlot = -2;
int g_showingSlot = kNoSlot;  // a slot being shown run by run (see ShowRuns), or none
HWND g_showingFront;     // to bring forward once it is shown
uint32_t g_runTicket;    // the answer that lets the next run go
UINT_PTR g_runTimer;     // the run goes on without an answer that does not come
BOOL g_released;    // every window was given back: nothing is hidden any more

const size_t kRecoveryNameSize = MAX_PATH + 8;

HWND WindowOf(const HiddenWindow *record)
{
    return (HWND)record->window;
}

int ReadIdentity(HWND window, WindowIdentity *identity)
{
    DWORD process = 0;
    ZeroMemory(identity, sizeof *identity);
    identity->threadId = GetWindowThreadProcessId(window, &process);
    identity->processId = process;
    return identity->threadId != 0 && GetClassNameA(window, identity->className, sizeof identity->className) != 0;
}

int IsStillThatWindow(HWND window, const WindowIdentity &identity)
{
    WindowIdentity now;
    return ReadIdentity(window, &now) && SameIdentity(now, identity);
}

// The filter, with the identity that the record will keep.
int ReadManageable(HWND window, WindowIdentity *identity)
{
    return (GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE) && ReadIdentity(window, identity) &&
           !IsExcludedClassName(identity->className);
}

VOID CALLBACK AnswerReceived(HWND window, UINT, ULONG_PTR ticket, LRESULT);
void ShowRuns(int all);
void FinishShowing();
void RunAnswered();

// Asks the window's thread to hide or show it, without waiting: ShowWindow on another thread's
// window waits until that thread answers, which a hung program never does. The thread carries
// out its requests in the order they came, whenever it runs again. Our own windows change at once.
void Request(HiddenWindow *record, int command)
{
    ShowWindowAsync(WindowOf(record), command);
    record->ticket = record->identity.threadId == GetCurrentThreadId() ? 0 : g_ticket;
}

// One WM_NULL a thread, sent after all of this change's requests to it: its answer says that
// the thread has carried them all out. SendMessageCallback does not wait for it.
void AskForAnswers()
{
    for (HiddenWindow *r = g_hidden; r; r = r->next) {
        if (r->ticket != g_ticket) continue;
        HiddenWindow *q = g_hidden;
        while (q != r && !(q->ticket == g_ticket && q->identity.threadId == r->identity.threadId)) q = q->next;
        if (q == r) SendMessageCallbackA(WindowOf(r), WM_NULL, 0, 0, AnswerReceived, g_ticket);
    }
}

VOID CALLBACK AnswerReceived(HWND window, UINT, ULONG_PTR ticket, LRESULT)
{
    HiddenWindow *known = FindHiddenWindow(g_hidden, (uintptr_t)window);
    DWORD thread = known ? known->identity.threadId : GetWindowThreadProcessId(window, NULL);
    for (HiddenWindow *r = g_hidden; r; r = r->next)
        if (r->identity.threadId == thread && TicketSettledBy(r->ticket, (uint32_t)ticket)) r->ticket = 0;
    if (ticket == g_runTicket && !g_busy) RunAnswered();
}

int RecoveryFileName(char name[kRecoveryNameSize])
{
    return FileBesideProgram(name, kRecoveryNameSize, "hidden");
}

// Mirrors the windows held in the slots. A hard kill loses nothing that the system has been
// given, so the file is not flushed: a power cut ends the hidden windows' programs as well.
void WriteRecoveryFile()
{
    char name[kRecoveryNameSize], temp[kRecoveryNameSize + 4];
    if (!RecoveryFileName(name)) return;
    size_t size = RecoveryFileSize(g_hidden);
    if (size == 0) {
        DeleteFileA(name);
        return;
    }
    unsigned char *data = (unsigned char *)malloc(size);
    if (!data) return;  // the last file stands: it names fewer windows or more, never none
    EncodeRecoveryFile(g_hidden, data);
    lstrcpyA(temp, name);
    lstrcatA(temp, ".new");
    HANDLE file = CreateFileA(temp, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        BOOL complete = WriteFile(file, data, (DWORD)size, &written, NULL) && written == size;
        CloseHandle(file);
        if (!complete || !MoveFileExA(temp, name, MOVEFILE_REPLACE_EXISTING)) DeleteFileA(temp);
    }
    free(data);
}

// Every change of the list runs between these two: a change that arrives while another is
// under way (from a message dispatched meanwhile) is refused, and the threads that got
// requests are asked to answer once, at the end.
void NextTicket()
{
    if (++g_ticket == 0) ++g_ticket;  // 0 means "answered"
}

int BeginChange()
{
    if (g_busy) return 0;
    g_busy = TRUE;
    FinishShowing();
    NextTicket();
    return 1;
}

void EndChange()
{
    AskForAnswers();
    if (g_slotsChanged) WriteRecoveryFile();
    g_slotsChanged = FALSE;
    g_busy = FALSE;
}

// Puts a window into a slot; a window that has a record already keeps that one, moved, so that
// it never comes back with two desktops. Either way the record goes to the head: the list runs
// from the most recently hidden window, and a slot is shown in that order.
HiddenWindow *Hide(HWND window, const WindowIdentity &identity, int slot)
{
    HiddenWindow *record = FindHiddenWindow(g_hidden, (uintptr_t)window);
    if (record) {
        UnlinkHiddenWindow(&g_hidden, record);
    } else {
        record = (HiddenWindow *)AllocRecord(sizeof *record);
        if (!record) return NULL;
        record->window = (uintptr_t)window;
    }
    record->next = g_hidden;
    g_hidden = record;
    record->identity = identity;
    record->slot = slot;
    record->wasActive = 0;
    Request(record, SW_HIDE);
    g_slotsChanged = TRUE;
    return record;
}

// Shows one record's window without activating it (SW_SHOWNA) and follows it until its thread
// answers; a window that is gone, or whose handle is another's now, is only forgotten. Returns
// the record when it is followed.
HiddenWindow *ShowOne(HiddenWindow *record)
{
    g_slotsChanged = TRUE;
    if (!IsStillThatWindow(WindowOf(record), record->identity)) {
        FreeRecord(record);
        return NULL;
    }
    Request(record, SW_SHOWNA);
    if (!record->ticket) {
        FreeRecord(record);
        return NULL;
    }
    record->slot = kInViewSlot;
    record->shownAgain = 0;
    record->next = g_hidden;
    g_hidden = record;
    return record;
}

void BringForward(HWND window)
{
    if (window) SetForegroundWindow(window);
}

// A show puts its window on top, and each program carries out its shows in its own time. So
// that a desktop comes back in the order it went, the windows of a slot are shown most recently
// hidden first, one program's run of them at a time: the next run is asked for once the program
// before has answered, or has kept silent too long (then all the rest at once). At the end the
// window that was in front is brought forward.

// How long a run's answer is waited for: a quarter second, and a little more for each window,
// since a program shows its windows one after the other; a program that takes longer is hung,
// or slow enough that the rest should not wait for it.
UINT RunPatienceMs(int windows)
{
    UINT patience = 250 + 25 * (UINT)windows;
    return patience < 3000 ? patience : 3000;
}

VOID CALLBACK RunTimedOut(HWND, UINT, UINT_PTR, DWORD);

HiddenWindow **FirstOfShowingSlot()
{
    HiddenWindow **link = &g_hidden;
    while (*link && (*link)->slot != g_showingSlot) link = &(*link)->next;
    return link;
}

void ShowRuns(int all)
{
    while (*FirstOfShowingSlot()) {
        NextTicket();
        DWORD thread = (*FirstOfShowingSlot())->identity.threadId;
        HiddenWindow *asked = NULL;
        int followed = 0;
        for (HiddenWindow **link = FirstOfShowingSlot(); *link;) {
            HiddenWindow *r = *link;
            if (r->slot != g_showingSlot) {
                link = &r->next;
                continue;
            }
            if (!all && r->identity.threadId != thread) break;
            *link = r->next;  // a record followed goes to the head, before this point
            if (HiddenWindow *shown = ShowOne(r)) {
                asked = shown;
                ++followed;
            }
        }
        if (asked && !all) {  // the last run too: the window in front comes forward after it
            g_runTicket = g_ticket;
            SendMessageCallbackA(WindowOf(asked), WM_NULL, 0, 0, AnswerReceived, g_runTicket);
            g_runTimer = SetTimer(NULL, g_runTimer, RunPatienceMs(followed), RunTimedOut);
            return;
        }
    }
    if (g_showingSlot == kNoSlot) return;
    if (g_runTimer) KillTimer(NULL, g_runTimer);
    g_runTimer = 0;
    g_runTicket = 0;
    g_showingSlot = kNoSlot;
    BringForward(g_showingFront);
    g_showingFront = NULL;
    WriteRecoveryFile();
}

// Ends a slot's showing that is still under way: the rest at once.
void FinishShowing()
{
    if (g_showingSlot != kNoSlot) ShowRuns(1);
}

// The answer to the last run asked for: the next run, or the end.
void RunAnswered()
{
    if (g_showingSlot == kNoSlot) return;
    g_runTicket = 0;
    ShowRuns(0);
}

VOID CALLBACK RunTimedOut(HWND, UINT, UINT_PTR, DWORD)
{
    if (!g_busy) FinishShowing();
}

// Within a change: its start has finished any showing before.
void ShowInOrder(int slot)
{
    g_showingSlot = slot;
    g_showingFront = NULL;
    for (HiddenWindow *r = g_hidden; r; r = r->next) {  // the one that was in front, else the earliest hidden
        if (r->slot != slot) continue;
        g_showingFront = WindowOf(r);
        if (r->wasActive) break;
    }
    ShowRuns(0);
}

// Whether a switch takes the window along with the desktop it leaves.
int GoesWithTheDesktop(HWND window, WindowIdentity *identity)
{
    HiddenWindow *record = FindHiddenWindow(g_hidden, (uintptr_t)window);
    if (record && IsStillThatWindow(window, record->identity)) {
        if (record->slot == kInViewSlot) {  // shown here: in view, whether carried out or not
            *identity = record->identity;
            return 1;
        }
        if (record->ticket) return 0;  // its hide is on the way: it stays where that puts it
        // Hidden and answered: it shows only if its own program showed it again, and then it
        // belongs to the desktop in view.
    }
    return ReadManageable(window, identity);
}

struct SwitchLeaving {
    int slot;
    HWND front;
};

BOOL CALLBACK HideForSwitch(HWND window, LPARAM parameter)
{
    const SwitchLeaving *leaving = (const SwitchLeaving *)parameter;
    WindowIdentity identity;
    if (g_released) return FALSE;
    if (!GoesWithTheDesktop(window, &identity)) return TRUE;
    HiddenWindow *record = Hide(window, identity, leaving->slot);
    if (!record) return FALSE;  // no memory: this window and the rest stay, with the next desktop
    record->wasActive = window == leaving->front;
    return TRUE;
}

BOOL CALLBACK CloseIfInView(HWND window, LPARAM)
{
    HiddenWindow *record = FindHiddenWindow(g_hidden, (uintptr_t)window);
    // A window whose hide is still on the way belongs to another desktop already.
    if (record && record->slot != kInViewSlot && record->ticket && IsStillThatWindow(window, record->identity))
        return TRUE;
    return ClosePolitely(window, 0);
}

// Shows every recorded window without touching the list: safe from a fault handler, where
// the heap may no longer be trusted.
LONG WINAPI RescueWindowsOnFault(EXCEPTION_POINTERS *)
{
    for (HiddenWindow *r = g_hidden; r; r = r->next)
        if (r->slot != kInViewSlot && IsStillThatWindow(WindowOf(r), r->identity)) ShowWindowAsync(WindowOf(r), SW_SHOWNA);
    return EXCEPTION_CONTINUE_SEARCH;
}

void ShowRecoveredWindow(const RecoveredWindow &recovered, void *)
{
    HWND window = (HWND)(uintptr_t)recovered.window;
    if ((uint64_t)(uintptr_t)window != recovered.window) return;  // not a handle of this build
    // A window of some other program that now has the handle is left alone, and so is one
    // that is in view already.
    if (IsStillThatWindow(window, recovered.identity) && !(GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE))
        ShowWindowAsync(window, SW_SHOWNA);
}

}  // namespace

int IsManageableWindow(HWND window)
{
    WindowIdentity identity;
    return ReadManageable(window, &identity);
}

BOOL CALLBACK HideWindowToSlot(HWND window, LPARAM slot)
{
    WindowIdentity identity;
    if (g_released || !ReadManageable(window, &identity)) return TRUE;
    return Hide(window, identity, (int)slot) != NULL;
}

void ShowSlot(int slot)
{
    // Runs also inside another change (the session ending meanwhile): the records it shows are
    // detached first, so each is shown and freed once, and that change finishes the rest.
    int outer = BeginChange();
    FinishShowing();
    for (HiddenWindow *r = DetachSlot(&g_hidden, slot), *next; r; r = next) {
        next = r->next;
        ShowOne(r);
    }
    if (outer) EndChange();
}

void ShowAllSlots()
{
    for (int slot = 0; slot <= kStashSlot; ++slot) ShowSlot(slot);
}

BOOL CALLBACK ClosePolitely(HWND window, LPARAM)
{
    if (IsManageableWindow(window)) PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    return TRUE;
}

void RecordCurrentWindow()
{
    HWND foreground = GetForegroundWindow();
    WindowIdentity identity;
    if (!ReadManageable(foreground, &identity)) return;
    g_current = foreground;
    g_currentIdentity = identity;
}

int SwitchDesktop(HWND self)
{
    if (!BeginChange()) return g_desktop;
    SwitchLeaving leaving = {g_desktop, GetForegroundWindow()};
    WindowIdentity identity;
    // Hiding the window in front makes the platform bring the next one forward, which costs
    // more than the hide itself, window after window: the foreground goes to our window first.
    if (self && leaving.front != self && GoesWithTheDesktop(leaving.front, &identity)) SetForegroundWindow(self);
    EnumWindows(HideForSwitch, (LPARAM)&leaving);
    g_desktop = (g_desktop + 1) % kDesktopCount;
    ShowInOrder(g_desktop);
    EndChange();
    return g_desktop;
}

void CloseCurrentWindow()
{
    if (!g_current) return;
    if (IsStillThatWindow(g_current, g_currentIdentity)) ClosePolitely(g_current, 0);
    g_current = NULL;
}

void StoreCurrentWindow()
{
    if (!g_current) return;
    if (BeginChange()) {
        if (IsStillThatWindow(g_current, g_currentIdentity)) HideWindowToSlot(g_current, kStashSlot);
        EndChange();
    }
    g_current = NULL;
}

void RestoreStoredWindows()
{
    if (!BeginChange()) return;
    ShowInOrder(kStashSlot);
    EndChange();
}

void ClearCurrentDesktop()
{
    EnumWindows(CloseIfInView, 0);
}

int CurrentDesktop()
{
    return g_desktop;
}

void StartDesktops()
{
    g_released = FALSE;
    g_desktop = 0;
    g_current = NULL;
    g_showingSlot = kNoSlot;
    char name[kRecoveryNameSize];
    if (!RecoveryFileName(name)) return;
    HANDLE file = CreateFileA(name, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD size = GetFileSize(file, NULL), read = 0;
    unsigned char *data = size != INVALID_FILE_SIZE ? (unsigned char *)malloc(size ? size : 1) : NULL;
    if (data && ReadFile(file, data, size, &read, NULL) && read == size)
        DecodeRecoveryFile(data, size, ShowRecoveredWindow, NULL);  // a damaged file shows nothing
    free(data);
    CloseHandle(file);
    DeleteFileA(name);
}

void CheckShownWindows()
{
    if (g_showingSlot != kNoSlot || !BeginChange()) return;  // a showing under way goes on undisturbed
    for (HiddenWindow **link = &g_hidden; *link;) {
        HiddenWindow *r = *link;
        if (r->slot != kInViewSlot || r->ticket) {
            link = &r->next;
            continue;
        }
        // Answered, but hidden: a program that asked us something from inside its own hide
        // ran our show inside that hide, where it changed nothing. Once more, then no more, so
        // as never to fight a program that hides its own window.
        if (!r->shownAgain && IsStillThatWindow(WindowOf(r), r->identity) && !IsWindowVisible(WindowOf(r))) {
            Request(r, SW_SHOWNA);
            r->shownAgain = 1;
            link = &r->next;
            continue;
        }
        *link = r->next;
        FreeRecord(r);
    }
    EndChange();
}

void ReleaseAllWindows()
{
    ShowAllSlots();
    g_released = TRUE;
    char name[kRecoveryNameSize];
    if (RecoveryFileName(name)) DeleteFileA(name);
}

void FreeWindowRecords()
{
    while (g_hidden) {
        HiddenWindow *r = g_hidden;
        g_hidden = r->next;
        FreeRecord(r);
    }
}

void InstallFaultWindowRescue()
{
    SetUnhandledExceptionFilter(RescueWindowsOnFault);
}
