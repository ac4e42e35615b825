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

const std::string kForce = std::string("\1\0\0\0", 4);

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

}  // namespace
