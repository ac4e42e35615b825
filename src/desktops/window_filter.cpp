#include "window_filter.h"
#include <string.h>

int IsExcludedClassName(const char *className)
{
    return strstr(EXCLUDED_CLASSES, className) != NULL;
}

static int SameAsciiName(const char *a, const char *b)
{
    for (; *a && *b; ++a, ++b) {
        char x = *a >= 'a' && *a <= 'z' ? (char)(*a - 32) : *a, y = *b >= 'a' && *b <= 'z' ? (char)(*b - 32) : *b;
        if (x != y) return 0;
    }
    return *a == *b;
}

int IsShellHostClassName(const char *className)
{
    static const char *const kHosts[] = {"Shell_SecondaryTrayWnd", "NotifyIconOverflowWindow",
                                         "TopLevelWindowForOverflowXamlIsland"};
    for (const char *host : kHosts)
        if (SameAsciiName(className, host)) return 1;
    return 0;
}
