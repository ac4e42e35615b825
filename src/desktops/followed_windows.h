// The windows that the desktops hold, and the looks that settle their requests: on the platform's
// show and hide events where it has them (Windows 2000 and later), on their threads' answers, on a
// short poll while a request is on the way, and on the ticks.
#pragma once
#include <windows.h>
#include "following.h"

// The records, newest first: every slot in one list, and the windows shown again until they are
// seen in view.
HiddenWindow **Followed();
// The real windows, as the decisions read and ask them.
const WindowWorld &RealWindows();
// Makes the requests decided, then looks until each is carried out.
void FollowRequests();
// Once a tick: a look at every record.
void LookAtFollowed();
// A look at one window: whether it is in view as asked, its show still on the way, or neither.
FrontState LookAtWindow(HWND window);
// Whether a window's hide is on the way: it shows still, but belongs to a desktop not in view.
int IsOnItsWayOut(HWND window);
// The platform's show and hide events, from the start to the end of the program.
void StartFollowing();
void StopFollowing();
