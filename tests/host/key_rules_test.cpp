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
    EXPECT_EQ(1, KeysWanted(0, 0));  // no value: on
    EXPECT_EQ(1, KeysWanted(1, 2));
}
