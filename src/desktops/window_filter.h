// Which windows the desktops may touch, and which may take the focus after a command: decided on
// what a window shows of itself (its class, its styles, its owner), apart from the platform.
#pragma once
#include <stdint.h>

// The shell's desktop, taskbar and worker windows.
#define EXCLUDED_CLASSES "Progman|Indicator|Shell_TrayWnd|WorkerW"

// 1 when className occurs anywhere in the exclusion list, byte for byte and with case (as
// strstr finds it): every entry, any part of one, a stretch across a "|", and the empty name.
int IsExcludedClassName(const char *className);

// Newer shells' own windows that the list above does not name: the taskbar of a second monitor
// and the hosts of the notification overflow. Compared whole, without regard to case, as the
// platform compares class names.
int IsShellHostClassName(const char *className);

// The platform's style bits that the rules read (the Win32 side checks them against its own).
const uint32_t kStyleVisible = 0x10000000, kStyleDisabled = 0x08000000, kStyleMinimized = 0x20000000,
               kStyleChild = 0x40000000, kStylePopup = 0x80000000;
const uint32_t kExStyleTopmost = 0x00000008, kExStyleNoActivate = 0x08000000;
const uint32_t kClassStyleIme = 0x00010000;  // CS_IME

// What the rules read of a top-level window, none of it through a message to its thread.
struct WindowLook {
    const char *className;
    uint32_t style, exStyle, classStyle;
    int owned;  // it has an owner window
};

// Windows that serve every desktop, so that no switch, store, send or clear touches them:
// - another program's popup menu ("#32768"), shown only while its program sits in the menu's
//   loop: hidden, it would leave the next click or Enter to a menu nobody sees;
// - tooltips ("tooltips_class32"), which come and go with the pointer;
// - an input method's own windows. The classes of an input method's user interface, status,
//   composition and candidate windows carry CS_IME, which the input method architecture asks of
//   them (Wine's imm32 "Wine IME" and ReactOS's msctfime "MSCTFIME UI" register theirs so). The
//   language bar of Windows XP's text services is "CiceroUIWndFrame", a WS_POPUP | WS_DISABLED
//   window, WS_EX_TOPMOST | WS_EX_TOOLWINDOW (ReactOS sdk/lib/cicero/cicuif.cpp, CUIFWindow),
//   matched by its class: disabled alone could be any window behind a modal dialog;
// - any window always on top that takes no activation (WS_EX_NOACTIVATE) and has no owner: the
//   on-screen keyboard and its kind. An owned one (a palette) goes with its owner's desktop.
int ServesEveryDesktop(const WindowLook &window);

// Whether the focus may go to the window after a command, as Windows itself would activate the
// next window after one hidden (Wine's activate_other_window and can_activate_window, ReactOS's
// WinPosActivateOtherWindow): not one shown in view, disabled, minimized, a child, of
// WS_EX_NOACTIVATE, or one that serves every desktop. 2 for an ordinary window, 1 for one always on
// top, which takes the focus only where no ordinary window can (the walk goes down from the
// window hidden, below the windows always on top), 0 for none.
int FocusRank(const WindowLook &window);
