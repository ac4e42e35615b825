// The recovery file on disk: written before the requests of each change, read at start.
#include "recovery_file.h"
#include <windows.h>
#include <stdlib.h>
#include "followed_windows.h"
#include "window_look.h"
#include "window_requests.h"
#include "../app/seams.h"

static const size_t kNameSize = MAX_PATH + 40;
static uint32_t g_writtenSize, g_writtenSum;  // of the file as last written; 0 none

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

// Different in every logon of every boot: the times, the counters and the ids of this moment,
// mixed (splitmix64).
static uint64_t NewMark()
{
    FILETIME now;
    LARGE_INTEGER counter;
    GetSystemTimeAsFileTime(&now);
    QueryPerformanceCounter(&counter);
    uint64_t seed = ((uint64_t)now.dwHighDateTime << 32 | now.dwLowDateTime) ^ (uint64_t)counter.QuadPart ^
                    ((uint64_t)GetCurrentProcessId() << 32 | GetTickCount()) ^ LogonSession();
    seed += 0x9E3779B97F4A7C15ull;
    seed = (seed ^ (seed >> 30)) * 0xBF58476D1CE4E5B9ull;
    seed = (seed ^ (seed >> 27)) * 0x94D049BB133111EBull;
    seed ^= seed >> 31;
    return seed ? seed : 1;
}

// The mark of this logon, made by the first run of it. 0 when the registry refuses it.
static uint64_t ReadLogonMark()
{
    HKEY key;
    DWORD created, type = 0, size = sizeof(uint64_t);
    uint64_t mark = 0;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Trellith Logon", 0, NULL, REG_OPTION_VOLATILE,
                        KEY_QUERY_VALUE | KEY_SET_VALUE, NULL, &key, &created) != ERROR_SUCCESS)
        return 0;
    if (RegQueryValueExA(key, "Mark", NULL, &type, (BYTE *)&mark, &size) != ERROR_SUCCESS || type != REG_BINARY ||
        size != sizeof mark || mark == 0) {
        mark = NewMark();
        if (g_seams.regSetValueEx(key, "Mark", 0, REG_BINARY, (const BYTE *)&mark, sizeof mark) != ERROR_SUCCESS)
            mark = 0;
    }
    RegCloseKey(key);
    return mark;
}

RecoveryStamp CurrentRecoveryStamp()
{
    static uint64_t mark;
    if (!mark) mark = ReadLogonMark();
    RecoveryStamp stamp = {mark, LogonSession()};
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
// cut ends the hidden windows' programs as well, and the next logon does not read it.
void WriteRecoveryFile()
{
    char name[kNameSize], temp[kNameSize + 4];
    const RecoveryStamp stamp = CurrentRecoveryStamp();
    if (!stamp.logonMark || !RecoveryFileName(name, kNameSize)) return;  // no file that could not be told ours
    const HiddenWindow *list = *Followed();
    size_t size = RecoveryFileSize(list);
    if (size == 0) {
        if (g_writtenSize) DeleteFileA(name);
        g_writtenSize = 0;
        return;
    }
    unsigned char *data = (unsigned char *)malloc(size);
    if (!data) return;  // the last file stands: it names fewer windows or more, never none
    EncodeRecoveryFile(list, stamp, data);
    uint32_t sum = Checksum(data, size);
    if (size != g_writtenSize || sum != g_writtenSum || GetFileAttributesA(name) == INVALID_FILE_ATTRIBUTES) {
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
    if (g_writtenSize && RecoveryFileName(name, kNameSize)) DeleteFileA(name);
    g_writtenSize = 0;
}

static void RecoverWindow(const RecoveredWindow &recovered, void *)
{
    HWND window = (HWND)(uintptr_t)recovered.window;
    if ((uint64_t)(uintptr_t)window != recovered.window) return;  // not a handle of this build
    // A window of some other program that now has the handle is left alone.
    if (IsStillThatWindow(window, recovered.identity)) AskWindow(window, kAskShow);
}

void RecoverHiddenWindows()
{
    char name[kNameSize];
    if (!RecoveryFileName(name, kNameSize)) return;
    HANDLE file = CreateFileA(name, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD size = GetFileSize(file, NULL), read = 0;
    unsigned char *data = size != INVALID_FILE_SIZE ? (unsigned char *)malloc(size ? size : 1) : NULL;
    int outcome = kRecoveryUnknown;  // a file that could not be read may be ours
    if (data && ReadFile(file, data, size, &read, NULL) && read == size)
        outcome = DecodeRecoveryFile(data, size, CurrentRecoveryStamp(), RecoverWindow, NULL);
    free(data);
    CloseHandle(file);
    if (outcome != kRecoveryUnknown) DeleteFileA(name);
}
