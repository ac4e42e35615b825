// Feeds arbitrary bytes to the scheme file decoder: it must never crash or leak, and every
// record it accepts must lie within the ranges the program keeps.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include "../../src/schemes/scheme_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Scheme *list = NULL;
    uint32_t forceClose = 12345;
    int accepted = DecodeSchemeFile(data, size, &list, &forceClose);
    size_t count = 0;
    for (const Scheme *s = list; s; s = s->next, ++count) {
        if (s->name[kSchemeNameSize - 1] != 0 || s->triggerKind > 3 || s->triggerMinutes >= 1440 ||
            s->actionKind > 4 || s->delaySeconds >= 3600 || s->fired != 0)
            abort();
    }
    if ((accepted == 1) != (count > 0) || (accepted && size != count * kSchemeRecordSize + 4)) abort();
    if (!accepted && forceClose != 12345) abort();
    FreeSchemeList(&list);
    return 0;
}
