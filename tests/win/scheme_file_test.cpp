// The scheme file through the real file API: this test program's own Trellith-style file,
// trellith_win_tests.ini beside it.
#include <gtest/gtest.h>
#include "harness.h"
#include "../../src/app/alloc.h"
#include "../../src/schemes/scheme.h"
#include "../../src/schemes/scheme_file.h"

namespace {

class SchemeFile : public ::testing::Test {
protected:
    std::string ini, bad, fresh;
    void SetUp() override
    {
        ini = SchemeFilePath();
        bad = ini + ".bad";
        fresh = ini + ".new";
        Clean();
    }
    void TearDown() override
    {
        FreeSchemeList(SchemeListHead());
        SetForceCloseOption(0);
        Clean();
    }
    void Clean()
    {
        SetFileAttributesA(ini.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(ini.c_str());
        for (int n = 1; n <= 99; ++n) {  // the kept copies of damaged files
            std::string kept = n == 1 ? bad : bad + std::to_string(n);
            DeleteFileA(kept.c_str());
            RemoveDirectoryA(kept.c_str());
        }
        DeleteFileA(fresh.c_str());
        RemoveDirectoryA(fresh.c_str());
        DeleteFileA((ini + ".lock").c_str());
        RemoveDirectoryA((ini + ".lock").c_str());
        RemoveDirectoryA(ini.c_str());
    }
    static std::string Record(const char *name, char minutesLow, char fired = 0)
    {
        std::string r(80, '\0');
        memcpy(&r[0], name, strlen(name));
        r[52] = minutesLow;
        r[72] = fired;
        return r;
    }
    static std::string Word(char v) { return std::string(1, v) + std::string(3, '\0'); }
};

TEST_F(SchemeFile, SavedFileLoadsBackTheSameSchemes)
{
    WriteFileBytes(ini, Record("one", 5, 1) + Record("two", 6) + Word(1));
    ASSERT_EQ(1, LoadSchemes());
    EXPECT_EQ(1u, ForceCloseOption());
    Scheme *first = *SchemeListHead();
    ASSERT_TRUE(first && first->next && !first->next->next);
    EXPECT_STREQ("one", first->name);
    EXPECT_EQ(0u, first->fired);
    AddScheme("three")->delaySeconds = 3599;
    ASSERT_EQ(1, SaveSchemes());
    EXPECT_EQ(Record("one", 5) + Record("two", 6) + Record("three", 0).replace(60, 2, "\x0F\x0E") + Word(1),
              ReadFileBytes(ini));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(fresh.c_str()));  // no temporary file left
}

TEST_F(SchemeFile, AnEmptyListTruncatesTheFile)
{
    WriteFileBytes(ini, Record("one", 5) + Word(0));
    ASSERT_EQ(1, LoadSchemes());
    FreeSchemeList(SchemeListHead());
    ASSERT_EQ(1, SaveSchemes());
    EXPECT_EQ("", ReadFileBytes(ini));
}

TEST_F(SchemeFile, AMissingFileLoadsNothingAndTheFirstSaveMakesIt)
{
    SetForceCloseOption(0);
    EXPECT_EQ(0, LoadSchemes());
    EXPECT_EQ(nullptr, *SchemeListHead());
    EXPECT_EQ(0u, ForceCloseOption());
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(bad.c_str()));
    AddScheme("first");
    ASSERT_EQ(1, SaveSchemes());
    EXPECT_EQ(Record("first", 0) + Word(0), ReadFileBytes(ini));
}

// A copy kept from an earlier damaged file may be the only one of its schemes: it stays, and the
// new one is kept beside it.
TEST_F(SchemeFile, ARejectedFileIsKeptAsBadBeforeAnythingOverwritesIt)
{
    const std::string cases[] = {Record("one", 5) + Word(1) + "x",              // a wrong size
                                 Record("one", 5) + Record("two", (char)0xA0).replace(53, 1, "\x05") + Word(1),
                                 Word(1)};                                       // 1440 minutes; 4 bytes
    for (const std::string &original : cases) {
        Clean();
        WriteFileBytes(bad, "an older one");
        WriteFileBytes(ini, original);
        EXPECT_EQ(0, LoadSchemes());
        EXPECT_EQ(nullptr, *SchemeListHead());
        EXPECT_EQ(original, ReadFileBytes(bad + "2"));
        ASSERT_EQ(1, SaveSchemes());  // the exit writes the empty list over the original
        EXPECT_EQ("", ReadFileBytes(ini));
        EXPECT_EQ("an older one", ReadFileBytes(bad));
        EXPECT_EQ(original, ReadFileBytes(bad + "2"));
    }
}

TEST_F(SchemeFile, ARejectedFileThatCannotBeCopiedAsideIsNeverOverwritten)
{
    const std::string original = Record("one", 5) + Word(1) + "x";
    WriteFileBytes(ini, original);
    for (int n = 1; n <= 99; ++n)  // every name a copy aside may take is taken
        ASSERT_TRUE(CreateDirectoryA((n == 1 ? bad : bad + std::to_string(n)).c_str(), NULL));
    EXPECT_EQ(0, LoadSchemes());
    AddScheme("new");
    EXPECT_EQ(0, SaveSchemes());
    EXPECT_EQ(original, ReadFileBytes(ini));
}

TEST_F(SchemeFile, ASaveThatCannotCompleteLeavesTheOldFileIntact)
{
    const std::string original = Record("keep", 9) + Word(1);
    WriteFileBytes(ini, original);
    ASSERT_EQ(1, LoadSchemes());
    AddScheme("new");
    ASSERT_TRUE(CreateDirectoryA(fresh.c_str(), NULL));  // the temporary file cannot be made
    EXPECT_EQ(0, SaveSchemes());
    EXPECT_EQ(original, ReadFileBytes(ini));
    // (A read-only scheme file would do as well on Windows; Wine running as root writes it.)
}

TEST_F(SchemeFile, AFileUnreadableForGoodIsNeverOverwrittenAndTriedAgainLessAndLessOften)
{
    // Too big for the memory there is: not a moment's lock, so not read again at the next tick.
    WriteFileBytes(ini, Record("big", 5) + Word(0));
    g_allocRecord = [](size_t size) -> void * { return size == 84 ? nullptr : malloc(size); };
    EXPECT_EQ(0, LoadSchemes());
    g_allocRecord = malloc;
    RetryUnreadSchemeFile(0);
    EXPECT_EQ(0, SaveSchemes());
    EXPECT_EQ(Record("big", 5) + Word(0), ReadFileBytes(ini));
    Clean();

    ASSERT_TRUE(CreateDirectoryA(ini.c_str(), NULL));  // a folder of that name cannot be read
    EXPECT_EQ(0, LoadSchemes());
    AddScheme("meanwhile");
    EXPECT_EQ(0, SaveSchemes());
    RetryUnreadSchemeFile(0);
    RetryUnreadSchemeFile(0);  // the second try, after two ticks: then four ticks
    EXPECT_EQ(0, SaveSchemes());
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(ini.c_str()));
    ASSERT_TRUE(RemoveDirectoryA(ini.c_str()));
    WriteFileBytes(ini, Record("meanwhile", 5) + Word(0));
    for (int tick = 0; tick < 3; ++tick) RetryUnreadSchemeFile(0);
    EXPECT_STREQ("meanwhile", (*SchemeListHead())->name);
    EXPECT_EQ(nullptr, (*SchemeListHead())->next);  // not read yet
    RetryUnreadSchemeFile(0);
    ASSERT_EQ(1, SaveSchemes());  // read at last, the scheme made meanwhile renamed after it
    EXPECT_EQ(Record("meanwhile", 5) + Record("meanwhile(2)", 0) + Word(0), ReadFileBytes(ini));
}

// Another writer (another session's Trellith) saves between this run's read and its save: each
// scheme is paired with its own and is the side's that changed it, and a file only touched is no
// change at all.
TEST_F(SchemeFile, AnotherWritersChangesAndOursAreMergedByWhatEachChanged)
{
    const std::string a = Record("a", 1), b = Record("b", 1), t = Record("t", 1);
    const std::string off1 = Record("关机", 1), off2 = Record("关机", 2);
    struct { std::string start, theirs; void (*ours)(); std::string saved; } rows[] = {
        {a + b + Word(0), a + b + t + Word(0), [] { RemoveScheme((*SchemeListHead())->next); }, a + t + Word(0)},
        {a + b + Word(0), a + b + t + Word(0), [] { (*SchemeListHead())->triggerMinutes = 2; }, Record("a", 2) + b + t + Word(0)},
        {a + b + Word(0), a + Word(0), [] {}, a + Word(0)},
        {a + b + Word(0), "", [] { RemoveScheme((*SchemeListHead())->next); }, a + Word(0)},  // its time alone moved
        // Two of one name, the first deleted here and the second edited there: the edit alone.
        {off1 + off2 + Word(0), off1 + Record("关机", 7) + Word(0), [] { RemoveScheme(*SchemeListHead()); },
         Record("关机", 7) + Word(0)},
        // The force-close option turned on here without a scheme, off there with one.
        {"", Record("x", 1) + Word(0), [] { SetForceCloseOption(1), SaveSchemes(); }, Record("x", 1) + Word(0)}};
    for (const auto &r : rows) {
        WriteFileBytes(ini, r.start);
        ASSERT_EQ(!r.start.empty(), LoadSchemes());
        r.ours();
        if (!r.theirs.empty()) WriteFileBytes(ini, r.theirs);
        HANDLE file = CreateFileA(ini.c_str(), FILE_WRITE_ATTRIBUTES, 0, NULL, OPEN_EXISTING, 0, NULL);
        FILETIME later = {0, 0x02000000};
        SetFileTime(file, NULL, NULL, &later);
        CloseHandle(file);
        ASSERT_EQ(1, SaveSchemes());
        EXPECT_EQ(r.saved, ReadFileBytes(ini)) << "row " << &r - rows;
        FreeSchemeList(SchemeListHead());
    }
}

DWORD WINAPI RemoveFolderSoon(void *name)
{
    Sleep(300);
    RemoveDirectoryA((const char *)name);
    return 0;
}

// One writer at a time: a save that cannot have the lock within its second fails as a locked file
// does, and touches no file; a start meets the lock once and reads the file at a later tick, with
// nothing slept on the only thread. A lock closed elsewhere a moment ago (deleted but still open,
// which answers "access denied", as a folder of its name does here) is waited out.
TEST_F(SchemeFile, ASaveWhileAnotherWriterHoldsTheLockFailsAfterASecondAndTouchesNothing)
{
    const std::string lockName = ini + ".lock";
    auto takeLock = [&] {
        return CreateFileA(lockName.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_FLAG_DELETE_ON_CLOSE, NULL);
    };
    WriteFileBytes(ini, Record("a", 1) + Word(0));
    ASSERT_EQ(1, LoadSchemes());
    AddScheme("b");
    HANDLE lock = takeLock();
    ASSERT_NE(INVALID_HANDLE_VALUE, lock);
    DWORD start = GetTickCount();
    EXPECT_EQ(0, SaveSchemes());
    EXPECT_GE(GetTickCount() - start, 900u);
    EXPECT_EQ(Record("a", 1) + Word(0), ReadFileBytes(ini));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(fresh.c_str()));
    CloseHandle(lock);
    EXPECT_EQ(1, SaveSchemes());
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(lockName.c_str()));  // gone with its handle
    FreeSchemeList(SchemeListHead());

    lock = takeLock();
    start = GetTickCount();
    EXPECT_EQ(0, LoadSchemes());
    EXPECT_LT(GetTickCount() - start, 200u);
    CloseHandle(lock);
    RetryUnreadSchemeFile(0);  // the next tick reads it
    EXPECT_EQ(1, SaveSchemes());
    EXPECT_EQ(Record("a", 1) + Record("b", 0) + Word(0), ReadFileBytes(ini));

    ASSERT_TRUE(CreateDirectoryA(lockName.c_str(), NULL));
    HANDLE release = CreateThread(NULL, 0, RemoveFolderSoon, (void *)lockName.c_str(), 0, NULL);
    AddScheme("c");
    EXPECT_EQ(1, SaveSchemes());
    WaitForSingleObject(release, INFINITE);
    CloseHandle(release);
    EXPECT_EQ(Record("a", 1) + Record("b", 0) + Record("c", 0) + Word(0), ReadFileBytes(ini));
}

}  // namespace
