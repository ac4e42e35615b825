#include "settings_rules.h"
#include "../app/digits.h"

uint32_t CorrectNumberEntry(int32_t typed, uint32_t limit, int *corrected)
{
    uint32_t value = (uint32_t)typed;
    *corrected = value > limit;
    return *corrected ? value % 10 : value;
}

void FormatCounterLine(const Counters &c, char out[kCounterLineSize])
{
    const uint32_t v[kCounterCount] = {c.timeOfDay, c.diskIdle, c.inputIdle, c.uptime};
    char *end = out;
    for (int i = 0; i < kCounterCount; ++i) {
        if (i) end = PutText(end, "   ");
        end = PutTwoDigits(end, v[i] / 3600);
        end = PutText(end, ":");
        end = PutTwoDigits(end, v[i] % 3600 / 60);
        end = PutText(end, ":");
        end = PutTwoDigits(end, v[i] % 60);
    }
}

static int IsLeadByte(unsigned char c)
{
    return c >= 0x81 && c <= 0xFE;
}

size_t ClipNameToCharacters(char *name, size_t maxBytes)
{
    size_t at = 0;
    while (name[at]) {
        size_t width = IsLeadByte((unsigned char)name[at]) ? 2 : 1;
        if (at + width > maxBytes || (width == 2 && name[at + 1] == '\0')) break;
        at += width;
    }
    name[at] = '\0';
    return at;
}
