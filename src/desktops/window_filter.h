// Which windows the desktops may touch, decided on the class name alone.
#pragma once

// The shell's desktop, taskbar and worker windows.
#define EXCLUDED_CLASSES "Progman|Indicator|Shell_TrayWnd|WorkerW"

// 1 when className occurs anywhere in the exclusion list, byte for byte and with case (as
// strstr finds it): every entry, any part of one, a stretch across a "|", and the empty name.
int IsExcludedClassName(const char *className);

// Newer shells' own windows that the list above does not name: the taskbar of a second monitor
// and the hosts of the notification overflow. Compared whole, without regard to case, as the
// platform compares class names.
int IsShellHostClassName(const char *className);
