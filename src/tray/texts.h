// The list of every window's texts, in code page 936 once compiled, in the words the menu uses.
#pragma once

#define TEXT_LIST_DESKTOP "桌面 "  // followed by the desktop's number
#define TEXT_LIST_IN_VIEW "（当前桌面）"
#define TEXT_LIST_STASH "所存窗口"
#define TEXT_LIST_KEPT "所有桌面"
#define TEXT_LIST_UNTITLED "（无标题）"
#define TEXT_LIST_KEY_TAKEN " 已被其他程序占用"  // after the key's name
