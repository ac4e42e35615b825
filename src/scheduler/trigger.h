// Which scheme fires, and one step of the countdown: the scheduler's decisions, apart from
// the platform.
#pragma once
#include <stdint.h>
#include "../companion/counters.h"
#include "../schemes/scheme.h"

// The first scheme in list order that is neither suspended nor fired and whose trigger value
// equals the minute count of its counter, or NULL. The comparison is for equality: a minute
// that has passed never fires late.
Scheme *FindDueScheme(Scheme *list, const Counters &counters);

// Whole seconds elapsed since startMs, both 32-bit millisecond tick counts. Equals
// now / 1000 - start / 1000 while the count does not wrap, and stays right across the wrap.
uint32_t ElapsedSeconds(uint32_t startMs, uint32_t nowMs);

struct CountdownStep {
    int ended;          // the delay has run out: end the dialog with result
    int result;         // 0 the program goes on, 1 it ends
    int32_t exitFlags;  // -1 leaves the pending exit flags as they are
    uint32_t percent;   // the bar, while not ended
    char remaining[12]; // "%02d分%02d秒", while not ended
    int beep;           // ring the three tones this tick (as it ends: a bell of no delay)
};

void StepCountdown(uint32_t elapsed, uint32_t delaySeconds, uint32_t actionKind, CountdownStep *step);
