// Record allocation. Every list record of the program comes from here, so that tests can make
// an allocation fail where the machine would not.
#pragma once
#include <stddef.h>

typedef void *(*AllocFn)(size_t size);
extern AllocFn g_allocRecord;  // malloc unless a test replaces it

inline void *AllocRecord(size_t size) { return g_allocRecord(size); }
void FreeRecord(void *record);
