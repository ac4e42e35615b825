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

// The bytes this run last read from the file or put in its place: what this run and another
// writer (another session's Trellith, a copy back from a backup) both started from, where a save
// finds other bytes there. Its time says nothing: a backup tool, a change of time zone on FAT, a
// flush that failed after the replace all move it.
static unsigned char *g_base;
static DWORD g_baseSize;
static int g_baseKnown;
static uint32_t g_baseWord;  // the force-close word the base stands for (WordOfFile)

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

// Without the memory for a copy, the base is unknown, and a later merge starts from nothing.
static void KeepAsBase(const unsigned char *data, DWORD size, uint32_t wordInEffect)
{
    g_baseWord = WordOfFile(data, size, wordInEffect);
    FreeRecord(g_base);
    g_base = (unsigned char *)AllocRecord(size ? size : 1);
    g_baseKnown = g_base != NULL;
    g_baseSize = g_baseKnown ? size : 0;
    if (g_baseKnown && size) memcpy(g_base, data, size);
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
// kBrieflyLocked or kCannotRead.
static int ReadWholeFile(const char *name, unsigned char **data, DWORD *size)
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
        int result = ReadWholeFile(fresh, &data, &size);
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
// kCannotRead. A file read, accepted or not, and a file found missing, becomes the base.
static int ReadSchemeFile(const char *name, Scheme **list, uint32_t *forceClose)
{
    unsigned char *data;
    DWORD size;
    int result = ReadWholeFile(name, &data, &size);
    if (result < 0) return result;
    if (result) {
        result = DecodeSchemeFile(data, size, list, forceClose);
        if (result == kNoMemoryForFile) result = kCannotRead;
        if (result == 0 && size != 0 && !KeepAside(name, name, 0)) g_keepRejectedFile = 1;
    }
    if (result >= 0) KeepAsBase(data, size, ForceCloseOption());
    FreeRecord(data);
    return result;
}

// Held from the comparison with the base to the flush of a save, and while a start settles a
// save cut short: another session's Trellith, which the single-instance mutex does not reach,
// waits meanwhile. Opened without sharing and deleted when closed, so that a writer that dies
// holding it leaves none behind. A save waits for it within its deadline from startMs; a start
// tries once (the tick tries again), since nothing may sleep on the only thread while the icon
// waits for it. *held tells a lock held by another writer from a folder that may not be written.
static HANDLE TakeWriterLock(const char *name, DWORD startMs, int wait, int *held)
{
    char lockName[kSchemeFileNameSize + 8];
    NameWithSuffix(lockName, name, ".lock");
    for (int i = 0;; ++i) {
        HANDLE lock = CreateFileA(lockName, GENERIC_WRITE, 0, NULL, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, NULL);
        if (lock != INVALID_HANDLE_VALUE) return lock;
        DWORD error = GetLastError();
        int there = GetFileAttributesA(lockName) != INVALID_FILE_ATTRIBUTES || GetLastError() == ERROR_ACCESS_DENIED;
        *held = IsLockHeldElsewhere(error, there);
        uint32_t ms = wait ? BriefLockWaitMs(i, GetTickCount() - startMs) : 0;
        if (!*held || !ms) return INVALID_HANDLE_VALUE;
        Sleep(ms);
    }
}

static int ReadAtStartOrRetry(Scheme **list, uint32_t *forceClose)
{
    char name[kSchemeFileNameSize];
    int held = 0;
    if (!SchemeFileName(name)) return 0;
    // Where no lock can be made (a folder that may not be written), the file is read all the same.
    HANDLE lock = TakeWriterLock(name, GetTickCount(), 0, &held);
    if (held) return kBrieflyLocked;
    int settled = SettleLeftover(name);
    int result = settled < 0 ? settled : ReadSchemeFile(name, list, forceClose);
    if (lock != INVALID_HANDLE_VALUE) CloseHandle(lock);
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
    if (!MergeSchemes(SchemeListHead(), NULL, loaded)) {
        FreeSchemeList(&loaded);
        NoteReadOutcome(kCannotRead);  // not taken in: the file stays unread, and is not overwritten
        return;
    }
    if (!ForceCloseOption()) SetForceCloseOption(forceClose);
}

// Another writer's file merged into *list against the base (MergeSchemes); a damaged one is kept
// aside and tells nothing. 0 when memory runs out, or a damaged file cannot be kept aside.
static int MergeFile(const char *name, Scheme **list, const unsigned char *data, DWORD size)
{
    Scheme *base = NULL, *theirs = NULL;
    uint32_t word = 0;
    int decoded = DecodeSchemeFile(data, size, &theirs, &word);
    if (decoded == kNoMemoryForFile) return 0;
    if (!decoded && size != 0) {
        if (!KeepAside(name, name, 0)) g_keepRejectedFile = 1;
        return !g_keepRejectedFile;
    }
    if (g_baseKnown && DecodeSchemeFile(g_base, g_baseSize, &base, &word) == kNoMemoryForFile) {
        FreeSchemeList(&theirs);
        return 0;
    }
    int merged = MergeSchemes(list, base, theirs);
    // The empty list keeps no word: theirs is then the base's, as it stood.
    if (merged) SetForceCloseOption(MergeWord(g_baseWord, ForceCloseOption(), WordOfFile(data, size, g_baseWord)));
    else FreeSchemeList(&theirs);
    FreeSchemeList(&base);
    return merged;
}

// Before a save: where the file's bytes are not the base, another writer changed it since, and
// its changes are merged in. A missing file tells nothing of deletions: ours are written as they
// are. A brief lock is waited out until the deadline from startMs; 0 when the file cannot be read
// by then, or cannot be merged.
static int TakeInChanges(const char *name, Scheme **list, DWORD startMs)
{
    unsigned char *data;
    DWORD size;
    int read;
    for (int i = 0;; ++i) {
        read = ReadWholeFile(name, &data, &size);
        uint32_t wait = BriefLockWaitMs(i, GetTickCount() - startMs);
        if (read != kBrieflyLocked || !wait) break;
        Sleep(wait);
    }
    if (read <= 0) return read == 0;
    int done = 1;
    if (!g_baseKnown || size != g_baseSize || memcmp(data, g_base, size) != 0) {
        const uint32_t baseWord = g_baseWord;
        done = MergeFile(name, list, data, size);
        if (done) KeepAsBase(data, size, baseWord);
    }
    FreeRecord(data);
    return done;
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

// The save itself, under the writer's lock.
static int SaveLocked(const char *name, Scheme **list, DWORD start)
{
    char temp[kSchemeFileNameSize + 4];
    // A scheme file that may not be written (read-only, no rights) stays as it is.
    // A missing one is no obstacle, and is not made here: only a complete save creates it.
    BOOL mayWrite = WaitOutBriefLock(0, start, [&]() -> BOOL {
        HANDLE old = CreateFileA(name, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, NULL);
        if (old == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND;
        CloseHandle(old);
        return TRUE;
    });
    if (!mayWrite || !TakeInChanges(name, list, start)) return 0;
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
        saved = saved && WaitOutBriefLock(1, start, [&]() -> BOOL {
            return MoveFileExA(temp, name, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
        });
        if (!saved) DeleteFileA(temp);
        if (saved) KeepAsBase(data, (DWORD)size, ForceCloseOption());  // in the file's place, flushed or not
        saved = saved && WaitOutBriefLock(0, start, [&]() { return FlushFile(name); });
    }
    FreeRecord(data);
    return saved;
}

int SaveSchemeList(Scheme **list)
{
    char name[kSchemeFileNameSize];
    int held;
    if (!SchemeFileName(name) || g_keepRejectedFile || g_unread) return 0;
    const DWORD start = GetTickCount();
    HANDLE lock = TakeWriterLock(name, start, 1, &held);
    if (lock == INVALID_HANDLE_VALUE) return 0;  // another writer is at it: a locked file, as any
    int saved = SaveLocked(name, list, start);
    CloseHandle(lock);
    return saved;
}
