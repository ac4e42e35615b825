#include "file_rules.h"

LeftoverAction LeftoverNewFileAction(int schemeFileThere, int newFileThere, int newFileDecodes)
{
    if (!newFileThere) return kNoLeftover;
    if (schemeFileThere) return kRemoveLeftover;
    return newFileDecodes ? kPromoteLeftover : kSetLeftoverAside;
}

int IsBriefLock(uint32_t error, int replacing)
{
    const uint32_t kAccessDenied = 5, kSharingViolation = 32, kLockViolation = 33;
    return error == kSharingViolation || error == kLockViolation || (replacing && error == kAccessDenied);
}

uint32_t BriefLockWaitMs(int attempt)
{
    static const uint32_t kWaits[] = {15, 30, 60, 120, 250, 500};
    return attempt >= 0 && attempt < (int)(sizeof kWaits / sizeof kWaits[0]) ? kWaits[attempt] : 0;
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
