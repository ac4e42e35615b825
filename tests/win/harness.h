// Helpers for tests that run Trellith's code in this process against the real Win32 of Wine.
#pragma once
#include <windows.h>
#include <functional>
#include <string>
#include <vector>

// Runs blocking on this thread (it enters a modal loop: AppMain, a dialog, a menu) while script
// runs on a second thread and drives the windows as a user's actions would arrive. Whatever is
// still open after the script is closed, so that a failed script never hangs the run.
void RunDriven(const std::function<void()> &blocking, const std::function<void()> &script);

// Polls until condition holds; false after timeoutMs.
bool WaitUntil(const std::function<bool()> &condition, DWORD timeoutMs = 5000);
// Waits until the window is visible (or hidden), taking in this thread's messages meanwhile:
// another program carries out a show or hide in its own time.
bool Becomes(HWND window, bool visible, DWORD timeoutMs = 5000);
// A visible top-level window of this process with the class (and title, unless NULL).
HWND WaitForWindow(const char *className, const char *title, DWORD timeoutMs = 5000);
// Moves the pointer and waits until the platform reports it there (on a virtual display a late
// motion event can still move it back).
void MovePointer(int x, int y);
// The shell's desktop window: Explorer's, or where there is none (Wine), the desktop window.
HWND ShellDesktop();
// Dispatches this thread's messages for a while, so that posted messages take effect.
void Pump(DWORD ms);

// Points this program's import of module!function at replacement, so that a test sees the calls
// that the program's code, linked in here, makes. Returns what the import held, or NULL.
void *PatchImport(const char *module, const char *function, void *replacement);

// The texts of a message box's static controls, joined.
std::string MessageBoxText(HWND box);

// The colour of every pixel of a 32 x 32 bitmap, top row first, as 0x00RRGGBB.
std::vector<uint32_t> BitmapPixels(HBITMAP bitmap);
// The pixels of an icon's colour and mask images, one after the other.
std::vector<uint32_t> IconPixels(HICON icon);

// The folder of the test programs, with a trailing backslash; Trellith.dll lives there too.
std::string BinFolder();
// This test program's scheme file: its path with "ini" for "exe", as the program forms it.
std::string SchemeFilePath();
std::string ReadFileBytes(const std::string &path);
void WriteFileBytes(const std::string &path, const std::string &bytes);

// A top-level window of another process, for the desktop tests: testwin.exe with windows of the
// given classes, each logging the SC_CLOSE messages it receives.
class HelperWindows {
public:
    explicit HelperWindows(const std::vector<std::string> &classes);
    ~HelperWindows();
    HWND Find(const char *className, int n = 0) const;
    std::string Log() const;  // every line logged so far
    // "class n" of each line of one kind ("SC_CLOSE", "SHOW", "HIDE"), in order.
    std::vector<std::string> Lines(const char *kind) const;
    void ClearLog() const;
    std::vector<HWND> All() const;

private:
    PROCESS_INFORMATION process_;
    std::string log_;
    DWORD processId_;
};

// Records the calls that leave the machine, instead of making them.
struct SeamRecorder {
    SeamRecorder();
    ~SeamRecorder();
    static std::vector<UINT> exitFlags;
    static std::vector<std::string> mciCommands;
    static std::vector<std::pair<DWORD, DWORD>> beeps;
    static std::vector<std::string> shellFiles;
    static std::vector<std::string> shellDirectories;
    static std::function<void()> onExit;  // runs inside the ExitWindowsEx seam
    static DWORD exitError;               // where not 0, ExitWindowsEx fails with it
};
