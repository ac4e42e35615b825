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

// The scheme file as this run last read or wrote it. A save that finds another file in its
// place (another session's Trellith, a copy back from a backup) reads that one first.
struct FileStamp {
    DWORD there, sizeLow, sizeHigh;
    FILETIME written;
};
static FileStamp g_known;

// The outcomes of a read: 1 read, 0 absent, and these two.
const int kBrieflyLocked = -1, kCannotRead = -2;
// How many kept copies of damaged files may stand beside the scheme file.
const unsigned kMaxKeptCopies = 99;

int SchemeFileName(char name[kSchemeFileNameSize])
{
    return FileBesideProgram(name, kSchemeFileNameSize, "ini");
}

static void NameWithSuffix(char *out, const char *name, const char *suffix)
{
    strcpy(out, name);
    strcat(out, suffix);
}

static FileStamp StampOf(const char *name)
{
    FileStamp stamp;
    WIN32_FILE_ATTRIBUTE_DATA data;
    ZeroMemory(&stamp, sizeof stamp);
    if (GetFileAttributesExA(name, GetFileExInfoStandard, &data)) {
        stamp.there = 1;
        stamp.sizeLow = data.nFileSizeLow;
        stamp.sizeHigh = data.nFileSizeHigh;
        stamp.written = data.ftLastWriteTime;
    }
    return stamp;
}

static int SameStamp(const FileStamp &a, const FileStamp &b)
{
    return a.there == b.there && a.sizeLow == b.sizeLow && a.sizeHigh == b.sizeHigh &&
           CompareFileTime(&a.written, &b.written) == 0;
}

static int ReadFailure(DWORD error)
{
    return IsBriefLock(error, 0) ? kBrieflyLocked : kCannotRead;
}

// Tries again while another program holds the file for a moment, until the save's one
// deadline, in waits that start short, since most such holds last a few milliseconds. Nothing
// is dispatched meanwhile, so no other command can run in between; the window is drawn again
// right after, long before the platform would take it for hung (five seconds).
template <class Attempt> static BOOL WaitOutBriefLock(int replacing, DWORD startMs, Attempt attempt)
{
    for (int i = 0;; ++i) {
        if (attempt()) return TRUE;
        DWORD error = GetLastError();
        uint32_t wait = BriefLockWaitMs(i, GetTickCount() - startMs);
        if (!wait || !IsBriefLock(error, replacing)) return FALSE;
        Sleep(wait);
    }
}

// Reads a whole file into *data (the caller frees it): 1, or 0 when there is no such file,
// kBrieflyLocked or kCannotRead. *stamp is the file as it was read.
static int ReadWholeFile(const char *name, unsigned char **data, DWORD *size, FileStamp *stamp)
{
    *data = NULL;
    *size = 0;
    HANDLE file = CreateFileA(name, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? 0 : ReadFailure(error);
    }
    DWORD high = 0, read = 0;
    *size = GetFileSize(file, &high);
    // Too big to be ours, or too big to be held in memory: unreadable for good, never a
    // moment's lock.
    int result = kCannotRead;
    if (*size != INVALID_FILE_SIZE && high == 0 && (*data = (unsigned char *)AllocRecord(*size ? *size : 1)) != NULL) {
        result = ReadFile(file, *data, *size, &read, NULL) && read == *size ? 1 : ReadFailure(GetLastError());
        *stamp = StampOf(name);
    }
    CloseHandle(file);
    if (result != 1) {
        FreeRecord(*data);
        *data = NULL;
    }
    return result;
}

// Keeps a damaged file's bytes under the first free name of "<name>.bad", "<name>.bad2" ...:
// a copy kept earlier may be the only one of its schemes, and is never replaced.
static int KeepAside(const char *name, const char *source, int move)
{
    char kept[kSchemeFileNameSize + 8];
    for (unsigned n = 1; n <= kMaxKeptCopies; ++n) {
        wsprintfA(kept, n == 1 ? "%s.bad" : "%s.bad%u", name, n);
        BOOL done = move ? MoveFileExA(source, kept, MOVEFILE_WRITE_THROUGH) : CopyFileA(source, kept, TRUE);
        if (done) return 1;
        DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return 0;
    }
    return 0;
}

// A "<name>.new" left over from a save cut short, settled before the scheme file is read.
static int SettleLeftover(const char *name)
{
    char fresh[kSchemeFileNameSize + 4];
    NameWithSuffix(fresh, name, ".new");
    DWORD attributes = GetFileAttributesA(fresh);
    int freshThere = attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    int there = GetFileAttributesA(name) != INVALID_FILE_ATTRIBUTES, complete = 0;
    if (freshThere && !there) {
        unsigned char *data;
        DWORD size;
        FileStamp stamp;
        int result = ReadWholeFile(fresh, &data, &size, &stamp);
        if (result < 0) return result;
        complete = result && IsCompleteSave(data, size);
        FreeRecord(data);
    }
    switch (LeftoverNewFileAction(there, freshThere, complete)) {
    case kRemoveLeftover: DeleteFileA(fresh); break;
    case kPromoteLeftover:
        if (!MoveFileExA(fresh, name, MOVEFILE_WRITE_THROUGH)) return ReadFailure(GetLastError());
        break;
    case kSetLeftoverAside:  // a save torn while it wrote: the old file was never replaced
        if (!KeepAside(name, fresh, 1)) g_keepRejectedFile = 1;
        break;
    case kNoLeftover: break;
    }
    return 1;
}

// Reads the scheme file into *list: 1 accepted, 0 absent or rejected (a rejected one is kept
// aside first, but for the empty file that is the saved empty list), kBrieflyLocked or
// kCannotRead. A file read, accepted or not, becomes the file this run knows.
static int ReadSchemeFile(const char *name, Scheme **list, uint32_t *forceClose)
{
    unsigned char *data;
    DWORD size;
    FileStamp stamp;
    ZeroMemory(&stamp, sizeof stamp);
    int result = ReadWholeFile(name, &data, &size, &stamp);
    if (result < 0) return result;
    if (result) {
        result = DecodeSchemeFile(data, size, list, forceClose);
        if (result == kNoMemoryForFile) result = kCannotRead;
        if (result == 0 && size != 0 && !KeepAside(name, name, 0)) g_keepRejectedFile = 1;
    }
    FreeRecord(data);
    if (result >= 0) g_known = stamp;
    return result;
}

static int ReadAtStartOrRetry(Scheme **list, uint32_t *forceClose)
{
    char name[kSchemeFileNameSize];
    if (!SchemeFileName(name)) return 0;
    int settled = SettleLeftover(name);
    return settled < 0 ? settled : ReadSchemeFile(name, list, forceClose);
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
    int result = ReadAtStartOrRetry(SchemeListHead(), &forceClose);
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
    int result = ReadAtStartOrRetry(&loaded, &forceClose);
    NoteReadOutcome(result);
    if (result <= 0) return;
    // As if loaded at start: the file's schemes first, then any made meanwhile; a force-close
    // option set meanwhile stays set.
    TakeInFileSchemes(SchemeListHead(), loaded);
    if (!ForceCloseOption()) SetForceCloseOption(forceClose);
}

// Another writer replaced the file since this run read it: its schemes are taken in before
// the save, so that neither side's confirmed schemes are lost. 0 when it cannot be read now.
static int TakeInChangedFile(const char *name, Scheme **list)
{
    Scheme *theirs = NULL;
    uint32_t forceClose = 0;  // this run's option stands: the user has just set it
    int result = ReadSchemeFile(name, &theirs, &forceClose);
    if (result < 0 || g_keepRejectedFile) return 0;
    if (theirs) TakeInFileSchemes(list, theirs);
    return 1;
}

int SaveSchemes()
{
    return SaveSchemeList(SchemeListHead());
}

// The file replaced, flushed as well: a rename within a volume is on the disk only once the
// file system's own records are, which MOVEFILE_WRITE_THROUGH does not promise.
static BOOL FlushFile(const char *name)
{
    HANDLE file = CreateFileA(name, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) return FALSE;
    BOOL flushed = FlushFileBuffers(file);
    DWORD error = GetLastError();
    CloseHandle(file);
    SetLastError(error);
    return flushed;
}

int SaveSchemeList(Scheme **list)
{
    char name[kSchemeFileNameSize], temp[kSchemeFileNameSize + 4];
    if (!SchemeFileName(name) || g_keepRejectedFile || g_unread) return 0;
    const DWORD start = GetTickCount();
    // A scheme file that may not be written (read-only, no rights) stays as it is.
    // A missing one is no obstacle, and is not made here: only a complete save creates it.
    BOOL mayWrite = WaitOutBriefLock(0, start, [&]() -> BOOL {
        HANDLE old = CreateFileA(name, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, NULL);
        if (old == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND;
        CloseHandle(old);
        return TRUE;
    });
    if (!mayWrite) return 0;
    if (!SameStamp(StampOf(name), g_known) && !TakeInChangedFile(name, list)) return 0;
    NameWithSuffix(temp, name, ".new");
    size_t size = SchemeFileSize(*list);
    unsigned char *data = (unsigned char *)AllocRecord(size ? size : 1);
    if (!data) return 0;
    EncodeSchemeFile(*list, ForceCloseOption(), data);
    int saved = 0;
    HANDLE file = CreateFileA(temp, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        // On the disk before it takes the old file's place, and the replace itself written
        // through: a power cut then leaves the old file or the new one, whole.
        saved = WriteFile(file, data, (DWORD)size, &written, NULL) && written == size &&
                FlushFileBuffers(file);
        CloseHandle(file);
        const FileStamp ours = StampOf(temp);  // a rename keeps size and time
        saved = saved && WaitOutBriefLock(1, start, [&]() -> BOOL {
            return MoveFileExA(temp, name, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
        });
        if (!saved) DeleteFileA(temp);
        saved = saved && WaitOutBriefLock(0, start, [&]() { return FlushFile(name); });
        if (saved) g_known = ours;
    }
    FreeRecord(data);
    return saved;
}
