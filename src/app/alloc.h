// Record allocation. Every list record of the program comes from here and goes back here, so
// that tests can make an allocation fail where the machine would not, and count the frees.
#pragma once
#include <stddef.h>

typedef void *(*AllocFn)(size_t size);
typedef void (*FreeFn)(void *record);
extern AllocFn g_allocRecord;  // malloc unless a test replaces it
extern FreeFn g_freeRecord;    // free unless a test replaces it

inline void *AllocRecord(size_t size) { return g_allocRecord(size); }
inline void FreeRecord(void *record) { g_freeRecord(record); }
