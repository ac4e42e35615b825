#include "file_rules.h"
#include "scheme_codec.h"
#include "../app/little_endian.h"

LeftoverAction LeftoverNewFileAction(int schemeFileThere, int newFileThere, int newFileComplete)
{
    if (!newFileThere) return kNoLeftover;
    if (schemeFileThere) return kRemoveLeftover;
    return newFileComplete ? kPromoteLeftover : kSetLeftoverAside;
}

int IsCompleteSave(const unsigned char *data, size_t size)
{
    if (size == 0) return 1;
    if (size < kSchemeRecordSize + 4 || size % kSchemeRecordSize != 4) return 0;
    for (size_t at = 0; at + 4 < size; at += kSchemeRecordSize) {
        Scheme scheme;
        if (!DecodeScheme(data + at, &scheme)) return 0;
    }
    for (size_t at = size - 4 - kSchemeRecordSize; at < size - 4; ++at)
        if (data[at]) return 1;
    return 0;
}

int IsBriefLock(uint32_t error, int replacing)
{
    const uint32_t kAccessDenied = 5, kSharingViolation = 32, kLockViolation = 33;
    return error == kSharingViolation || error == kLockViolation || (replacing && error == kAccessDenied);
}

int IsLockHeldElsewhere(uint32_t error, int lockFileThere)
{
    const uint32_t kAccessDenied = 5;
    return IsBriefLock(error, 0) || (error == kAccessDenied && lockFileThere);
}

uint32_t WordOfFile(const unsigned char *data, size_t size, uint32_t wordInEffect)
{
    return size >= kSchemeRecordSize + 4 && size % kSchemeRecordSize == 4 ? GetLe32(data + size - 4) : wordInEffect;
}

uint32_t BriefLockWaitMs(int attempt, uint32_t elapsedMs)
{
    static const uint32_t kWaits[] = {15, 30, 60, 120, 250};
    const int kSteps = (int)(sizeof kWaits / sizeof kWaits[0]);
    if (elapsedMs >= kBriefLockDeadlineMs) return 0;
    uint32_t wait = attempt >= 0 && attempt < kSteps ? kWaits[attempt] : 500, left = kBriefLockDeadlineMs - elapsedMs;
    return wait < left ? wait : left;
}

uint32_t UnreadableRetryTicks(int failures)
{
    return failures <= 1 ? 2 : failures >= 8 ? 256 : 1u << failures;
}

uint32_t SessionExitFlags(uint32_t flags, uint32_t forceOption, uint32_t majorVersion)
{
    if (forceOption) return flags | kExitForce;
    return majorVersion >= 5 ? flags | kExitForceIfHung : flags;
}
