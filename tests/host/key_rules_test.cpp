#include <gtest/gtest.h>
#include "../../src/tray/key_rules.h"

// Which desktop each key names, and when a key does nothing: its desktop in view already, a send
// key not let go since it sent (a held key repeats), or no key of ours.
TEST(KeyRules, EachKeyNamesOneDesktopAndDoesNothingWhereThatIsInView)
{
    struct { int id, inView, held; KeyCommand command; int desktop; } rows[] = {
        {1, 1, 0, kKeyShowsDesktop, 0}, {3, 0, 0, kKeyShowsDesktop, 2}, {3, 2, 0, kKeyDoesNothing, 2},
        {4, 0, 1, kKeyShowsDesktop, 3}, {5, 1, 0, kKeySendsFront, 0},   {6, 0, 0, kKeySendsFront, 1},
        {6, 1, 0, kKeyDoesNothing, 1},  {8, 0, 1, kKeyDoesNothing, 3},  {0, 1, 0, kKeyDoesNothing, -1},
        {9, 1, 0, kKeyDoesNothing, 0}};
    for (const auto &r : rows) {
        KeyAction action = ActionOfKey(r.id, r.inView, r.held);
        EXPECT_EQ(r.command, action.command) << "row " << &r - rows;
        if (r.command != kKeyDoesNothing) {
            EXPECT_EQ(r.desktop, action.desktop) << "row " << &r - rows;
        }
    }
    const uint32_t kCtrlAlt = 0x3, kCtrlAltShift = 0x7, kF1 = 0x70, kF4 = 0x73;
    EXPECT_EQ(kCtrlAlt, DesktopKeyOf(1).modifiers);
    EXPECT_EQ(kF4, DesktopKeyOf(4).virtualKey);
    EXPECT_EQ(kCtrlAltShift, DesktopKeyOf(5).modifiers);
    EXPECT_EQ(kF1, DesktopKeyOf(5).virtualKey);
    EXPECT_EQ(kF4, DesktopKeyOf(8).virtualKey);
    EXPECT_EQ(1, KeysWanted(0, 0));  // no value: on
    EXPECT_EQ(0, KeysWanted(1, 0));
    EXPECT_EQ(1, KeysWanted(1, 2));
}
