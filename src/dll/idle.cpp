#include "idle.h"
#include "../app/little_endian.h"

uint32_t InputIdleSeconds(uint32_t nowTick, uint32_t lastInputTick)
{
    uint32_t since = nowTick - lastInputTick;
    if (since >= 0x80000000u) return 0;  // the last input lies ahead of now
    return since / 1000;
}

void ResetDiskIdle(DiskIdleTracker *t)
{
    t->haveBaseline = 0;
    t->signature = 0;
    t->lastActivityMs = 0;
    t->lastSampleMs = 0;
}

uint32_t SampleDiskIdle(DiskIdleTracker *t, int countersRead, uint32_t signature, uint64_t nowMs)
{
    if (!countersRead) {
        ResetDiskIdle(t);
        return 0;
    }
    int clockWentBack = nowMs < t->lastSampleMs;
    t->lastSampleMs = nowMs;
    if (!t->haveBaseline || signature != t->signature || clockWentBack) {
        t->haveBaseline = 1;
        t->signature = signature;
        t->lastActivityMs = nowMs;
        return 0;
    }
    uint64_t idle = (nowMs - t->lastActivityMs) / 1000;
    return idle > 0xFFFFFFFFu ? 0xFFFFFFFFu : (uint32_t)idle;
}

int DiskCountsFromPerformance(const unsigned char *data, size_t len, uint32_t *reads, uint32_t *writes)
{
    size_t at;
    if (len >= 88) at = 40;       // Windows 2000 and later
    else if (len >= 44) at = 32;  // NT 4
    else return 0;
    *reads = GetLe32(data + at);
    *writes = GetLe32(data + at + 4);
    return 1;
}

uint32_t SecondsOfDay(unsigned hour, unsigned minute, unsigned second)
{
    return hour * 3600u + minute * 60u + second;
}

unsigned CountersGetTime(DiskIdleTracker *disk, Counters *counters, const PlatformSample &sample)
{
    if (!counters) return sample.haveClock ? 1u : 0u;
    counters->timeOfDay = SecondsOfDay(sample.hour, sample.minute, sample.second);
    counters->diskIdle = sample.haveClock ? SampleDiskIdle(disk, sample.haveDisks, sample.diskSignature, sample.uptimeMs) : 0;
    counters->inputIdle = sample.haveInput ? InputIdleSeconds(sample.nowTick, sample.lastInputTick) : 0;
    counters->uptime = (uint32_t)(sample.uptimeMs / 1000);
    return 1;
}
