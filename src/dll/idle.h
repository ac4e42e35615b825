// The companion module's counters apart from the platform, so that they can be driven with
// made-up samples: idle tracking, and what a reading and a restart make of a look at the platform.
#pragma once
#include <stddef.h>
#include <stdint.h>
#include "../companion/counters.h"

// Seconds since the last keyboard or mouse input, from two 32-bit millisecond tick counts.
// The unsigned difference survives the tick count's wrap. A last-input tick ahead of now (input
// arrived between the two reads, or the clock went back) counts as no idleness at all, never as
// the 49-day idle time that the raw difference would give.
uint32_t InputIdleSeconds(uint32_t nowTick, uint32_t lastInputTick);

// Disk activity is seen as a change of the disks' combined read and write counts between two
// samples. Any change counts, so counters that wrap are just more activity.
struct DiskIdleTracker {
    int haveBaseline;        // a signature has been seen since the last reset
    uint32_t signature;      // combined read and write counts of the last sample
    uint64_t lastActivityMs; // when the signature last changed
    uint64_t lastSampleMs;   // when the last sample was taken
};

void ResetDiskIdle(DiskIdleTracker *t);

// Feeds one sample taken at nowMs (a monotonic 64-bit millisecond clock). Without counters
// (countersRead 0) the result is 0, the "not idle" reading. The first sample after a reset and
// a clock that went back both start the idle time afresh at 0.
uint32_t SampleDiskIdle(DiskIdleTracker *t, int countersRead, uint32_t signature, uint64_t nowMs);

// Reads the read and write counts out of a DISK_PERFORMANCE answer of len bytes. The record
// grew after NT 4 (an IdleTime field moved the counts from offset 32 to 40), so the length
// tells the layout. Returns 0 when the answer is too short to hold either layout.
int DiskCountsFromPerformance(const unsigned char *data, size_t len, uint32_t *reads, uint32_t *writes);

// Local time of day in seconds since midnight.
uint32_t SecondsOfDay(unsigned hour, unsigned minute, unsigned second);

// One look at the platform, as a reading takes it.
struct PlatformSample {
    unsigned hour, minute, second;  // the local time
    int haveClock;                  // uptimeMs could be read
    uint64_t uptimeMs;              // since the system started, never going back
    int haveDisks;                  // some disk answered with its counts
    uint32_t diskSignature;         // their combined read and write counts
    int haveInput;                  // the platform tells the last input (2000 and later)
    uint32_t nowTick, lastInputTick;
};

// GetTime apart from the platform. With counters NULL it starts (or restarts) them: 1 when they
// can run. A restart keeps the disk idle baseline, which stays valid as long as the same disks
// answer and the clock runs on: the program restarts the counters on every reading whose time
// of day is 0, which midnight's first second is too, and that must cost no idle time.
// Otherwise it fills counters from the sample and returns 1.
unsigned CountersGetTime(DiskIdleTracker *disk, Counters *counters, const PlatformSample &sample);
