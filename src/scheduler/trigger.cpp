#include "trigger.h"
#include "../app/digits.h"

Scheme *FindDueScheme(Scheme *list, const Counters &counters)
{
    const uint32_t minutes[kCounterCount] = {counters.timeOfDay / 60, counters.diskIdle / 60,
                                             counters.inputIdle / 60, counters.uptime / 60};
    for (Scheme *s = list; s; s = s->next) {
        if (s->suspended || s->fired) continue;
        if (s->triggerKind < kCounterCount && minutes[s->triggerKind] == s->triggerMinutes) return s;
    }
    return NULL;
}

uint32_t ElapsedSeconds(uint32_t startMs, uint32_t nowMs)
{
    return (uint32_t)(((uint64_t)(startMs % 1000) + (uint32_t)(nowMs - startMs)) / 1000);
}

void StepCountdown(uint32_t elapsed, uint32_t delaySeconds, uint32_t actionKind, CountdownStep *step)
{
    static const int32_t kExitFlags[] = {-1, 0 /* log off */, 2 /* restart */, 9 /* shut down */};
    step->ended = elapsed > delaySeconds;
    // A bell of no delay shows no second of countdown: it rings once as it ends.
    step->beep = step->ended && delaySeconds == 0 && actionKind == 0;
    if (step->ended) {
        step->result = actionKind != 0;
        step->exitFlags = actionKind < 4 ? kExitFlags[actionKind] : -1;
        return;
    }
    step->result = 0;
    step->exitFlags = -1;
    // A delay of 0 reaches here only while elapsed is 0: the bar then stands full.
    step->percent = delaySeconds ? (uint32_t)((uint64_t)elapsed * 100 / delaySeconds) : 100;
    uint32_t remaining = delaySeconds - elapsed;
    // "%02d分%02d秒": a delay below an hour keeps both numbers at two digits.
    char *end = PutTwoDigits(step->remaining, remaining / 60 % 100);
    end = PutText(end, "分");
    end = PutTwoDigits(end, remaining % 60);
    PutText(end, "秒");
    step->beep = actionKind == 0;
}
