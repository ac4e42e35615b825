// The list of every window, apart from the platform (see list_rules.h).
#include "list_rules.h"

void GroupInOrder(const int *groupOf, int count, int *order, int start[kListGroups + 1])
{
    for (int g = 0; g <= kListGroups; ++g) start[g] = 0;
    for (int i = 0; i < count; ++i) ++start[groupOf[i] + 1];
    for (int g = 0; g < kListGroups; ++g) start[g + 1] += start[g];
    int next[kListGroups];
    for (int g = 0; g < kListGroups; ++g) next[g] = start[g];
    for (int i = 0; i < count; ++i) order[next[groupOf[i]]++] = i;
}

size_t CutTitle(const uint16_t *title, uint16_t *out)
{
    size_t n = 0, units = 0, all = 0;
    for (const uint16_t *c = title; *c; ++c) all += *c < 0x80 ? 1 : 2;
    const size_t room = all > kTitleUnits ? kTitleUnits - 1 : kTitleUnits;  // "…" takes one
    for (; title[n] && units + (title[n] < 0x80 ? 1 : 2) <= room; ++n) {
        units += title[n] < 0x80 ? 1 : 2;
        out[n] = title[n];
    }
    if (title[n]) out[n++] = 0x2026;
    out[n] = 0;
    return n;
}

ListChoice ChoiceFor(int group, int desktopInView)
{
    if (group == kListStash) return kTakeOutOfTheStash;
    return group == kListKept || group == desktopInView ? kBringForward : kShowItsDesktop;
}
