// Reaches a window from a script, as a user's actions would:
//   winpost post CLASS TITLE MESSAGE WPARAM LPARAM   posts a message ("-" for any title)
//   winpost rect CLASS TITLE                          prints the window's "x y width height"
//   winpost title CLASS TITLE NEWTITLE                gives the window a new title
// Waits up to ten seconds for the window; exits with 1 when it never shows.
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

int main(int argc, char **argv)
{
    if (argc < 4) return 2;
    const char *title = strcmp(argv[3], "-") == 0 ? NULL : argv[3];
    HWND window = NULL;
    for (int i = 0; i < 200 && !window; ++i) {
        window = FindWindowA(argv[2], title);
        if (!window) Sleep(50);
    }
    if (!window) return 1;
    if (strcmp(argv[1], "post") == 0 && argc == 7) {
        PostMessageA(window, strtoul(argv[4], NULL, 0), strtoul(argv[5], NULL, 0), strtoul(argv[6], NULL, 0));
    } else if (strcmp(argv[1], "title") == 0 && argc == 5) {
        SendMessageA(window, WM_SETTEXT, 0, (LPARAM)argv[4]);
    } else if (strcmp(argv[1], "rect") == 0) {
        RECT r;
        GetWindowRect(window, &r);
        printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
    } else {
        return 2;
    }
    return 0;
}
