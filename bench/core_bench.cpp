// The portable core's share of a tick and of a start: finding the due scheme among N schemes
// and decoding a scheme file of N records.
#include <benchmark/benchmark.h>
#include <stdio.h>
#include <vector>
#include "../src/schemes/scheme_codec.h"
#include "../src/scheduler/trigger.h"

static void MakeSchemes(int n)
{
    FreeSchemeList(SchemeListHead());
    for (int i = 0; i < n; ++i) {
        char name[16];
        snprintf(name, sizeof name, "s%d", i);
        Scheme *s = AddScheme(name);
        s->triggerKind = i % 4;
        s->triggerMinutes = 1439;  // never due: the whole list is walked
    }
}

static void BM_FindDueScheme(benchmark::State &state)
{
    MakeSchemes((int)state.range(0));
    const Counters now = {45296, 10, 20, 30};
    for (auto _ : state) benchmark::DoNotOptimize(FindDueScheme(*SchemeListHead(), now));
    FreeSchemeList(SchemeListHead());
}
BENCHMARK(BM_FindDueScheme)->Arg(0)->Arg(1000);

static void BM_DecodeSchemeFile(benchmark::State &state)
{
    MakeSchemes((int)state.range(0));
    std::vector<unsigned char> file(SchemeFileSize(*SchemeListHead()) + 1);
    EncodeSchemeFile(*SchemeListHead(), 1, file.data());
    FreeSchemeList(SchemeListHead());
    for (auto _ : state) {
        Scheme *list = nullptr;
        uint32_t force = 0;
        benchmark::DoNotOptimize(DecodeSchemeFile(file.data(), file.size() - 1, &list, &force));
        FreeSchemeList(&list);
    }
}
BENCHMARK(BM_DecodeSchemeFile)->Arg(1)->Arg(1000);

BENCHMARK_MAIN();
