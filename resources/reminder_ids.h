// Identifiers of the reminder window's dialog template (Reminder.rc).
#pragma once

#define IDD_REMINDER 145
#define IDC_REMINDER_TEXT 1009
#define IDC_REMINDER_STATUS 1011
#define IDC_REMINDER_PROGRESS 1016
