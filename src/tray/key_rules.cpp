// The keys, apart from the platform (see key_rules.h).
#include "key_rules.h"
#include "../app/digits.h"

DesktopKey DesktopKeyOf(int id)
{
    const int shifted = id > 4 && id != kListKey;
    DesktopKey key = {kModControl | kModAlt | (shifted ? kModShift : 0),
                      kVirtualKeyF1 + (id >= kListKey ? 4 : (uint32_t)(id - 1) % 4)};
    return key;
}

void KeyName(int id, char out[20])
{
    const DesktopKey key = DesktopKeyOf(id);
    char *end = PutText(out, key.modifiers & kModShift ? "Ctrl+Alt+Shift+F" : "Ctrl+Alt+F");
    *end++ = (char)('1' + key.virtualKey - kVirtualKeyF1);
    *end = '\0';
}

KeyAction ActionOfKey(int id, int desktopInView, int heldSinceAct)
{
    KeyAction action = {kKeyDoesNothing, (id - 1) % 4};
    if (id < 1 || id > kKeyCount) return action;
    if (id == kListKey) action.command = kKeyOpensList;
    else if (id == kKeepKey) action.command = heldSinceAct ? kKeyDoesNothing : kKeyKeepsFront;
    else if (action.desktop == desktopInView) action.command = kKeyDoesNothing;
    else if (id <= 4) action.command = kKeyShowsDesktop;
    else if (!heldSinceAct) action.command = kKeySendsFront;
    return action;
}

int KeysWanted(int valueRead, uint32_t value)
{
    return !valueRead || value != 0;
}
