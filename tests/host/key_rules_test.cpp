#include <gtest/gtest.h>
#include "../../src/tray/key_rules.h"

// Every key: its modifiers and function key, its name, and what its press does with each desktop
// in view, held since it last acted or not. Columns: id, then for desktop 0 to 3 in view what a
// first press does ('s' show, 'g' send, 'l' list, 'k' keep, '-' nothing) and the desktop it names.
TEST(KeyRules, EachKeyIsItsOwnAndActsOnItsDesktop)
{
    struct { int id; uint32_t modifiers, key; const char *name, *press, *held; int desktop; } rows[] = {
        {1, 3, 0x70, "Ctrl+Alt+F1", "-sss", "-sss", 0},         {2, 3, 0x71, "Ctrl+Alt+F2", "s-ss", "s-ss", 1},
        {3, 3, 0x72, "Ctrl+Alt+F3", "ss-s", "ss-s", 2},         {4, 3, 0x73, "Ctrl+Alt+F4", "sss-", "sss-", 3},
        {5, 7, 0x70, "Ctrl+Alt+Shift+F1", "-ggg", "----", 0},   {6, 7, 0x71, "Ctrl+Alt+Shift+F2", "g-gg", "----", 1},
        {7, 7, 0x72, "Ctrl+Alt+Shift+F3", "gg-g", "----", 2},   {8, 7, 0x73, "Ctrl+Alt+Shift+F4", "ggg-", "----", 3},
        {9, 3, 0x74, "Ctrl+Alt+F5", "llll", "llll", -1},        {10, 7, 0x74, "Ctrl+Alt+Shift+F5", "kkkk", "----", -1}};
    for (const auto &r : rows) {
        DesktopKey key = DesktopKeyOf(r.id);
        EXPECT_EQ(r.modifiers, key.modifiers) << r.name;
        EXPECT_EQ(r.key, key.virtualKey) << r.name;
        char name[20];
        KeyName(r.id, name);
        EXPECT_STREQ(r.name, name);
        for (int held = 0; held < 2; ++held) {
            std::string did;
            for (int inView = 0; inView < 4; ++inView) {
                KeyAction action = ActionOfKey(r.id, inView, held);
                did += "-sglk"[action.command];
                if (action.command == kKeyShowsDesktop || action.command == kKeySendsFront) {
                    EXPECT_EQ(r.desktop, action.desktop) << r.name;
                }
            }
            EXPECT_EQ(held ? r.held : r.press, did) << r.name << (held ? " held" : "");
        }
    }
    for (int id : {0, 11, -1}) EXPECT_EQ(kKeyDoesNothing, ActionOfKey(id, 0, 0).command) << id;
    EXPECT_EQ(1, KeysWanted(0, 0));  // no value: on
    EXPECT_EQ(1, KeysWanted(1, 2));
    EXPECT_EQ(0, KeysWanted(1, 0));  // Hotkeys = 0: off
}
