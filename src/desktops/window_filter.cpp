#include "window_filter.h"
#include <string.h>

int IsExcludedClassName(const char *className)
{
    return strstr(EXCLUDED_CLASSES, className) != NULL;
}
