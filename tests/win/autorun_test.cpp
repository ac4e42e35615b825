// The Run value in the real registry of the Wine prefix.
#include <gtest/gtest.h>
#include "harness.h"
#include "../../src/app/seams.h"
#include "../../src/settings/autorun.h"

namespace {

const char kRunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
int g_writes;
LONG g_refusal;  // ERROR_SUCCESS: writes go through

LONG WINAPI CountingWrite(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE *data, DWORD size)
{
    ++g_writes;
    return g_refusal != ERROR_SUCCESS ? g_refusal : RegSetValueExA(key, name, reserved, type, data, size);
}

LONG WINAPI RefusedDelete(HKEY, LPCSTR)
{
    return ERROR_ACCESS_DENIED;
}

class Autorun : public ::testing::Test {
protected:
    PlatformSeams saved;
    std::string path;
    void SetUp() override
    {
        saved = g_seams;
        g_seams.regSetValueEx = CountingWrite;
        g_writes = 0;
        g_refusal = ERROR_SUCCESS;
        char module[MAX_PATH];
        GetModuleFileNameA(NULL, module, MAX_PATH);
        path = module;
        Delete();
    }
    void TearDown() override
    {
        g_seams = saved;
        Delete();
    }
    static void Delete() { RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kRunKey, "TRELLITH15"); }
    static void Put(const std::string &value)
    {
        RegSetKeyValueA(HKEY_LOCAL_MACHINE, kRunKey, "TRELLITH15", REG_SZ, value.c_str(), (DWORD)value.size() + 1);
    }
    // The value's type and raw bytes, or an empty string when absent.
    static std::string Raw(DWORD *type = NULL)
    {
        BYTE data[1024];
        DWORD size = sizeof data, t = 0;
        if (RegGetValueA(HKEY_LOCAL_MACHINE, kRunKey, "TRELLITH15", RRF_RT_ANY | RRF_NOEXPAND, &t, data, &size) != ERROR_SUCCESS)
            return "";
        if (type) *type = t;
        return std::string((const char *)data, size);
    }
};

TEST_F(Autorun, RegisteringWritesThePathOnceWithNothingAfterIt)
{
    EXPECT_EQ(0, IsAutorunSet());
    EXPECT_EQ(1, SetAutorun(1));
    EXPECT_EQ(1, SetAutorun(1));
    EXPECT_EQ(1, g_writes);
    EXPECT_EQ(1, IsAutorunSet());
    DWORD type = 0;
    std::string raw = Raw(&type);
    EXPECT_EQ((DWORD)REG_SZ, type);
    ASSERT_EQ(256u, raw.size());  // the whole path buffer
    EXPECT_EQ(path, raw.c_str());
    EXPECT_EQ(std::string(256 - path.size(), '\0'), raw.substr(path.size()));  // zeros, not the stack
}

TEST_F(Autorun, LetterCaseDoesNotMatterAndAMovedProgramIsNotSet)
{
    std::string upper = path;
    CharUpperA(&upper[0]);
    Put(upper);
    EXPECT_EQ(1, IsAutorunSet());
    EXPECT_EQ(1, SetAutorun(1));
    EXPECT_EQ(0, g_writes);
    Put("C:\\Old Place\\Trellith.exe");
    EXPECT_EQ(0, IsAutorunSet());
    EXPECT_EQ(1, SetAutorun(1));
    EXPECT_EQ(path, Raw().c_str());
    Put("C:\\Old Place\\Trellith.exe");
    EXPECT_EQ(1, SetAutorun(0));  // unregistering deletes whatever path it holds
    EXPECT_EQ("", Raw());
    EXPECT_EQ(1, SetAutorun(0));  // and succeeds when there is none
    EXPECT_EQ("", Raw());
}

TEST_F(Autorun, ARefusedWriteOrDeleteIsAFailureAndChangesNothing)
{
    g_refusal = ERROR_ACCESS_DENIED;
    EXPECT_EQ(0, SetAutorun(1));
    EXPECT_EQ("", Raw());
    Put(path);
    g_seams.regDeleteValue = RefusedDelete;
    EXPECT_EQ(0, SetAutorun(0));
    EXPECT_EQ(1, IsAutorunSet());
}

}  // namespace
