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

static int IsOneOf(const char *className, const char *const *names, int count)
{
    for (int i = 0; i < count; ++i)
        if (SameAsciiName(className, names[i])) return 1;
    return 0;
}

int IsShellHostClassName(const char *className)
{
    static const char *const kHosts[] = {"Shell_SecondaryTrayWnd", "NotifyIconOverflowWindow",
                                         "TopLevelWindowForOverflowXamlIsland"};
    return IsOneOf(className, kHosts, 3);
}

int ServesEveryDesktop(const WindowLook &w)
{
    static const char *const kEveryDesktop[] = {"#32768", "tooltips_class32", "CiceroUIWndFrame"};
    if (IsOneOf(w.className, kEveryDesktop, 3) || (w.classStyle & kClassStyleIme)) return 1;
    return (w.exStyle & kExStyleTopmost) && (w.exStyle & kExStyleNoActivate) && !w.owned;
}

int FocusRank(const WindowLook &w)
{
    if (!(w.style & kStyleVisible) || (w.style & (kStyleDisabled | kStyleMinimized)) ||
        (w.style & (kStylePopup | kStyleChild)) == kStyleChild || (w.exStyle & kExStyleNoActivate) ||
        ServesEveryDesktop(w))
        return 0;
    return w.exStyle & kExStyleTopmost ? 1 : 2;
}
