#include "program.h"
#include "../win/harness.h"
#include "../../src/desktops/recovery_file.h"

Program::Program(const std::string &exe, const std::string &currentFolder)
{
    ZeroMemory(&process_, sizeof process_);
    std::string folder = currentFolder.empty() ? exe.substr(0, exe.rfind('\\')) : currentFolder;
    std::string command = "\"" + exe + "\"";
    STARTUPINFOA startup = {sizeof startup};
    CreateProcessA(exe.c_str(), &command[0], NULL, NULL, FALSE, 0, NULL, folder.c_str(), &startup, &process_);
}

Program::~Program()
{
    if (!process_.hProcess) return;
    if (WaitForExit(0) == STILL_ACTIVE) {
        if (HWND main = MainWindow(0)) PostMessageA(main, WM_CLOSE, 0, 0);
        if (WaitForExit(5000) == STILL_ACTIVE) TerminateProcess(process_.hProcess, 1);
    }
    CloseHandle(process_.hProcess);
    CloseHandle(process_.hThread);
}

DWORD Program::WaitForExit(DWORD timeoutMs)
{
    WaitForSingleObject(process_.hProcess, timeoutMs);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process_.hProcess, &code);
    return code;
}

namespace {
struct Search {
    DWORD process;
    const char *className;
    HWND found;
};
BOOL CALLBACK Match(HWND window, LPARAM parameter)
{
    Search *s = (Search *)parameter;
    DWORD process;
    GetWindowThreadProcessId(window, &process);
    char className[64];
    GetClassNameA(window, className, sizeof className);
    if (process == s->process && strcmp(className, s->className) == 0) {
        s->found = window;
        return FALSE;
    }
    return TRUE;
}
HWND FindProcessWindow(DWORD process, const char *className, DWORD timeoutMs)
{
    Search s = {process, className, NULL};
    WaitUntil([&] { EnumWindows(Match, (LPARAM)&s); return s.found != NULL; }, timeoutMs);
    return s.found;
}
}  // namespace

HWND Program::MainWindow(DWORD timeoutMs)
{
    return FindProcessWindow(process_.dwProcessId, "TRELLITH15", timeoutMs);
}

HWND Program::MessageBox(DWORD timeoutMs)
{
    return FindProcessWindow(process_.dwProcessId, "#32770", timeoutMs);
}

std::string MakeProgramFolder(const std::string &name, const std::string &exeName, const std::string &module)
{
    std::string folder = BinFolder() + "e2e\\" + name + "\\";
    CreateDirectoryA((BinFolder() + "e2e").c_str(), NULL);
    CreateDirectoryA(folder.c_str(), NULL);
    for (const char *leftover : {"Trellith.ini", "Trellith.ini.bad", "Trellith.ini.new", "Trellith.dll", "Trellith.exe"})
        DeleteFileA((folder + leftover).c_str());
    RemoveDirectoryA((folder + "Trellith.ini.new").c_str());
    char recovery[MAX_PATH + 40];  // the logon session's, left by a test that failed
    if (RecoveryFileName(recovery, sizeof recovery)) DeleteFileA(recovery);
    CopyFileA((BinFolder() + "Trellith.exe").c_str(), (folder + exeName).c_str(), FALSE);
    if (!module.empty()) CopyFileA((BinFolder() + module).c_str(), (folder + "Trellith.dll").c_str(), FALSE);
    return folder;
}
