// Resource and control identifiers, grouped by the resource they belong to.
#pragma once

// Desktop icons (102 is also the application and dialog icon) and the link's hand cursor.
#define IDI_DESKTOP0 102
#define IDI_DESKTOP1 109
#define IDI_DESKTOP2 110
#define IDI_DESKTOP3 111
#define IDR_HAND_CURSOR 106

// Timer settings dialog
#define IDD_SETTINGS 101
#define IDC_SCHEME_NAME 1000
#define IDC_SUSPEND_AFTER_ONCE 1001
#define IDC_SUSPENDED 1005
#define IDC_AUTORUN 1006
#define IDC_FORCE_CLOSE 1007
#define IDC_TRIGGER_KIND 1008
#define IDC_ACTION_KIND 1009
#define IDC_COUNTER_LINE 1010
#define IDC_TRIGGER_HOURS 1014
#define IDC_TRIGGER_MINUTES 1015
#define IDC_DELAY_MINUTES 1018
#define IDC_DELAY_SECONDS 1019
#define IDC_DELETE 3
#define IDC_NEW 4

// About dialog
#define IDD_ABOUT 105
#define IDC_ABOUT_LINK 1027
#define IDC_ABOUT_EDIT 1031
#define IDC_ABOUT_TITLE 1032
#define IDC_ABOUT_SUBTITLE 1033

// Countdown dialog
#define IDD_COUNTDOWN 114
#define IDC_COUNTDOWN_PROGRESS 1029
#define IDC_COUNTDOWN_REMAINING 1030
#define IDC_COUNTDOWN_NAME 1031
