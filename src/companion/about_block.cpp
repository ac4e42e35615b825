#include "about_block.h"
#include "counters.h"
#include <string.h>

void AboutText(const char *block, size_t offset, char *out, size_t outSize)
{
    size_t n = 0;
    if (outSize == 0) return;
    while (offset + n < kAboutBlockSize && block[offset + n] != '\0' && n + 1 < outSize) {
        out[n] = block[offset + n];
        ++n;
    }
    out[n] = '\0';
}

int IsRelativeTarget(const char *target)
{
    return target[0] != '\0' && target[0] != '\\' && target[0] != '/' && strchr(target, ':') == NULL;
}
