#include "hidden_window.h"
#include <string.h>
#include "../app/little_endian.h"

static const unsigned char kSignature[4] = {'T', 'R', 'H', 'W'};
const uint32_t kVersion = 3;
const size_t kMaxRecovered = 65536;  // more windows than a session can hold: not our file

int SameIdentity(const WindowIdentity &a, const WindowIdentity &b)
{
    return a.processId == b.processId && a.threadId == b.threadId &&
           strncmp(a.className, b.className, sizeof a.className) == 0;
}

HiddenWindow *FindHiddenWindow(HiddenWindow *list, uintptr_t window)
{
    for (; list; list = list->next)
        if (list->window == window) return list;
    return NULL;
}

void UnlinkHiddenWindow(HiddenWindow **list, HiddenWindow *record)
{
    for (; *list; list = &(*list)->next) {
        if (*list == record) {
            *list = record->next;
            record->next = NULL;
            return;
        }
    }
}

static void PutLe64(unsigned char *out, uint64_t value)
{
    PutLe32(out, (uint32_t)value);
    PutLe32(out + 4, (uint32_t)(value >> 32));
}

static uint64_t GetLe64(const unsigned char *in)
{
    return (uint64_t)GetLe32(in) | (uint64_t)GetLe32(in + 4) << 32;
}

uint32_t Checksum(const unsigned char *data, size_t size)
{
    uint32_t hash = 2166136261u;
    for (size_t i = 0; i < size; ++i) hash = (hash ^ data[i]) * 16777619u;
    return hash;
}

size_t RecoveryFileSize(const HiddenWindow *list)
{
    size_t count = 0;
    for (; list; list = list->next) ++count;
    return count ? kRecoveryHeaderSize + count * kRecoveryRecordSize : 0;
}

void EncodeRecoveryFile(const HiddenWindow *list, const RecoveryStamp &stamp, unsigned char *out)
{
    unsigned char *record = out + kRecoveryHeaderSize;
    uint32_t count = 0;
    for (; list; list = list->next) {
        PutLe64(record, list->window);
        PutLe32(record + 8, list->identity.processId);
        PutLe32(record + 12, list->identity.threadId);
        PutLe32(record + 16, (uint32_t)list->slot);
        memset(record + 20, 0, 32);
        strncpy((char *)record + 20, list->identity.className, 31);
        record += kRecoveryRecordSize;
        ++count;
    }
    memcpy(out, kSignature, 4);
    PutLe32(out + 4, kVersion);
    PutLe32(out + 8, count);
    PutLe64(out + 16, stamp.logonMark);
    PutLe64(out + 24, stamp.logonSession);
    PutLe32(out + 12, Checksum(out + 16, kRecoveryHeaderSize - 16 + count * kRecoveryRecordSize));
}

// As the encoder writes it: a name of 1 to 31 characters, zeros after it.
static int IsWrittenClassName(const char name[32])
{
    const char *end = (const char *)memchr(name, '\0', 32);
    if (!end || end == name) return 0;
    size_t length = (size_t)(end - name);
    for (size_t i = length; i < 32; ++i)
        if (name[i] != '\0') return 0;
    return 1;
}

static void ReadRecord(const unsigned char *record, RecoveredWindow *window)
{
    window->window = GetLe64(record);
    window->identity.processId = GetLe32(record + 8);
    window->identity.threadId = GetLe32(record + 12);
    window->slot = (int32_t)GetLe32(record + 16);
    memcpy(window->identity.className, record + 20, 32);
}

int DecodeRecoveryFile(const unsigned char *data, size_t size, const RecoveryStamp &now,
                       void (*each)(const RecoveredWindow &window, void *context), void *context)
{
    if (now.logonMark == 0) return kRecoveryUnknown;
    if (size < kRecoveryHeaderSize || memcmp(data, kSignature, 4) != 0 || GetLe32(data + 4) != kVersion)
        return kRecoveryNotOurs;
    // The count against the size by division: on 32 bits a count near 2^32 / 52 times the record
    // size would wrap to a small product.
    size_t count = GetLe32(data + 8), recordBytes = size - kRecoveryHeaderSize;
    if (count == 0 || count > kMaxRecovered || recordBytes % kRecoveryRecordSize != 0 ||
        recordBytes / kRecoveryRecordSize != count ||
        GetLe32(data + 12) != Checksum(data + 16, size - 16) || GetLe64(data + 16) != now.logonMark ||
        GetLe64(data + 24) != now.logonSession)
        return kRecoveryNotOurs;
    const unsigned char *records = data + kRecoveryHeaderSize;
    for (size_t i = 0; i < count; ++i) {
        RecoveredWindow window;
        ReadRecord(records + i * kRecoveryRecordSize, &window);
        if (window.slot < kInViewSlot || window.slot > kStashSlot || !IsWrittenClassName(window.identity.className))
            return kRecoveryNotOurs;
    }
    for (size_t i = 0; i < count; ++i) {
        RecoveredWindow window;
        ReadRecord(records + i * kRecoveryRecordSize, &window);
        each(window, context);
    }
    return kRecoveryRead;
}
