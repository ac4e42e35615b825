// The keys on the main window: registered at start, each press handed on.
#include "desktop_keys.h"
#include "key_rules.h"
#include "tray_icon.h"
#include "../desktops/desktops.h"
#include "../desktops/showing.h"
#include "commands.h"

static int g_heldKey;  // the send or keep key not let go since it acted, or 0
static UINT_PTR g_releaseTimer;
static unsigned g_takenByOthers;  // bit id: a key another program had registered first

static int ReadKeysValue(DWORD *value)
{
    HKEY key;
    DWORD type = 0, size = sizeof *value;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Trellith", 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return 0;
    LONG result = RegQueryValueExA(key, "Hotkeys", NULL, &type, (BYTE *)value, &size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS && type == REG_DWORD && size == sizeof *value;
}

void RegisterDesktopKeys(HWND window)
{
    DWORD value = 0;
    int read = ReadKeysValue(&value);
    g_takenByOthers = 0;
    if (!KeysWanted(read, value)) return;
    for (int id = 1; id <= kKeyCount; ++id) {
        DesktopKey key = DesktopKeyOf(id);
        if (!RegisterHotKey(window, id, key.modifiers, key.virtualKey) && GetLastError() == ERROR_HOTKEY_ALREADY_REGISTERED)
            g_takenByOthers |= 1u << id;
    }
}

unsigned KeysTakenByOthers()
{
    return g_takenByOthers;
}

void UnregisterDesktopKeys(HWND window)
{
    for (int id = 1; id <= kKeyCount; ++id) UnregisterHotKey(window, id);
    if (g_releaseTimer) KillTimer(NULL, g_releaseTimer);
    g_releaseTimer = 0;
    g_heldKey = 0;
}

// The platform says nothing when a key that was pressed is let go: its state is read instead.
static VOID CALLBACK WatchRelease(HWND, UINT, UINT_PTR, DWORD)
{
    if (GetAsyncKeyState((int)DesktopKeyOf(g_heldKey).virtualKey) < 0) return;
    KillTimer(NULL, g_releaseTimer);
    g_releaseTimer = 0;
    g_heldKey = 0;
}

// A key pressed while the tray menu is open arrives inside the menu's loop: the menu closes first,
// or it would stay open over what the key changed. EndMenu is Windows 2000's; before it, the menu
// of a window closes on WM_CANCELMODE.
static void CloseOurMenu(HWND window)
{
    typedef BOOL(WINAPI * EndMenuFn)();
    static EndMenuFn end = (EndMenuFn)(void *)GetProcAddress(GetModuleHandleA("user32.dll"), "EndMenu");
    if (!MenuOpen()) return;
    if (end) end();
    else SendMessageA(window, WM_CANCELMODE, 0, 0);
}

void OnDesktopKey(HWND window, int id)
{
    KeyAction action = ActionOfKey(id, CurrentDesktop(), id == g_heldKey);
    if (action.command != kKeyDoesNothing) CloseOurMenu(window);
    switch (action.command) {
    case kKeyShowsDesktop: ShowDesktopIcon(ShowDesktop(window, action.desktop, NULL)); return;
    case kKeyOpensList: PostMessageA(window, WM_SHOW_WINDOW_LIST, 0, 0); return;
    case kKeySendsFront: SendFrontWindow(window, action.desktop); break;
    case kKeyKeepsFront: KeepFrontOnEveryDesktop(window); break;
    case kKeyDoesNothing: return;
    }
    // The 50 ms are a key's repeat, or less: it is let go before it could repeat.
    g_heldKey = id;
    g_releaseTimer = SetTimer(NULL, g_releaseTimer, 50, WatchRelease);
}
