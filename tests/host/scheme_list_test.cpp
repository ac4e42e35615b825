#include <gtest/gtest.h>
#include <string>
#include "../../src/schemes/scheme.h"
#include "failing_alloc.h"

namespace {

class SchemeList : public ::testing::Test {
protected:
    void TearDown() override
    {
        FreeSchemeList(SchemeListHead());
        FreeSchemeList(BackupListHead());
    }
    static std::string Names(const Scheme *s)
    {
        std::string names;
        for (; s; s = s->next) names += std::string(s->name) + ";";
        return names;
    }
};

TEST_F(SchemeList, AddAppendsZeroedRecordsAtTheTail)
{
    Scheme *first = AddScheme("a");
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(first, *SchemeListHead());
    AddScheme("b");
    AddScheme("c");
    Scheme *fourth = AddScheme("d");
    EXPECT_EQ("a;b;c;d;", Names(*SchemeListHead()));
    EXPECT_EQ(nullptr, fourth->next);
    const Scheme zero = {};
    EXPECT_EQ(0, memcmp(fourth->name + 2, zero.name + 2, sizeof zero.name - 2));
    EXPECT_EQ(0u, fourth->triggerKind | fourth->triggerMinutes | fourth->actionKind | fourth->delaySeconds |
                      fourth->suspended | fourth->suspendAfterOnce | fourth->fired);
}

TEST_F(SchemeList, AddWithoutMemoryLeavesTheListAlone)
{
    AddScheme("a");
    FailingAlloc fail(1);
    EXPECT_EQ(nullptr, AddScheme("b"));
    EXPECT_EQ("a;", Names(*SchemeListHead()));
}

TEST_F(SchemeList, RemoveAtHeadMiddleAndTail)
{
    Scheme *a = AddScheme("a"), *b = AddScheme("b"), *c = AddScheme("c"), *d = AddScheme("d");
    EXPECT_EQ(1, RemoveScheme(a));
    EXPECT_EQ(b, *SchemeListHead());
    EXPECT_EQ(1, RemoveScheme(c));
    EXPECT_EQ(1, RemoveScheme(d));
    EXPECT_EQ("b;", Names(*SchemeListHead()));
    EXPECT_EQ(1, RemoveScheme(b));
    EXPECT_EQ(nullptr, *SchemeListHead());
    Scheme stranger = {};
    EXPECT_EQ(0, RemoveScheme(&stranger));  // an empty list
}

TEST_F(SchemeList, RemoveOfARecordNotInTheListFreesNothing)
{
    AddScheme("a");
    ASSERT_EQ(1, CopySchemeList(BackupListHead()));
    EXPECT_EQ(0, RemoveScheme(*BackupListHead()));  // ASan would see a double free
    EXPECT_EQ("a;", Names(*SchemeListHead()));
    EXPECT_EQ("a;", Names(*BackupListHead()));
}

TEST_F(SchemeList, FindIsExactAndTakesTheFirstMatch)
{
    Scheme *first = AddScheme("Night");
    AddScheme("Night");
    AddScheme("关机");
    EXPECT_EQ(first, FindScheme("Night"));
    EXPECT_EQ(nullptr, FindScheme("night"));
    EXPECT_EQ(nullptr, FindScheme("Nigh"));
    EXPECT_NE(nullptr, FindScheme("关机"));
}

TEST_F(SchemeList, CopyIsDeepAndCarriesEveryField)
{
    ASSERT_EQ(1, CopySchemeList(BackupListHead()));
    EXPECT_EQ(nullptr, *BackupListHead());
    Scheme *a = AddScheme("a");
    a->fired = 1;
    a->suspended = 7;
    a->triggerMinutes = 1439;
    AddScheme("b");
    ASSERT_EQ(1, CopySchemeList(BackupListHead()));
    Scheme *copy = *BackupListHead();
    ASSERT_NE(a, copy);
    EXPECT_EQ(0, memcmp(a, copy, offsetof(Scheme, next)));
    EXPECT_EQ("a;b;", Names(copy));
}

TEST_F(SchemeList, CopyFailingOnAnyRecordLeavesTheDestinationEmpty)
{
    for (int i = 0; i < 4; ++i) AddScheme(std::string(1, (char)('a' + i)).c_str());
    for (int k = 1; k <= 4; ++k) {
        FailingAlloc fail(k);
        EXPECT_EQ(0, CopySchemeList(BackupListHead())) << "failing allocation " << k;
        EXPECT_EQ(nullptr, *BackupListHead());
    }
    EXPECT_EQ("a;b;c;d;", Names(*SchemeListHead()));
}

}  // namespace

namespace {

TEST_F(SchemeList, SchemesMadeWhileTheFileWasUnreadNeverHideBehindTheFilesOwn)
{
    const std::string long47 = std::string(45, 'x') + "\xB9\xD8";      // 45 bytes, then 关
    const std::string chinese = std::string(43, 'y') + "\xB9\xD8" + "zz";  // 关 would be cut
    for (const char *name : {"a", "b", "a(2)", "c", "a", long47.c_str(), chinese.c_str()}) AddScheme(name);
    Scheme *kept = *SchemeListHead(), *added = kept->next->next;  // the file's "a" and "b"
    kept->next->next = NULL;
    *SchemeListHead() = added;
    Scheme fileLong = {}, fileChinese = {};
    strcpy(fileLong.name, long47.c_str());
    strcpy(fileChinese.name, chinese.c_str());
    kept->next->next = &fileLong;
    fileLong.next = &fileChinese;
    RenameClashingSchemes(kept, added);
    EXPECT_EQ("a(2);c;a(3);" + std::string(44, 'x') + "(2);" + std::string(43, 'y') + "(2);", Names(added));
    kept->next->next = NULL;
    FreeSchemeList(&kept);
}

}  // namespace

namespace {

// A file read only after ours were made: the file's schemes first, ours after them, each of ours
// that only repeats one of the file's in its place, and a clashing name renamed against every
// name on both sides.
TEST_F(SchemeList, AFilesSchemesAreTakenInWithoutLosingOrDuplicatingAny)
{
    for (const char *name : {"a", "a(2)", "b", "c"}) AddScheme(name);
    Scheme *a = *SchemeListHead(), *b = a->next->next;
    a->triggerMinutes = 5;  // differs from the file's "a"
    b->delaySeconds = 7;    // the same as the file's "b"
    Scheme *ours = *SchemeListHead();
    *SchemeListHead() = NULL;
    for (const char *name : {"b", "a", "d"}) AddScheme(name)->delaySeconds = 7;
    (*SchemeListHead())->next->delaySeconds = 0;
    Scheme *file = *SchemeListHead();
    *SchemeListHead() = ours;
    ASSERT_EQ(1, MergeSchemes(SchemeListHead(), NULL, file));  // nothing known of what both started from
    EXPECT_EQ("b;a;d;a(3);a(2);c;", Names(*SchemeListHead()));
    EXPECT_EQ(b, *SchemeListHead());  // ours stands in for the file's copy
    EXPECT_EQ(a, b->next->next->next);
}

}  // namespace
