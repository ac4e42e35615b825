#include "owner_draw_plan.h"

void PlanOwnerItem(PlanRect r, unsigned state, OwnerDrawPlan *plan)
{
    int selected = (state & kStateSelected) != 0;
    plan->hasShadow = !selected;
    plan->shadow = PlanRect{r.left + 1, r.top + 2, r.right, r.bottom};
    plan->face = selected ? PlanRect{r.left + 1, r.top + 1, r.right, r.bottom - 1}
                          : PlanRect{r.left, r.top, r.right - 1, r.bottom - 2};
    plan->outline = (state & (kStateSelected | kStateFocus)) ? kColorYellow : kColorOutline;
    if (state & kStateDisabled) plan->text = kColorGrey;
    else if (selected) plan->text = kColorYellow;
    else plan->text = kColorWhite;
}
