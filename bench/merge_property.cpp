// The scheme merge's property (tests/host/merge_property.h) on many generated cases, more than
// the test command runs: prints how many ran and how many failed, with the first failures.
//   merge_property [COUNT] [FIRST_SEED]
#include <stdio.h>
#include <stdlib.h>
#include <time.h>
#include "../tests/host/merge_property.h"

int main(int argc, char **argv)
{
    const unsigned long count = argc > 1 ? strtoul(argv[1], NULL, 10) : 1000000;
    const unsigned long first = argc > 2 ? strtoul(argv[2], NULL, 10) : 1;
    unsigned long failed = 0;
    const clock_t start = clock();
    for (unsigned long seed = first; seed < first + count; ++seed) {
        std::string problem = merge_property::CheckOneCase((uint32_t)seed);
        if (!problem.empty() && ++failed <= 5) fprintf(stderr, "%s\n", problem.c_str());
    }
    printf("scheme merge property: %lu cases from seed %lu, %lu failed (%.1f s)\n", count, first, failed,
           (double)(clock() - start) / CLOCKS_PER_SEC);
    return failed != 0;
}
