// The keys, apart from the platform: Ctrl+Alt+F1 to F4 show desktop 1 to 4, Ctrl+Alt+Shift+F1 to
// F4 send the window in front there, Ctrl+Alt+F5 opens the list of every window and
// Ctrl+Alt+Shift+F5 keeps the window in front in view on every desktop, or gives it back to the
// desktop in view. No Windows version uses them, and no keyboard layout types a character with
// AltGr (Ctrl+Alt) and a function key.
#pragma once
#include <stdint.h>

const int kKeyCount = 10;  // identifiers 1 to 10: 1 to 4 show, 5 to 8 send, then these two
const int kListKey = 9, kKeepKey = 10;
const uint32_t kModAlt = 0x1, kModControl = 0x2, kModShift = 0x4, kVirtualKeyF1 = 0x70;
struct DesktopKey {
    uint32_t modifiers;  // MOD_ALT | MOD_CONTROL, and MOD_SHIFT for the sends and the keep
    uint32_t virtualKey;  // VK_F1 to VK_F5
};
DesktopKey DesktopKeyOf(int id);
// The key as a person reads it, "Ctrl+Alt+Shift+F5"; out holds 20 bytes.
void KeyName(int id, char out[20]);

enum KeyCommand { kKeyDoesNothing, kKeyShowsDesktop, kKeySendsFront, kKeyOpensList, kKeyKeepsFront };
struct KeyAction {
    KeyCommand command;
    int desktop;  // 0 to 3, for a show or a send
};
// What a key's press does with the desktop in view. heldSinceAct: the key has not been let go
// since it last sent or kept a window (a key held down repeats, and the next window in front would
// go too); the desktop a key shows is in view after its first press, so a repeat does nothing.
KeyAction ActionOfKey(int id, int desktopInView, int heldSinceAct);

// The value that turns the keys off: a missing value or any number but 0 leaves them on.
int KeysWanted(int valueRead, uint32_t value);
