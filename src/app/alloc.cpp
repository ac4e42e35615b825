#include "alloc.h"
#include <stdlib.h>

AllocFn g_allocRecord = malloc;

void FreeRecord(void *record) { free(record); }
