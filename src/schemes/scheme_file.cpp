#include "scheme_file.h"
#include <windows.h>
#include <string.h>
#include "../app/alloc.h"
#include "../app/app_state.h"
#include "scheme.h"
#include "scheme_codec.h"

static int g_keepRejectedFile;  // a rejected file could not be copied aside: never overwrite it
static int g_unread;            // the file exists but could not be read yet: never overwrite it

int SchemeFileName(char name[kSchemeFileNameSize])
{
    return FileBesideProgram(name, kSchemeFileNameSize, "ini");
}

static void NameWithSuffix(char *out, const char *name, const char *suffix)
{
    strcpy(out, name);
    strcat(out, suffix);
}

static int ReadWholeFile(HANDLE file, unsigned char **data, DWORD *size)
{
    DWORD high = 0;
    *size = GetFileSize(file, &high);
    if (*size == INVALID_FILE_SIZE || high != 0) return 0;
    *data = (unsigned char *)AllocRecord(*size ? *size : 1);
    DWORD read = 0;
    return *data && ReadFile(file, *data, *size, &read, NULL) && read == *size;
}

// Reads the file into *list. 1 accepted, 0 absent or rejected (a rejected one is copied aside
// first), and -1 when it exists but could not be read: locked by another program for a
// moment, or no memory.
static int ReadSchemeFile(Scheme **list, uint32_t *forceClose)
{
    char name[kSchemeFileNameSize];
    if (!SchemeFileName(name)) return 0;
    HANDLE file = CreateFileA(name, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? 0 : -1;
    }
    unsigned char *data = NULL;
    DWORD size = 0;
    int result = ReadWholeFile(file, &data, &size) ? DecodeSchemeFile(data, size, list, forceClose) : -1;
    FreeRecord(data);
    CloseHandle(file);
    if (result == kNoMemoryForFile) result = -1;
    if (result == 0 && size != 0) {
        char bad[kSchemeFileNameSize + 4];
        NameWithSuffix(bad, name, ".bad");
        g_keepRejectedFile = !CopyFileA(name, bad, FALSE);
    }
    return result;
}

int LoadSchemes()
{
    g_keepRejectedFile = 0;
    uint32_t forceClose = ForceCloseOption();
    int result = ReadSchemeFile(SchemeListHead(), &forceClose);
    g_unread = result < 0;
    if (result > 0) SetForceCloseOption(forceClose);
    return result > 0;
}

void RetryUnreadSchemeFile()
{
    if (!g_unread) return;
    Scheme *loaded = NULL;
    uint32_t forceClose = 0;
    int result = ReadSchemeFile(&loaded, &forceClose);
    if (result < 0) return;
    g_unread = 0;
    if (result == 0) return;
    // As if loaded at start: the file's schemes first, then any made meanwhile; a force-close
    // option set meanwhile stays set.
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
    HANDLE old = CreateFileA(name, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, NULL);
    if (old != INVALID_HANDLE_VALUE) CloseHandle(old);
    else if (GetLastError() != ERROR_FILE_NOT_FOUND) return 0;
    NameWithSuffix(temp, name, ".new");
    size_t size = SchemeFileSize(list);
    unsigned char *data = (unsigned char *)AllocRecord(size ? size : 1);
    if (!data) return 0;
    EncodeSchemeFile(list, ForceCloseOption(), data);
    int saved = 0;
    HANDLE file = CreateFileA(temp, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        saved = WriteFile(file, data, (DWORD)size, &written, NULL) && written == size &&
                FlushFileBuffers(file);
        CloseHandle(file);
        saved = saved && MoveFileExA(temp, name, MOVEFILE_REPLACE_EXISTING);
        if (!saved) DeleteFileA(temp);
    }
    FreeRecord(data);
    return saved;
}
