// The list of every window: its parts and their order, the titles on the plates, and what a
// choice does.
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "../../src/desktops/list_rules.h"

namespace {

// Windows top first in z-order, by group; each part keeps that order, and an empty part is
// an empty stretch (the menu greys it).
TEST(ListRules, EachPartListsItsWindowsInTheirOrder)
{
    const int groups[] = {2, 0, 5, 2, 4, 0, 0};
    int order[7], start[kListGroups + 1];
    GroupInOrder(groups, 7, order, start);
    EXPECT_EQ((std::vector<int>{1, 5, 6, 0, 3, 4, 2}), std::vector<int>(order, order + 7));
    EXPECT_EQ((std::vector<int>{0, 3, 3, 5, 5, 6, 7}), std::vector<int>(start, start + kListGroups + 1));
    GroupInOrder(groups, 0, order, start);
    EXPECT_EQ(0, start[kListGroups]);
}

TEST(ListRules, ALongTitleIsCutAtAWholeCharacterAndAChoiceDoesWhatItsPartSays)
{
    struct { std::u16string title, shown; } rows[] = {
        {u"Notepad", u"Notepad"},
        {u"", u""},
        {std::u16string(36, u'x'), std::u16string(36, u'x')},                   // fits exactly
        {std::u16string(37, u'x'), std::u16string(35, u'x') + u"\u2026"},
        {std::u16string(18, u'\u5173'), std::u16string(18, u'\u5173')},         // 36 units
        {std::u16string(19, u'\u5173'), std::u16string(17, u'\u5173') + u"\u2026"},
        {u"a" + std::u16string(18, u'\u5173'), u"a" + std::u16string(17, u'\u5173') + u"\u2026"}};
    for (const auto &r : rows) {
        uint16_t out[kTitleUnits + 2];
        size_t n = CutTitle((const uint16_t *)r.title.c_str(), out);
        EXPECT_EQ(r.shown, std::u16string(out, out + n)) << r.title.size();
        EXPECT_EQ(0, out[n]);
    }
    struct { int group, inView; ListChoice choice; } choices[] = {
        {2, 0, kShowItsDesktop}, {0, 3, kShowItsDesktop}, {1, 1, kBringForward},
        {kListStash, 0, kTakeOutOfTheStash}, {kListKept, 2, kBringForward}};
    for (const auto &c : choices) EXPECT_EQ(c.choice, ChoiceFor(c.group, c.inView)) << c.group << " " << c.inView;
}

}  // namespace
