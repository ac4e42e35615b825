// The recovery file on disk: written once for each change of the slots, read at start.
#include "recovery_file.h"
#include <windows.h>
#include <stdlib.h>
#include "following.h"
#include "window_requests.h"
#include "../app/alloc.h"

static const size_t kNameSize = MAX_PATH + 40;
static uint32_t g_writtenSize, g_writtenSum;  // of the file as last written; 0 none
static const int kWatchTicks = 30;

struct Watched {
    RecoveredWindow window;
    int ticksLeft;
    Watched *next;
};
static Watched *g_watched;

static uint64_t ReadLogonSession()
{
    HANDLE token;
    TOKEN_STATISTICS statistics;
    DWORD size = 0;
    uint64_t session = 0;
    if (OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
        if (GetTokenInformation(token, TokenStatistics, &statistics, sizeof statistics, &size))
            session = (uint64_t)(uint32_t)statistics.AuthenticationId.HighPart << 32 | statistics.AuthenticationId.LowPart;
        CloseHandle(token);
    }
    return session;
}

// It stays what it is for the life of the process.
static uint64_t LogonSession()
{
    static const uint64_t session = ReadLogonSession();
    return session;
}

RecoveryStamp CurrentRecoveryStamp()
{
    // The tick count wraps after 49.7 days; GetTickCount64, where there is one, does not.
    typedef ULONGLONG(WINAPI * GetTickCount64Fn)();
    static GetTickCount64Fn ticks64 = (GetTickCount64Fn)(void *)GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetTickCount64");
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    uint64_t seconds = ((uint64_t)now.dwHighDateTime << 32 | now.dwLowDateTime) / 10000000;
    uint64_t up = (ticks64 ? ticks64() : GetTickCount()) / 1000;
    RecoveryStamp stamp = {seconds - up, LogonSession()};
    return stamp;
}

int RecoveryFileName(char *name, size_t size)
{
    char folder[MAX_PATH + 1];
    DWORD length = GetTempPathA(sizeof folder, folder);
    if (length == 0 || length >= sizeof folder || size < length + sizeof "Trellith-0123456789ABCDEF.hidden") return 0;
    uint64_t session = LogonSession();
    wsprintfA(name, "%sTrellith-%08lX%08lX.hidden", folder, (unsigned long)(session >> 32), (unsigned long)session);
    return 1;
}

// A hard kill loses nothing that the system has been given, so the file is not flushed: a power
// cut ends the hidden windows' programs as well, and the next boot does not read it.
void WriteRecoveryFileIfChanged()
{
    char name[kNameSize], temp[kNameSize + 4];
    if (!RecoveryFileName(name, kNameSize)) return;
    const HiddenWindow *list = *FollowedWindows();  // a slot being shown is still listed whole
    size_t size = RecoveryFileSize(list);
    if (size == 0) {
        if (g_writtenSize) DeleteFileA(name);
        g_writtenSize = 0;
        return;
    }
    unsigned char *data = (unsigned char *)malloc(size);
    if (!data) return;  // the last file stands: it names fewer windows or more, never none
    EncodeRecoveryFile(list, CurrentRecoveryStamp(), data);
    uint32_t sum = Checksum(data + kRecoveryHeaderSize, size - kRecoveryHeaderSize);  // the boot time jitters
    if (size != g_writtenSize || sum != g_writtenSum) {
        lstrcpyA(temp, name);
        lstrcatA(temp, ".new");
        HANDLE file = CreateFileA(temp, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
        if (file != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            BOOL complete = WriteFile(file, data, (DWORD)size, &written, NULL) && written == size;
            CloseHandle(file);
            if (complete && MoveFileExA(temp, name, MOVEFILE_REPLACE_EXISTING)) {
                g_writtenSize = (uint32_t)size;
                g_writtenSum = sum;
            } else {
                DeleteFileA(temp);
            }
        }
    }
    free(data);
}

void RemoveRecoveryFile()
{
    char name[kNameSize];
    if (RecoveryFileName(name, kNameSize)) DeleteFileA(name);
    g_writtenSize = 0;
}

static void RecoverWindow(const RecoveredWindow &recovered, void *)
{
    HWND window = (HWND)(uintptr_t)recovered.window;
    if ((uint64_t)(uintptr_t)window != recovered.window) return;  // not a handle of this build
    // A window of some other program that now has the handle is left alone.
    if (!IsStillThatWindow(window, recovered.identity)) return;
    if (!IsShownNow(window)) {
        ShowWindowAsync(window, SW_SHOWNA);
        return;
    }
    Watched *watched = (Watched *)AllocRecord(sizeof *watched);
    if (!watched) return;
    watched->window = recovered;
    watched->ticksLeft = kWatchTicks;
    watched->next = g_watched;
    g_watched = watched;
}

void RecoverHiddenWindows()
{
    char name[kNameSize];
    if (!RecoveryFileName(name, kNameSize)) return;
    HANDLE file = CreateFileA(name, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD size = GetFileSize(file, NULL), read = 0;
    unsigned char *data = size != INVALID_FILE_SIZE ? (unsigned char *)malloc(size ? size : 1) : NULL;
    if (data && ReadFile(file, data, size, &read, NULL) && read == size)  // a damaged or foreign file shows nothing
        DecodeRecoveryFile(data, size, CurrentRecoveryStamp(), RecoverWindow, NULL);
    free(data);
    CloseHandle(file);
    DeleteFileA(name);
}

void WatchRecoveredWindows()
{
    for (Watched **link = &g_watched; *link;) {
        Watched *w = *link;
        HWND window = (HWND)(uintptr_t)w->window.window;
        int same = IsStillThatWindow(window, w->window.identity);
        int hidden = same && !IsShownNow(window);
        if (hidden) ShowWindowAsync(window, SW_SHOWNA);
        if (same && !hidden && --w->ticksLeft > 0) {
            link = &w->next;
            continue;
        }
        *link = w->next;
        FreeRecord(w);
    }
}

void StopWatchingRecoveredWindows()
{
    while (g_watched) {
        Watched *w = g_watched;
        g_watched = w->next;
        FreeRecord(w);
    }
}
