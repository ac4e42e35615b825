// The keys for the desktops, apart from the platform: Ctrl+Alt+F1 to F4 show desktop 1 to 4,
// Ctrl+Alt+Shift+F1 to F4 send the window in front there. No Windows version uses them, and no
// keyboard layout types a character with AltGr (Ctrl+Alt) and a function key.
#pragma once
#include <stdint.h>

const int kDesktopKeyCount = 8;  // identifiers 1 to 8
struct DesktopKey {
    uint32_t modifiers;  // MOD_ALT | MOD_CONTROL, and MOD_SHIFT for the sends
    uint32_t virtualKey;  // VK_F1 to VK_F4
};
DesktopKey DesktopKeyOf(int id);

enum KeyCommand { kKeyDoesNothing, kKeyShowsDesktop, kKeySendsFront };
struct KeyAction {
    KeyCommand command;
    int desktop;  // 0 to 3
};
// What a key's press does with the desktop in view. heldSinceSend: the key has not been let go
// since it last sent a window (a key held down repeats, and the next window in front would go
// too); the desktop a key shows is in view after its first press, so a repeat does nothing.
KeyAction ActionOfKey(int id, int desktopInView, int heldSinceSend);

// The value that turns the keys off: a missing value or any number but 0 leaves them on.
int KeysWanted(int valueRead, uint32_t value);
