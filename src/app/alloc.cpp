#include "alloc.h"
#include <stdlib.h>

AllocFn g_allocRecord = malloc;
FreeFn g_freeRecord = free;
