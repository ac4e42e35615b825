// The look of an owner-drawn menu item or push button, worked out from its state.
#pragma once
#include <stdint.h>

// The drawing state bits, as the platform's ODS_ values.
const unsigned kStateSelected = 0x0001, kStateDisabled = 0x0004, kStateFocus = 0x0010;

// Colours as COLORREF values, 0x00BBGGRR.
const uint32_t kColorBackground = 0x00EFC9A5;  // RGB(165, 201, 239)
const uint32_t kColorShadow = 0x00A78D74;      // RGB(116, 141, 167)
const uint32_t kColorFace = 0x009E6547;        // RGB(71, 101, 158)
const uint32_t kColorOutline = 0x00BE7955;     // RGB(85, 121, 190)
const uint32_t kColorYellow = 0x0000FFFF;      // outline when selected or focused, selected text
const uint32_t kColorWhite = 0x00FFFFFF;
const uint32_t kColorGrey = 0x00808080;

struct PlanRect {
    int left, top, right, bottom;
};

struct OwnerDrawPlan {
    int hasShadow;
    PlanRect shadow;  // RoundRect arguments, 16 x 16 corners
    PlanRect face;    // RoundRect arguments, and where the text is centred
    uint32_t outline;
    uint32_t text;
};

// A selected item looks pressed: no shadow, and the face moved one pixel right and down.
void PlanOwnerItem(PlanRect item, unsigned state, OwnerDrawPlan *plan);

// Menu item size from the text metrics of the hidden window's device context.
inline int MenuItemHeight(int tmHeight) { return tmHeight * 13 / 10; }
inline int MenuItemWidth(int tmAveCharWidth) { return tmAveCharWidth * 16; }
