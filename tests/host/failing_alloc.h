// Makes the k-th record allocation from now on fail (1 = the next one), for as long as the
// object lives; the allocations before it succeed.
#pragma once
#include <stdlib.h>
#include "../../src/app/alloc.h"

class FailingAlloc {
public:
    explicit FailingAlloc(int failAt) { countdown() = failAt; g_allocRecord = Alloc; }
    ~FailingAlloc() { g_allocRecord = malloc; }
    static int &countdown() { static int n; return n; }

private:
    static void *Alloc(size_t size) { return --countdown() == 0 ? nullptr : malloc(size); }
};
