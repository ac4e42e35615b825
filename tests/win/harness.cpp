#include "harness.h"
#include <stdio.h>
#include "../../src/app/seams.h"

namespace {

struct Driven {
    const std::function<void()> *script;
    DWORD uiThread;
    volatile LONG blockingDone;
};

BOOL CALLBACK CloseLeftover(HWND window, LPARAM)
{
    char className[64];
    GetClassNameA(window, className, sizeof className);
    if (strcmp(className, "#32770") == 0) PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
    else if (strcmp(className, "TRELLITH15") == 0) PostMessageA(window, WM_CLOSE, 0, 0);
    else if (strcmp(className, "#32768") == 0) PostMessageA(window, WM_KEYDOWN, VK_ESCAPE, 0);
    return TRUE;
}

DWORD WINAPI DriverThread(void *parameter)
{
    Driven *d = (Driven *)parameter;
    (*d->script)();
    for (int i = 0; i < 100 && !d->blockingDone; ++i) {
        EnumThreadWindows(d->uiThread, CloseLeftover, 0);
        EnumWindows(CloseLeftover, 0);
        Sleep(100);
    }
    return 0;
}

}  // namespace

void RunDriven(const std::function<void()> &blocking, const std::function<void()> &script)
{
    Driven d = {&script, GetCurrentThreadId(), 0};
    HANDLE thread = CreateThread(NULL, 0, DriverThread, &d, 0, NULL);
    blocking();
    InterlockedExchange(&d.blockingDone, 1);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
}

bool WaitUntil(const std::function<bool()> &condition, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(10);
    }
    return true;
}

bool Becomes(HWND window, bool visible, DWORD timeoutMs)
{
    return WaitUntil([&] {
        Pump(0);  // where the program's code runs on this thread, its messages must come in
        return (IsWindowVisible(window) != FALSE) == visible;
    }, timeoutMs);
}

namespace {
struct Search {
    const char *className, *title;
    HWND found;
};
BOOL CALLBACK MatchWindow(HWND window, LPARAM parameter)
{
    Search *s = (Search *)parameter;
    DWORD process;
    GetWindowThreadProcessId(window, &process);
    char className[64], title[256];
    GetClassNameA(window, className, sizeof className);
    GetWindowTextA(window, title, sizeof title);
    if (process == GetCurrentProcessId() && strcmp(className, s->className) == 0 &&
        (!s->title || strcmp(title, s->title) == 0) && (IsWindowVisible(window) || !strcmp(className, "TRELLITH15"))) {
        s->found = window;
        return FALSE;
    }
    return TRUE;
}
}  // namespace

HWND WaitForWindow(const char *className, const char *title, DWORD timeoutMs)
{
    Search s = {className, title, NULL};
    WaitUntil([&] { EnumWindows(MatchWindow, (LPARAM)&s); return s.found != NULL; }, timeoutMs);
    return s.found;
}

void MovePointer(int x, int y)
{
    WaitUntil([&] {
        SetCursorPos(x, y);
        Sleep(20);
        POINT at;
        GetCursorPos(&at);
        return at.x == x && at.y == y;
    }, 2000);
}

void Pump(DWORD ms)
{
    DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(5);
    } while (GetTickCount() - start < ms);
}

void *PatchImport(const char *module, const char *function, void *replacement)
{
    BYTE *base = (BYTE *)GetModuleHandleA(NULL);
    IMAGE_NT_HEADERS *nt = (IMAGE_NT_HEADERS *)(base + ((IMAGE_DOS_HEADER *)base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY &imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (IMAGE_IMPORT_DESCRIPTOR *d = (IMAGE_IMPORT_DESCRIPTOR *)(base + imports.VirtualAddress); d->Name; ++d) {
        if (lstrcmpiA((const char *)(base + d->Name), module) != 0) continue;
        IMAGE_THUNK_DATA *names = (IMAGE_THUNK_DATA *)(base + d->OriginalFirstThunk);
        IMAGE_THUNK_DATA *slots = (IMAGE_THUNK_DATA *)(base + d->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            IMAGE_IMPORT_BY_NAME *name = (IMAGE_IMPORT_BY_NAME *)(base + names->u1.AddressOfData);
            if (strcmp((const char *)name->Name, function) != 0) continue;
            DWORD old;
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &old);
            void *previous = (void *)slots->u1.Function;
            slots->u1.Function = (ULONG_PTR)replacement;
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, old, &old);
            return previous;
        }
    }
    return NULL;
}

namespace {
BOOL CALLBACK AppendStaticText(HWND child, LPARAM parameter)
{
    char className[32], text[512];
    GetClassNameA(child, className, sizeof className);
    GetWindowTextA(child, text, sizeof text);
    if (lstrcmpiA(className, "Static") == 0) *(std::string *)parameter += text;
    return TRUE;
}
}  // namespace

std::string MessageBoxText(HWND box)
{
    std::string text;
    EnumChildWindows(box, AppendStaticText, (LPARAM)&text);
    return text;
}

std::vector<uint32_t> BitmapPixels(HBITMAP bitmap)
{
    std::vector<uint32_t> pixels(32 * 32);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = 32;
    info.bmiHeader.biHeight = -32;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    HDC dc = GetDC(NULL);
    GetDIBits(dc, bitmap, 0, 32, pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(NULL, dc);
    for (uint32_t &p : pixels) p &= 0xFFFFFF;
    return pixels;
}

std::vector<uint32_t> IconPixels(HICON icon)
{
    ICONINFO info;
    if (!icon || !GetIconInfo(icon, &info)) return {};
    std::vector<uint32_t> pixels = BitmapPixels(info.hbmMask);
    if (info.hbmColor) {
        std::vector<uint32_t> colour = BitmapPixels(info.hbmColor);
        pixels.insert(pixels.end(), colour.begin(), colour.end());
        DeleteObject(info.hbmColor);
    }
    DeleteObject(info.hbmMask);
    return pixels;
}

std::string BinFolder()
{
    char path[MAX_PATH];
    GetModuleFileNameA(NULL, path, MAX_PATH);
    *(strrchr(path, '\\') + 1) = '\0';
    return path;
}

std::string SchemeFilePath()
{
    char path[MAX_PATH];
    GetModuleFileNameA(NULL, path, MAX_PATH);
    strcpy(path + strlen(path) - 3, "ini");
    return path;
}

std::string ReadFileBytes(const std::string &path)
{
    std::string bytes;
    FILE *f = fopen(path.c_str(), "rb");
    if (!f) return "<missing>";
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, f)) > 0) bytes.append(buffer, n);
    fclose(f);
    return bytes;
}

void WriteFileBytes(const std::string &path, const std::string &bytes)
{
    FILE *f = fopen(path.c_str(), "wb");
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
}

HelperWindows::HelperWindows(const std::vector<std::string> &classes)
{
    static int serial;
    char log[64];
    sprintf(log, "testwin-%lu-%d.log", GetCurrentProcessId(), ++serial);
    log_ = BinFolder() + log;
    DeleteFileA(log_.c_str());
    std::string command = "\"" + BinFolder() + "testwin.exe\" \"" + log_ + "\"";
    size_t windows = 0;
    for (const std::string &c : classes) {
        command += " " + c;
        size_t star = c.find('*');
        windows += star == std::string::npos ? 1 : atoi(c.c_str() + star + 1);
    }
    STARTUPINFOA startup = {sizeof startup};
    std::vector<char> line(command.begin(), command.end());
    line.push_back('\0');
    CreateProcessA(NULL, line.data(), NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process_);
    processId_ = process_.dwProcessId;
    WaitUntil([&] {
        std::vector<HWND> all = All();
        size_t visible = 0;
        for (HWND w : all) visible += IsWindowVisible(w) ? 1 : 0;
        return visible >= windows;
    }, 5000 + (DWORD)windows * 60);
}

HelperWindows::~HelperWindows()
{
    for (HWND w : All()) ShowWindow(w, SW_SHOW);
    TerminateProcess(process_.hProcess, 0);
    WaitForSingleObject(process_.hProcess, 5000);
    CloseHandle(process_.hProcess);
    CloseHandle(process_.hThread);
    DeleteFileA(log_.c_str());
}

namespace {
struct ProcessWindows {
    DWORD process;
    std::vector<HWND> *windows;
};
BOOL CALLBACK CollectWindow(HWND window, LPARAM parameter)
{
    ProcessWindows *p = (ProcessWindows *)parameter;
    DWORD process;
    GetWindowThreadProcessId(window, &process);
    char className[64];
    GetClassNameA(window, className, sizeof className);
    if (process == p->process && strcmp(className, "IME") != 0) p->windows->push_back(window);
    return TRUE;
}
}  // namespace

std::vector<HWND> HelperWindows::All() const
{
    std::vector<HWND> windows;
    ProcessWindows p = {processId_, &windows};
    EnumWindows(CollectWindow, (LPARAM)&p);
    return windows;
}

HWND HelperWindows::Find(const char *className, int n) const
{
    char title[16];
    sprintf(title, "%d", n);
    for (HWND w : All()) {
        char c[64], t[16];
        GetClassNameA(w, c, sizeof c);
        GetWindowTextA(w, t, sizeof t);
        if (lstrcmpiA(c, className) == 0 && strcmp(t, title) == 0) return w;
    }
    return NULL;
}

std::string HelperWindows::Log() const
{
    std::string log = ReadFileBytes(log_);
    return log == "<missing>" ? "" : log;
}

std::vector<std::string> HelperWindows::Lines(const char *kind) const
{
    std::vector<std::string> lines;
    std::string log = Log(), prefix = std::string(kind) + " ";
    for (size_t at = 0; at < log.size();) {
        size_t end = log.find('\n', at);
        std::string line = log.substr(at, end - at);
        if (line.compare(0, prefix.size(), prefix) == 0) lines.push_back(line.substr(prefix.size()));
        at = end == std::string::npos ? log.size() : end + 1;
    }
    return lines;
}

void HelperWindows::ClearLog() const
{
    DeleteFileA(log_.c_str());
}

std::vector<UINT> SeamRecorder::exitFlags;
std::vector<std::string> SeamRecorder::mciCommands;
std::vector<std::pair<DWORD, DWORD>> SeamRecorder::beeps;
std::vector<std::string> SeamRecorder::shellFiles;
std::vector<std::string> SeamRecorder::shellDirectories;
std::function<void()> SeamRecorder::onExit;
DWORD SeamRecorder::exitError;

namespace {
PlatformSeams g_real;
BOOL WINAPI RecordExit(UINT flags, DWORD)
{
    SeamRecorder::exitFlags.push_back(flags);
    if (SeamRecorder::onExit) SeamRecorder::onExit();
    SetLastError(SeamRecorder::exitError);
    return SeamRecorder::exitError == 0;
}
DWORD WINAPI RecordMci(LPCSTR command, LPSTR, UINT, HWND)
{
    SeamRecorder::mciCommands.push_back(command);
    return 0;
}
BOOL WINAPI RecordBeep(DWORD frequency, DWORD duration)
{
    SeamRecorder::beeps.push_back({frequency, duration});
    return TRUE;
}
HINSTANCE WINAPI RecordShell(HWND, LPCSTR, LPCSTR file, LPCSTR, LPCSTR directory, INT)
{
    SeamRecorder::shellFiles.push_back(file ? file : "");
    SeamRecorder::shellDirectories.push_back(directory ? directory : "");
    return (HINSTANCE)33;
}
}  // namespace

SeamRecorder::SeamRecorder()
{
    g_real = g_seams;
    exitFlags.clear();
    mciCommands.clear();
    beeps.clear();
    shellFiles.clear();
    shellDirectories.clear();
    onExit = nullptr;
    exitError = 0;
    g_seams.exitWindowsEx = RecordExit;
    g_seams.mciSendString = RecordMci;
    g_seams.beep = RecordBeep;
    g_seams.shellExecute = RecordShell;
}

SeamRecorder::~SeamRecorder()
{
    g_seams = g_real;
    onExit = nullptr;
}

HWND ShellDesktop()
{
    return GetShellWindow() ? GetShellWindow() : GetDesktopWindow();
}
