// The list of every window, apart from the platform: which part of it a window is in and in what
// order, how a title is cut to the plate, and what choosing a window does.
#pragma once
#include <stddef.h>
#include <stdint.h>

// The list's parts: desktops 0 to 3, the stash, and the windows kept in view on every desktop
// (the slots of hidden_window.h, and one more).
const int kListGroups = 6, kListStash = 4, kListKept = 5;

// Sorts the windows, given top first in z-order with their groups, into the groups, each in its
// own z-order: order[start[g]] to order[start[g + 1] - 1] are the indexes of group g's windows.
void GroupInOrder(const int *groupOf, int count, int *order, int start[kListGroups + 1]);

// A title as the plate shows it: at most kTitleUnits units (a character beyond ASCII is two),
// longer ones cut at a whole character with "…" after them. Returns the characters written into
// out, which holds kTitleUnits + 2; 0 for an empty title, which the list names in words.
const size_t kTitleUnits = 36;
size_t CutTitle(const uint16_t *title, uint16_t *out);

// What choosing a window of a group does, with a desktop in view: one of another desktop comes
// forward with that desktop, as a switch brings it; one of the stash comes out alone onto the
// desktop in view, on top; one in view, or kept on every desktop, only comes forward.
enum ListChoice { kShowItsDesktop, kTakeOutOfTheStash, kBringForward };
ListChoice ChoiceFor(int group, int desktopInView);
