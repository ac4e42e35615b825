#include "scheme_codec.h"
#include <string.h>
#include "../app/alloc.h"
#include "../app/little_endian.h"

void EncodeScheme(const Scheme *s, unsigned char out[kSchemeRecordSize])
{
    memcpy(out, s->name, kSchemeNameSize);
    const uint32_t fields[] = {s->triggerKind, s->triggerMinutes, s->actionKind, s->delaySeconds,
                               s->suspended, s->suspendAfterOnce, s->fired, 0 /* link slot */};
    for (size_t i = 0; i < sizeof fields / sizeof fields[0]; ++i)
        PutLe32(out + kSchemeNameSize + 4 * i, fields[i]);
}

int DecodeScheme(const unsigned char in[kSchemeRecordSize], Scheme *s)
{
    memcpy(s->name, in, kSchemeNameSize);
    s->triggerKind = GetLe32(in + 48);
    s->triggerMinutes = GetLe32(in + 52);
    s->actionKind = GetLe32(in + 56);
    s->delaySeconds = GetLe32(in + 60);
    s->suspended = GetLe32(in + 64);
    s->suspendAfterOnce = GetLe32(in + 68);
    s->fired = 0;
    s->next = NULL;
    return s->name[kSchemeNameSize - 1] == '\0' && s->triggerKind <= kMaxTriggerKind &&
           s->triggerMinutes < kMinutesPerDay && s->actionKind <= kMaxActionKind &&
           s->delaySeconds < kSecondsPerHour;
}

size_t SchemeFileSize(const Scheme *list)
{
    size_t n = 0;
    for (; list; list = list->next) ++n;
    return n ? n * kSchemeRecordSize + 4 : 0;
}

void EncodeSchemeFile(const Scheme *list, uint32_t forceClose, unsigned char *out)
{
    if (!list) return;
    for (; list; list = list->next, out += kSchemeRecordSize) EncodeScheme(list, out);
    PutLe32(out, forceClose);
}

int DecodeSchemeFile(const unsigned char *data, size_t size, Scheme **list, uint32_t *forceClose)
{
    size_t count = size / kSchemeRecordSize;
    if (count == 0 || size % kSchemeRecordSize != 4) return 0;
    Scheme *head = NULL, **tail = &head;
    for (size_t i = 0; i < count; ++i) {
        Scheme *s = (Scheme *)AllocRecord(sizeof(Scheme));
        int decoded = s && DecodeScheme(data + i * kSchemeRecordSize, s);
        if (!decoded) {
            int result = s ? 0 : kNoMemoryForFile;
            FreeRecord(s);
            FreeSchemeList(&head);
            return result;
        }
        *tail = s;
        tail = &s->next;
    }
    *list = head;
    *forceClose = GetLe32(data + count * kSchemeRecordSize);
    return 1;
}
