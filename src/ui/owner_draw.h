// The common look: owner-drawn plates, menu item size, centred dialogs and dialog colours.
#pragma once
#include <windows.h>

void DrawOwnerItem(const DRAWITEMSTRUCT *item);
// The plate of an owner-drawn item with a text of length characters (-1: up to its NUL).
void DrawItemPlate(const DRAWITEMSTRUCT *item, const wchar_t *text, int length);
void MeasureMenuItem(HWND window, MEASUREITEMSTRUCT *item);
// Gives every dialog the application icon and centres it on the whole primary screen.
void CenterOnScreen(HWND dialog);

// The answer of a dialog procedure to the colour messages: the background brush behind the
// dialog, its buttons (when answerButtons) and its static texts, black text but for the one
// blue control. FALSE for every other message, which leaves the platform's colours.
INT_PTR AnswerDialogColor(UINT message, WPARAM wParam, LPARAM lParam, int blueControl, BOOL answerButtons);
