// Trellith.exe started on a crafted scheme file and ended from outside.
#include <gtest/gtest.h>
#include "program.h"
#include "../win/harness.h"

namespace {

std::string Record(const char *name, unsigned char kind, unsigned short minutes, unsigned char action,
                   unsigned short delay, unsigned char suspended, unsigned char once)
{
    std::string r(80, '\0');
    memcpy(&r[0], name, strlen(name));
    r[40] = 'x';  // after the name's NUL: kept as it is
    r[48] = (char)kind;
    r[52] = (char)(minutes & 0xFF);
    r[53] = (char)(minutes >> 8);
    r[56] = (char)action;
    r[60] = (char)(delay & 0xFF);
    r[61] = (char)(delay >> 8);
    r[64] = (char)suspended;
    r[68] = (char)once;
    return r;
}

const std::string kForce = std::string("\1\0\0\0", 4), kEmpty;

std::string RunAndClose(const std::string &folder)
{
    Program program(folder + "Trellith.exe");
    HWND main = program.MainWindow();
    EXPECT_TRUE(main != NULL);
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, program.WaitForExit(5000));
    return ReadFileBytes(folder + "Trellith.ini");
}

TEST(SchemeFileE2E, TheProgramWritesBackExactlyWhatItLoaded)
{
    std::string folder = MakeProgramFolder("schemes-roundtrip");
    const std::string file = Record("关机", 0, 1439, 3, 3599, 7, 1) + Record("bell", 3, 0, 4, 0, 0, 9) + kForce;
    WriteFileBytes(folder + "Trellith.ini", file);
    EXPECT_EQ(file, RunAndClose(folder));
    // A good file is not set aside as a rejected one.
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((folder + "Trellith.ini.bad").c_str()));
}

TEST(SchemeFileE2E, ARejectedFileSurvivesAsBad)
{
    std::string folder = MakeProgramFolder("schemes-rejected");
    const std::string file = Record("one", 0, 1, 0, 0, 0, 0) + Record("bad", 4, 1, 0, 0, 0, 0) + kForce;
    WriteFileBytes(folder + "Trellith.ini", file);
    EXPECT_EQ("", RunAndClose(folder));  // nothing was loaded, and nothing is what is written
    EXPECT_EQ(file, ReadFileBytes(folder + "Trellith.ini.bad"));
}

TEST(SchemeFileE2E, APathTooLongForTheFileNameTouchesNoFile)
{
    // The executable's path takes 257 characters: it does not fit 256 bytes with its NUL.
    std::string base = BinFolder() + "e2e\\";
    std::string name = "long" + std::string(257 - base.size() - strlen("\\Trellith.exe") - 4, 'x');
    std::string folder = base + name + "\\";
    ASSERT_EQ(257u, (folder + "Trellith.exe").size());
    CreateDirectoryA(folder.c_str(), NULL);
    CopyFileA((BinFolder() + "Trellith.exe").c_str(), (folder + "Trellith.exe").c_str(), FALSE);
    CopyFileA((BinFolder() + "Trellith.dll").c_str(), (folder + "Trellith.dll").c_str(), FALSE);
    const std::string file = Record("rejected", 9, 0, 0, 0, 0, 0) + kForce;
    WriteFileBytes(folder + "Trellith.ini", file);
    DeleteFileA((folder + "Trellith.ini.bad").c_str());
    EXPECT_EQ(file, RunAndClose(folder));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((folder + "Trellith.ini.bad").c_str()));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((folder + "Trellith.ini.new").c_str()));
}

// A save cut short between its steps leaves a .new; the next start settles it and the exit
// writes the schemes back: whole .new alone taken, torn .new beside a good file or alone set
// aside or removed, never taken.
TEST(SchemeFileE2E, AStartSettlesWhatASaveCutShortLeft)
{
    const std::string good = Record("kept", 0, 1, 0, 0, 0, 0) + kForce, none = "<missing>";
    const std::string last = Record("last", 3, 2, 1, 0, 0, 0) + kForce, torn = last.substr(0, 50);
    struct { const std::string *ini, *fresh, *endIni, *bad; } rows[] = {
        {NULL, &last, &last, &none},  // the old file deleted, the rename not made
        {&good, &torn, &good, &none},
        {&good, &last, &good, &none},
        {NULL, &torn, &kEmpty, &torn},  // the first save torn while it wrote: set aside
    };
    for (const auto &row : rows) {
        std::string folder = MakeProgramFolder("schemes-leftover");
        if (row.ini) WriteFileBytes(folder + "Trellith.ini", *row.ini);
        WriteFileBytes(folder + "Trellith.ini.new", *row.fresh);
        EXPECT_EQ(*row.endIni, RunAndClose(folder)) << (row.ini != NULL) << (row.fresh == &torn);
        EXPECT_EQ(none, ReadFileBytes(folder + "Trellith.ini.new"));
        EXPECT_EQ(*row.bad, ReadFileBytes(folder + "Trellith.ini.bad"));
    }
}

// Confirmed in the settings, then the process is killed: the file holds what was confirmed.
TEST(SchemeFileE2E, OkSavesSoThatAHardKillLosesNothing)
{
    std::string folder = MakeProgramFolder("schemes-kill");
    WriteFileBytes(folder + "Trellith.ini", Record("one", 0, 1, 0, 0, 0, 0) + kForce);
    Program program(folder + "Trellith.exe");
    HWND main = program.MainWindow();
    ASSERT_TRUE(main != NULL);
    PostMessageA(main, WM_COMMAND, 1038, 0);  // 定时器设置...
    HWND dialog = NULL;
    // Shown once its controls are made and set.
    ASSERT_TRUE(WaitUntil([&] { return (dialog = FindWindowA("#32770", "定时器设置")) && IsWindowVisible(dialog); }));
    // Typed into the name box, then 新建 and 确定; posted, so that no answer is waited for.
    HWND nameEdit = FindWindowExA(GetDlgItem(dialog, 1000), NULL, "Edit", NULL);
    ASSERT_TRUE(nameEdit != NULL);
    PostMessageA(nameEdit, EM_SETSEL, 0, -1);
    for (const char *c = "two"; *c; ++c) PostMessageA(nameEdit, WM_CHAR, *c, 1);
    PostMessageA(GetDlgItem(dialog, 4), BM_CLICK, 0, 0);
    PostMessageA(GetDlgItem(dialog, 1), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
    TerminateProcess(program.Process(), 1);
    program.WaitForExit(5000);
    std::string expected = Record("one", 0, 1, 0, 0, 0, 0) + Record("two", 0, 0, 0, 0, 0, 0) + kForce;
    expected[120] = '\0';  // a new record is all zeros after its name
    EXPECT_EQ(expected, ReadFileBytes(folder + "Trellith.ini"));
}

// A backup or a virus scanner holds the file at log-on: the program neither loses the schemes
// nor writes an empty list over them, and takes them in once it can read the file.
TEST(SchemeFileE2E, AFileHeldByAnotherProgramAtStartIsReadLaterAndNeverOverwritten)
{
    std::string folder = MakeProgramFolder("schemes-locked");
    SYSTEMTIME now;
    GetLocalTime(&now);
    unsigned short minute = (unsigned short)(now.wHour * 60 + now.wMinute);
    // Due now or in the next minute, a bell; stored as fired, which a load clears.
    std::string file = Record("now", 0, minute, 0, 30, 0, 0) + Record("next", 0, (minute + 1) % 1440, 0, 30, 0, 0) + kForce;
    file[72] = file[152] = 1;
    WriteFileBytes(folder + "Trellith.ini", file);
    auto hold = [&] {
        return CreateFileA((folder + "Trellith.ini").c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    };
    {
        // Released while the settings are open, when no tick reads it: the exit that follows
        // must still leave it alone.
        HANDLE lock = hold();
        ASSERT_NE(INVALID_HANDLE_VALUE, lock);
        Program program(folder + "Trellith.exe");
        HWND main = program.MainWindow();
        ASSERT_TRUE(main != NULL);
        Sleep(1500);
        PostMessageA(main, WM_COMMAND, 1038, 0);
        ASSERT_TRUE(WaitUntil([&] { return FindWindowA("#32770", "定时器设置") != NULL; }));
        CloseHandle(lock);
        PostMessageA(main, WM_COMMAND, 1039, 0);  // 退出
        EXPECT_EQ(0u, program.WaitForExit(5000));
        EXPECT_EQ(file, ReadFileBytes(folder + "Trellith.ini"));  // byte for byte
    }
    HANDLE lock = hold();
    Program program(folder + "Trellith.exe");
    HWND main = program.MainWindow();
    ASSERT_TRUE(main != NULL);
    Sleep(1500);
    EXPECT_EQ(NULL, program.MessageBox(0));  // nothing due: no schemes yet
    CloseHandle(lock);
    HWND countdown = program.MessageBox(4000);  // a tick reads the file: one of them fires
    ASSERT_TRUE(countdown != NULL);
    char title[32] = "";
    GetWindowTextA(countdown, title, sizeof title);
    EXPECT_STREQ("Trellith", title);
    PostMessageA(countdown, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(countdown); }));
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, program.WaitForExit(5000));
    std::string saved = ReadFileBytes(folder + "Trellith.ini");
    ASSERT_EQ(file.size(), saved.size());
    EXPECT_EQ(1, saved[72] + saved[152]);  // loaded (fired cleared), then one fired
}

}  // namespace
