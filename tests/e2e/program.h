// Starting Trellith.exe, or a copy of it in a folder of its own, and watching it from outside.
#pragma once
#include <windows.h>
#include <string>

class Program {
public:
    // Starts exe (a full path) with its own folder as the current one, or with the given one.
    explicit Program(const std::string &exe, const std::string &currentFolder = "");
    ~Program();
    bool Started() const { return process_.hProcess != NULL; }
    // The exit code once the process has ended within timeoutMs, else STILL_ACTIVE.
    DWORD WaitForExit(DWORD timeoutMs);
    // The main window of this process, once it exists.
    HWND MainWindow(DWORD timeoutMs = 10000);
    // A message box of this process (caption "Trellith"), once it shows.
    HWND MessageBox(DWORD timeoutMs = 10000);
    HANDLE Process() const { return process_.hProcess; }
    DWORD Id() const { return process_.dwProcessId; }

private:
    PROCESS_INFORMATION process_;
};

// A folder of its own under the tests' folder holding Trellith.exe (under the given name) and,
// unless module is empty, the given companion module as Trellith.dll. Emptied first.
std::string MakeProgramFolder(const std::string &name, const std::string &exeName = "Trellith.exe",
                              const std::string &module = "Trellith.dll");
