// Identifiers of the last warning before an action (LastWarning.rc).
#pragma once

#define IDD_LAST_WARNING 310
#define IDC_WARNING_ICON 1200
#define IDC_WARNING_NAME 1201
#define IDC_WARNING_TEXT 1202
#define IDC_WARNING_PROGRESS 1203
#define IDC_WARNING_POSTPONE 1204
