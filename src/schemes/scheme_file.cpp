#include "scheme_file.h"
#include <windows.h>
#include <string.h>
#include "../app/alloc.h"
#include "../app/app_state.h"
#include "scheme.h"
#include "scheme_codec.h"
#include "file_rules.h"

static int g_keepRejectedFile;  // a rejected file could not be set aside: never overwrite it
// The file exists but has not been read yet, and is never overwritten until it is: held by
// another program for a moment (tried again every tick), or unreadable for good (tried again
// after longer and longer waits).
enum { kRead, kLockedBriefly, kUnreadable };
static int g_unread;
static int g_unreadableTries;
static uint32_t g_ticksToNextTry;

// The outcomes of a read: 1 accepted, 0 absent or rejected, and these two.
const int kBrieflyLocked = -1, kCannotRead = -2;

int SchemeFileName(char name[kSchemeFileNameSize])
{
    return FileBesideProgram(name, kSchemeFileNameSize, "ini");
}

static void NameWithSuffix(char *out, const char *name, const char *suffix)
{
    strcpy(out, name);
    strcat(out, suffix);
}

static int ReadFailure(DWORD error)
{
    return IsBriefLock(error, 0) ? kBrieflyLocked : kCannotRead;
}

// Tries again while another program holds the file for a moment: about a second in all, in
// waits that start short, since most such holds last a few milliseconds. Nothing is
// dispatched meanwhile, so no other command can run in between; the window is drawn again
// right after, long before the platform would take it for hung (five seconds).
template <class Attempt> static BOOL WaitOutBriefLock(int replacing, Attempt attempt)
{
    for (int i = 0;; ++i) {
        if (attempt()) return TRUE;
        DWORD error = GetLastError();
        uint32_t wait = BriefLockWaitMs(i);
        if (!wait || !IsBriefLock(error, replacing)) return FALSE;
        Sleep(wait);
    }
}

// Reads and decodes a whole file. *size says whether it held anything.
static int DecodeFile(const char *name, Scheme **list, uint32_t *forceClose, DWORD *size)
{
    *size = 0;
    HANDLE file = CreateFileA(name, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? 0 : ReadFailure(error);
    }
    DWORD high = 0, read = 0;
    *size = GetFileSize(file, &high);
    unsigned char *data = NULL;
    int result = kCannotRead;  // too big to be ours, or a read refused
    if (*size != INVALID_FILE_SIZE && high == 0) {
        data = (unsigned char *)AllocRecord(*size ? *size : 1);
        if (!data) result = kBrieflyLocked;  // memory may come back
        else if (!ReadFile(file, data, *size, &read, NULL) || read != *size) result = ReadFailure(GetLastError());
        else result = DecodeSchemeFile(data, *size, list, forceClose);
        if (result == kNoMemoryForFile) result = kBrieflyLocked;
    }
    FreeRecord(data);
    CloseHandle(file);
    return result;
}

// A "<name>.new" left over from a save cut short, settled before the scheme file is read.
static int SettleLeftover(const char *name)
{
    char fresh[kSchemeFileNameSize + 4], bad[kSchemeFileNameSize + 4];
    NameWithSuffix(fresh, name, ".new");
    NameWithSuffix(bad, name, ".bad");
    DWORD attributes = GetFileAttributesA(fresh);
    int freshThere = attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    int there = GetFileAttributesA(name) != INVALID_FILE_ATTRIBUTES, decodes = 0;
    if (freshThere && !there) {
        Scheme *list = NULL;
        uint32_t forceClose = 0;
        DWORD size;
        int result = DecodeFile(fresh, &list, &forceClose, &size);
        FreeSchemeList(&list);
        if (result < 0) return result;
        decodes = result;
    }
    switch (LeftoverNewFileAction(there, freshThere, decodes)) {
    case kRemoveLeftover: DeleteFileA(fresh); break;
    case kPromoteLeftover:
        if (!MoveFileExA(fresh, name, MOVEFILE_WRITE_THROUGH)) return ReadFailure(GetLastError());
        break;
    case kSetLeftoverAside:  // a save torn while it wrote: the old file was never replaced
        if (!MoveFileExA(fresh, bad, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) g_keepRejectedFile = 1;
        break;
    case kNoLeftover: break;
    }
    return 1;
}

// Reads the file into *list: 1 accepted, 0 absent or rejected (a rejected one is copied aside
// first), kBrieflyLocked or kCannotRead.
static int ReadSchemeFile(Scheme **list, uint32_t *forceClose)
{
    char name[kSchemeFileNameSize];
    if (!SchemeFileName(name)) return 0;
    int settled = SettleLeftover(name);
    if (settled < 0) return settled;
    DWORD size = 0;
    int result = DecodeFile(name, list, forceClose, &size);
    if (result == 0 && size != 0) {
        char bad[kSchemeFileNameSize + 4];
        NameWithSuffix(bad, name, ".bad");
        g_keepRejectedFile = !CopyFileA(name, bad, FALSE);
    }
    return result;
}

static void NoteReadOutcome(int result)
{
    g_unread = result == kBrieflyLocked ? kLockedBriefly : result == kCannotRead ? kUnreadable : kRead;
    if (g_unread != kUnreadable) g_unreadableTries = 0;
    else g_ticksToNextTry = UnreadableRetryTicks(++g_unreadableTries);
}

int LoadSchemes()
{
    g_keepRejectedFile = 0;
    g_unreadableTries = 0;
    uint32_t forceClose = ForceCloseOption();
    int result = ReadSchemeFile(SchemeListHead(), &forceClose);
    NoteReadOutcome(result);
    if (result > 0) SetForceCloseOption(forceClose);
    return result > 0;
}

void RetryUnreadSchemeFile(int now)
{
    if (g_unread == kRead) return;
    if (!now && g_unread == kUnreadable && --g_ticksToNextTry > 0) return;
    Scheme *loaded = NULL;
    uint32_t forceClose = 0;
    int result = ReadSchemeFile(&loaded, &forceClose);
    NoteReadOutcome(result);
    if (result <= 0) return;
    // As if loaded at start: the file's schemes first, then any made meanwhile; a force-close
    // option set meanwhile stays set.
    RenameClashingSchemes(loaded, *SchemeListHead());
    Scheme **tail = &loaded;
    while (*tail) tail = &(*tail)->next;
    *tail = *SchemeListHead();
    *SchemeListHead() = loaded;
    if (!ForceCloseOption()) SetForceCloseOption(forceClose);
}

int SaveSchemes()
{
    return SaveSchemeList(*SchemeListHead());
}

int SaveSchemeList(const Scheme *list)
{
    char name[kSchemeFileNameSize], temp[kSchemeFileNameSize + 4];
    if (!SchemeFileName(name) || g_keepRejectedFile || g_unread) return 0;
    // A scheme file that may not be written (read-only, no rights) stays as it is.
    // A missing one is no obstacle, and is not made here: only a complete save creates it.
    BOOL mayWrite = WaitOutBriefLock(0, [&]() -> BOOL {
        HANDLE old = CreateFileA(name, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, NULL);
        if (old == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND;
        CloseHandle(old);
        return TRUE;
    });
    if (!mayWrite) return 0;
    NameWithSuffix(temp, name, ".new");
    size_t size = SchemeFileSize(list);
    unsigned char *data = (unsigned char *)AllocRecord(size ? size : 1);
    if (!data) return 0;
    EncodeSchemeFile(list, ForceCloseOption(), data);
    int saved = 0;
    HANDLE file = CreateFileA(temp, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        // On the disk before it takes the old file's place, and the replace itself written
        // through: a power cut then leaves the old file or the new one, whole.
        saved = WriteFile(file, data, (DWORD)size, &written, NULL) && written == size &&
                FlushFileBuffers(file);
        CloseHandle(file);
        saved = saved && WaitOutBriefLock(1, [&]() -> BOOL {
            return MoveFileExA(temp, name, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
        });
        if (!saved) DeleteFileA(temp);
    }
    FreeRecord(data);
    return saved;
}
