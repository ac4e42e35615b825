#include <gtest/gtest.h>
#include "../../src/ui/owner_draw_plan.h"

namespace {

bool operator==(const PlanRect &a, const PlanRect &b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST(OwnerDrawPlan, EveryRowOfTheStateTable)
{
    const PlanRect item = {10, 20, 110, 40};
    const PlanRect raised = {10, 20, 109, 38}, pressed = {11, 21, 110, 39}, shadow = {11, 22, 110, 40};
    const unsigned D = kStateDisabled, S = kStateSelected, F = kStateFocus;
    struct { unsigned state; int shadow; PlanRect face; uint32_t outline, text; } rows[] = {
        {0, 1, raised, kColorOutline, kColorWhite},
        {F, 1, raised, kColorYellow, kColorWhite},
        {S, 0, pressed, kColorYellow, kColorYellow},
        {S | F, 0, pressed, kColorYellow, kColorYellow},
        {D, 1, raised, kColorOutline, kColorGrey},
        {D | F, 1, raised, kColorYellow, kColorGrey},
        {D | S, 0, pressed, kColorYellow, kColorGrey},
        {D | S | F, 0, pressed, kColorYellow, kColorGrey},
        {0x0002 /* ODS_GRAYED */ | 0x0008 /* ODS_CHECKED */, 1, raised, kColorOutline, kColorWhite},
    };
    for (const auto &row : rows) {
        OwnerDrawPlan plan;
        PlanOwnerItem(item, row.state, &plan);
        EXPECT_EQ(row.shadow, plan.hasShadow) << "state " << row.state;
        if (row.shadow) {
            EXPECT_TRUE(plan.shadow == shadow) << "state " << row.state;
        }
        EXPECT_TRUE(plan.face == row.face) << "state " << row.state;
        EXPECT_EQ(row.outline, plan.outline) << "state " << row.state;
        EXPECT_EQ(row.text, plan.text) << "state " << row.state;
    }
}

TEST(MenuItemSize, HeightTruncatesAndWidthIsSixteenAverageCharacters)
{
    EXPECT_EQ(20, MenuItemHeight(16));
    EXPECT_EQ(19, MenuItemHeight(15));
    EXPECT_EQ(26, MenuItemHeight(20));
    EXPECT_EQ(128, MenuItemWidth(8));
}

}  // namespace
