#include <gtest/gtest.h>
#include <string.h>
#include <string>
#include <vector>
#include "../../src/desktops/hidden_window.h"

namespace {

HiddenWindow Record(uintptr_t window, int slot, const char *className = "Notepad")
{
    HiddenWindow r = {};
    r.window = window;
    r.identity.processId = 100 + (uint32_t)window;
    r.identity.threadId = 200 + (uint32_t)window;
    strcpy(r.identity.className, className);
    r.slot = slot;
    return r;
}

// Links the records in the given order and returns the head.
HiddenWindow *Link(std::vector<HiddenWindow> &records)
{
    for (size_t i = 0; i + 1 < records.size(); ++i) records[i].next = &records[i + 1];
    records.back().next = NULL;
    return &records[0];
}

std::string Windows(const HiddenWindow *list)
{
    std::string windows;
    for (; list; list = list->next) windows += std::to_string(list->window) + ";";
    return windows;
}

const RecoveryStamp kStamp = {UINT64_C(0x5EED5EED12345678), 0x12345};

std::vector<RecoveredWindow> Decode(const std::vector<unsigned char> &file, int *accepted,
                                    const RecoveryStamp &now = kStamp)
{
    std::vector<RecoveredWindow> windows;
    *accepted = DecodeRecoveryFile(file.data(), file.size(), now, [](const RecoveredWindow &w, void *out) {
        ((std::vector<RecoveredWindow> *)out)->push_back(w);
    }, &windows);
    return windows;
}

std::vector<unsigned char> Encode(const HiddenWindow *list)
{
    std::vector<unsigned char> file(RecoveryFileSize(list));
    if (!file.empty()) EncodeRecoveryFile(list, kStamp, file.data());
    return file;
}

TEST(HiddenWindows, OneWindowIsTheSameOnlyInProcessThreadAndClassAlike)
{
    const HiddenWindow a = Record(1, 0);
    HiddenWindow b = a;
    EXPECT_TRUE(SameIdentity(a.identity, b.identity));
    b.identity.processId += 1;
    EXPECT_FALSE(SameIdentity(a.identity, b.identity));
    b = a;
    b.identity.threadId += 1;
    EXPECT_FALSE(SameIdentity(a.identity, b.identity));
    b = a;
    strcpy(b.identity.className, "notepad");  // class names are compared with case
    EXPECT_FALSE(SameIdentity(a.identity, b.identity));
}

TEST(HiddenWindows, UnlinkTakesOutOneRecordAndOnlyThatOne)
{
    std::vector<HiddenWindow> records = {Record(1, 0), Record(2, 0), Record(3, 0)};
    HiddenWindow *list = Link(records);
    HiddenWindow stranger = Record(9, 0);
    UnlinkHiddenWindow(&list, &stranger);
    EXPECT_EQ("1;2;3;", Windows(list));
    UnlinkHiddenWindow(&list, &records[1]);
    EXPECT_EQ("1;3;", Windows(list));
    EXPECT_EQ(nullptr, records[1].next);
    UnlinkHiddenWindow(&list, &records[0]);
    EXPECT_EQ("3;", Windows(list));
}

TEST(HiddenWindows, TheRecoveryFileHoldsEveryRecordAndGivesThemBackExactlyInThisLogon)
{
    std::vector<HiddenWindow> records = {Record(7, 0), Record(8, kInViewSlot), Record(9, kStashSlot, "ABCDEFGHIJKLMNOPQRSTUVWXYZ01234"),
                                         Record(10, 3)};
    records[0].window = (uintptr_t)UINT64_C(0xFFFFFFFF00000007) & UINTPTR_MAX;  // high bits of a 64-bit handle
    std::vector<unsigned char> file = Encode(Link(records));
    // The one shown again is there too: its show may still be on the way when we end.
    ASSERT_EQ(kRecoveryHeaderSize + 4 * kRecoveryRecordSize, file.size());
    EXPECT_EQ(0, memcmp(file.data(), "TRHW\3\0\0\0\4\0\0\0", 12));
    int accepted;
    std::vector<RecoveredWindow> back = Decode(file, &accepted);
    ASSERT_EQ(kRecoveryRead, accepted);
    ASSERT_EQ(4u, back.size());
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ((uint64_t)records[i].window, back[i].window);
        EXPECT_EQ(records[i].slot, back[i].slot);
        EXPECT_TRUE(SameIdentity(records[i].identity, back[i].identity)) << back[i].identity.className;
    }
    EXPECT_EQ(0u, RecoveryFileSize(NULL));  // nothing to mirror: no file
    // This logon's mark and session, and nothing else: no clock. Without a mark of our own the
    // file may be ours, and is neither read nor taken for a stranger's.
    struct { uint64_t mark, session; int outcome; } rows[] = {
        {kStamp.logonMark, kStamp.logonSession, kRecoveryRead},
        {kStamp.logonMark + 1, kStamp.logonSession, kRecoveryNotOurs},  // an earlier logon or boot
        {kStamp.logonMark, kStamp.logonSession + 1, kRecoveryNotOurs},
        {0, kStamp.logonSession, kRecoveryUnknown}};
    for (const auto &row : rows) {
        RecoveryStamp now = {row.mark, row.session};
        EXPECT_EQ((size_t)(row.outcome == kRecoveryRead) * 4, Decode(file, &accepted, now).size()) << row.mark;
        EXPECT_EQ(row.outcome, accepted) << row.mark;
    }
}

// Puts a right checksum over changed records, so that only their content is wrong.
void Reseal(std::vector<unsigned char> &file)
{
    uint32_t hash = 2166136261u;
    for (size_t i = 16; i < file.size(); ++i) hash = (hash ^ file[i]) * 16777619u;
    for (int b = 0; b < 4; ++b) file[12 + b] = (unsigned char)(hash >> (8 * b));
}

TEST(HiddenWindows, ADamagedOrForeignRecoveryFileGivesNothingBack)
{
    std::vector<HiddenWindow> records = {Record(1, 0), Record(2, 1)};
    const std::vector<unsigned char> sound = Encode(Link(records));
    int accepted;
    for (size_t at = 0; at < sound.size(); ++at) {  // any one bit changed
        std::vector<unsigned char> file = sound;
        file[at] ^= 0x10;
        EXPECT_TRUE(Decode(file, &accepted).empty()) << "byte " << at;
        EXPECT_EQ(0, accepted) << "byte " << at;
    }
    for (size_t size : {(size_t)0, (size_t)15, kRecoveryHeaderSize, sound.size() - 1}) {
        std::vector<unsigned char> file(sound.begin(), sound.begin() + size);
        EXPECT_TRUE(Decode(file, &accepted).empty()) << size << " bytes";
        EXPECT_EQ(0, accepted);
    }
    std::vector<unsigned char> longer = sound;
    longer.push_back(0);
    Decode(longer, &accepted);
    EXPECT_EQ(0, accepted);
    // Sound checksums over what no version of the program writes: slots out of range, a class
    // name without its NUL, an empty class name, no record at all, a count whose size wraps.
    const size_t second = kRecoveryHeaderSize + kRecoveryRecordSize;
    std::vector<unsigned char> foreign[6] = {sound, sound, sound, sound,
                                             std::vector<unsigned char>(sound.begin(), sound.begin() + kRecoveryHeaderSize)};
    foreign[0][second + 16] = 5;
    memset(&foreign[1][second + 16], 0xFE, 4);  // -2
    memset(&foreign[2][second + 20], 'x', 32);
    foreign[3][second + 20] = '\0';
    foreign[4][8] = 0;
    foreign[5].assign(sound.begin(), sound.begin() + kRecoveryHeaderSize + 4);  // 82,595,525 records of 52
    memcpy(&foreign[5][8], "\xC5\x4E\xEC\x04", 4);                              // bytes: 2^32 + 4 bytes
    for (std::vector<unsigned char> &file : foreign) {
        Reseal(file);
        EXPECT_TRUE(Decode(file, &accepted).empty()) << "case " << &file - foreign;
        EXPECT_EQ(0, accepted) << "case " << &file - foreign;
    }
}

}  // namespace
