// The keys for the desktops, apart from the platform (see key_rules.h).
#include "key_rules.h"

DesktopKey DesktopKeyOf(int id)
{
    const uint32_t kAlt = 0x1, kControl = 0x2, kShift = 0x4, kF1 = 0x70;
    DesktopKey key = {kControl | kAlt, kF1 + (uint32_t)(id - 1) % 4};
    if (id > 4) key.modifiers |= kShift;
    return key;
}

KeyAction ActionOfKey(int id, int desktopInView, int heldSinceSend)
{
    KeyAction action = {kKeyDoesNothing, (id - 1) % 4};
    if (id < 1 || id > kDesktopKeyCount || action.desktop == desktopInView) return action;
    if (id <= 4) action.command = kKeyShowsDesktop;
    else if (!heldSinceSend) action.command = kKeySendsFront;
    return action;
}

int KeysWanted(int valueRead, uint32_t value)
{
    return !valueRead || value != 0;
}
