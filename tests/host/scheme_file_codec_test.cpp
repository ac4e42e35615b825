#include <gtest/gtest.h>
#include <string.h>
#include <vector>
#include "../../src/schemes/scheme_codec.h"
#include "failing_alloc.h"

namespace {

typedef std::vector<unsigned char> Bytes;

void Put32(Bytes &b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i) b[at + i] = (unsigned char)(v >> (8 * i));
}

// One valid record: name, kind, minutes, action, delay, suspended, after once, fired, link.
Bytes Record(const char *name, const uint32_t (&fields)[8])
{
    Bytes b(80, 0);
    memcpy(b.data(), name, strlen(name));
    for (int i = 0; i < 8; ++i) Put32(b, 48 + 4 * i, fields[i]);
    return b;
}

Bytes File(std::initializer_list<Bytes> records, uint32_t forceClose)
{
    Bytes file;
    for (const Bytes &r : records) file.insert(file.end(), r.begin(), r.end());
    Bytes word(4, 0);
    Put32(word, 0, forceClose);
    file.insert(file.end(), word.begin(), word.end());
    return file;
}

struct Loaded {
    Scheme *list = nullptr;
    uint32_t forceClose = 77;  // a value the decoder must not touch on rejection
    ~Loaded() { FreeSchemeList(&list); }
    int Decode(const Bytes &b) { return DecodeSchemeFile(b.data(), b.size(), &list, &forceClose); }
    int Count() const { int n = 0; for (Scheme *s = list; s; s = s->next) ++n; return n; }
};

TEST(SchemeFileCodec, SizeRules)
{
    const Bytes record = Record("a", {0, 0, 0, 0, 0, 0, 0, 0});
    // Cut from a two-record file: at 84 bytes the word is the second record's first bytes, "a".
    struct { size_t size; int accepted; int count; uint32_t forceClose; } cases[] = {
        {0, 0, 0, 77}, {4, 0, 0, 77}, {80, 0, 0, 77}, {84, 1, 1, 'a'}, {88, 0, 0, 77},
        {164, 1, 2, 1}, {163, 0, 0, 77}, {168, 0, 0, 77}};
    for (const auto &c : cases) {
        Bytes file = File({record, record}, 1);
        file.resize(c.size);
        Loaded loaded;
        EXPECT_EQ(c.accepted, loaded.Decode(file)) << c.size << " bytes";
        EXPECT_EQ(c.count, loaded.Count()) << c.size << " bytes";
        EXPECT_EQ(c.forceClose, loaded.forceClose) << c.size << " bytes";
    }
}

TEST(SchemeFileCodec, RangeBoundariesOnBothSides)
{
    // field index, last accepted value, first rejected value
    struct { int field; uint32_t ok, bad; } cases[] = {
        {0, 3, 4}, {1, 1439, 1440}, {2, 4, 5}, {3, 3599, 3600}, {0, 3, 0xFFFFFFFFu}, {3, 0, 0x80000000u}};
    for (const auto &c : cases) {
        uint32_t fields[8] = {1, 2, 3, 4, 0, 0, 0, 0};
        fields[c.field] = c.ok;
        Loaded ok;
        EXPECT_EQ(1, ok.Decode(File({Record("x", fields)}, 0))) << "field " << c.field << " = " << c.ok;
        fields[c.field] = c.bad;
        Loaded bad;
        EXPECT_EQ(0, bad.Decode(File({Record("good", {0, 0, 0, 0, 0, 0, 0, 0}), Record("x", fields)}, 0)))
            << "field " << c.field << " = " << c.bad;
        EXPECT_EQ(nullptr, bad.list);
        EXPECT_EQ(77u, bad.forceClose);
    }
}

TEST(SchemeFileCodec, NameMustEndInsideItsField)
{
    Bytes record = Record("", {0, 0, 0, 0, 0, 0, 0, 0});
    memset(record.data(), 'n', 47);  // 47 bytes of text and the NUL: accepted
    Loaded ok;
    ASSERT_EQ(1, ok.Decode(File({record}, 0)));
    EXPECT_EQ(47u, strlen(ok.list->name));
    record[47] = 'n';
    Loaded bad;
    EXPECT_EQ(0, bad.Decode(File({record}, 0)));
}

TEST(SchemeFileCodec, FiredClearedFlagsAndLinkAsStored)
{
    Loaded loaded;
    ASSERT_EQ(1, loaded.Decode(File({Record("甲", {2, 90, 1, 125, 7, 0xFFFFFFFFu, 1, 0xDEADBEEF})}, 1)));
    const Scheme &s = *loaded.list;
    EXPECT_STREQ("甲", s.name);
    EXPECT_EQ(2u, s.triggerKind);
    EXPECT_EQ(90u, s.triggerMinutes);
    EXPECT_EQ(1u, s.actionKind);
    EXPECT_EQ(125u, s.delaySeconds);
    EXPECT_EQ(7u, s.suspended);
    EXPECT_EQ(0xFFFFFFFFu, s.suspendAfterOnce);
    EXPECT_EQ(0u, s.fired);
    EXPECT_EQ(nullptr, s.next);
    EXPECT_EQ(1u, loaded.forceClose);
}

TEST(SchemeFileCodec, SaveThenLoadReproducesEveryRecordInOrder)
{
    Bytes original = File({Record("one", {0, 1439, 4, 3599, 1, 0, 1, 5}),
                           Record("two", {3, 0, 0, 0, 0xA1B2C3D4u, 0x80000009u, 0, 6}),  // every byte
                           Record("three", {1, 7, 2, 60, 0, 1, 1, 7})}, 0xF1E2D3C4u);
    original[20] = 'z';  // a byte after the name's NUL is kept as it is
    Loaded loaded;
    ASSERT_EQ(1, loaded.Decode(original));
    ASSERT_EQ(original.size(), SchemeFileSize(loaded.list));
    Bytes saved(original.size());
    EncodeSchemeFile(loaded.list, loaded.forceClose, saved.data());
    for (size_t at = 0; at < original.size(); ++at) {
        size_t inRecord = at % 80;
        if (at < 240 && inRecord >= 72) continue;  // fired is cleared, the link slot is ours
        EXPECT_EQ(original[at], saved[at]) << "byte " << at;
    }
}

TEST(SchemeFileCodec, EmptyListIsAnEmptyFile)
{
    EXPECT_EQ(0u, SchemeFileSize(nullptr));
}

TEST(SchemeFileCodec, AllocationFailureOnAnyRecordLoadsNothingAndSaysSo)
{
    const Bytes record = Record("r", {0, 0, 0, 0, 0, 0, 0, 0});
    for (int k = 1; k <= 3; ++k) {
        Loaded loaded;
        FailingAlloc fail(k);
        EXPECT_EQ(kNoMemoryForFile, loaded.Decode(File({record, record, record}, 1))) << "allocation " << k;
        EXPECT_EQ(nullptr, loaded.list);
    }
}

}  // namespace
