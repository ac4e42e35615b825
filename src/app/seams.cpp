#include "seams.h"
#include <mmsystem.h>
#include <shellapi.h>

PlatformSeams g_seams = {
    ExitWindowsEx, mciSendStringA, Beep, ShellExecuteA, RegSetValueExA, RegDeleteValueA, Shell_NotifyIconA,
};
