#include "scheme_file.h"
#include <windows.h>
#include <string.h>
#include "../app/alloc.h"
#include "scheme_codec.h"

const size_t kFileNameSize = 256;
static int g_keepRejectedFile;  // a rejected file could not be copied aside: never overwrite it

// The executable's path with its last three characters replaced by "ini". 0 when the path
// does not fit the buffer: a cut path would name some other file.
static int SchemeFileName(char name[kFileNameSize])
{
    DWORD len = GetModuleFileNameA(NULL, name, kFileNameSize);
    if (len < 3 || len >= kFileNameSize) return 0;
    memcpy(name + len - 3, "ini", 4);
    return 1;
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

int LoadSchemes()
{
    char name[kFileNameSize];
    if (!SchemeFileName(name)) return 0;
    HANDLE file = CreateFileA(name, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE) return 0;
    unsigned char *data = NULL;
    DWORD size = 0;
    uint32_t forceClose = ForceCloseOption();
    int accepted = ReadWholeFile(file, &data, &size) &&
                   DecodeSchemeFile(data, size, SchemeListHead(), &forceClose);
    FreeRecord(data);
    CloseHandle(file);
    if (accepted) {
        SetForceCloseOption(forceClose);
    } else if (size != 0) {
        char bad[kFileNameSize + 4];
        NameWithSuffix(bad, name, ".bad");
        g_keepRejectedFile = !CopyFileA(name, bad, FALSE);
    }
    return accepted;
}

int SaveSchemes()
{
    char name[kFileNameSize], temp[kFileNameSize + 4];
    if (!SchemeFileName(name) || g_keepRejectedFile) return 0;
    // A scheme file that may not be written (read-only, no rights) stays as it is.
    // A missing one is no obstacle, and is not made here: only a complete save creates it.
    HANDLE old = CreateFileA(name, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, NULL);
    if (old != INVALID_HANDLE_VALUE) CloseHandle(old);
    else if (GetLastError() != ERROR_FILE_NOT_FOUND) return 0;
    NameWithSuffix(temp, name, ".new");
    size_t size = SchemeFileSize(*SchemeListHead());
    unsigned char *data = (unsigned char *)AllocRecord(size ? size : 1);
    if (!data) return 0;
    EncodeSchemeFile(*SchemeListHead(), ForceCloseOption(), data);
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
