// Identifiers of the system tweaks dialog's template (SystemTweaks.rc),
// shared with the code that decides which of its controls a system shows.
#pragma once

#define IDD_SYSTEM_TWEAKS 212
#define IDC_TWEAK_CLEAR_PAGE_FILE 1034
#define IDC_TWEAK_TIMEOUT_SPIN 1080
#define IDC_TWEAK_STATUS_MESSAGES 1081
#define IDC_TWEAK_RELEASE_LEASE 1109
#define IDC_TWEAK_STATUS_NORMAL 1110
#define IDC_TWEAK_STATUS_VERBOSE 1111
#define IDC_TWEAK_TIMEOUT_LABEL 1112
#define IDC_TWEAK_TIMEOUT 1113
#define IDC_TWEAK_FAST_REBOOT 1114
#define IDC_TWEAK_LOGON_SHUTDOWN 1115
