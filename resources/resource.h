// Resource identifiers of Vesperon.exe, shared by the resource script and the
// windows that load them. Plain #defines so that the resource compiler reads
// them too.
#pragma once

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// String table.
#define IDP_OLE_INIT_FAILED 100
#define IDP_SOCKETS_INIT_FAILED 103

// Dialogs.
#define IDD_VESPERON_DIALOG 102
#define IDD_ABOUTBOX 300

// Menus.
#define IDR_TRAY_MENU 146
#define IDR_MAIN_MENU 172

// Icons: the program (256 and 16 colours).
#define IDI_VESPERON 127
#define IDI_VESPERON_16COLOUR 227
// Actions, in the order of kActionIconResources.
#define IDI_ACTION_TURN_OFF 193
#define IDI_ACTION_REBOOT 190
#define IDI_ACTION_LOG_OFF 194
#define IDI_ACTION_STAND_BY 191
#define IDI_ACTION_REMINDER 188
#define IDI_ACTION_HANG_UP 195
#define IDI_ACTION_HIBERNATE 196
#define IDI_ACTION_LOCK 198
#define IDI_ACTION_SHUTDOWN_NETWORK 189
#define IDI_ACTION_TRAY_MENU 176
#define IDI_ACTION_SHOW_WINDOW 185
#define IDI_ACTION_KILL 216
#define IDI_ACTION_NONE 217
#define IDI_ACTION_WAKE_ON_LAN 218
#define IDI_ACTION_REBOOT_SHELL 219
#define IDI_ACTION_SCREEN_SAVER 220
#define IDI_ACTION_MONITOR_ON 221
#define IDI_ACTION_MONITOR_OFF 222
// Shortcuts page devices.
#define IDI_MOUSE 174
#define IDI_KEYBOARD 175
// Trigger kinds 0..6, consecutive.
#define IDI_TRIGGER_FIRST 230
// Menu items: Exit, Global options, Contents, System tweaks, Technical Support.
#define IDI_MENU_EXIT 240
#define IDI_MENU_GLOBAL_OPTIONS 241
#define IDI_MENU_CONTENTS 242
#define IDI_MENU_SYSTEM_TWEAKS 243
#define IDI_MENU_TECHNICAL_SUPPORT 244

// Main window controls.
#define IDC_ACTIVATE 1000
#define IDC_LABEL_LOWER 1003
#define IDC_COUNTDOWN 1014
#define IDC_VESPERON 1020
#define IDC_ACTION_LIST 1035
#define IDC_TRIGGER_LIST 1036
#define IDC_TIME_FIELD 1037
#define IDC_DATE_FIELD 1038
#define IDC_PROPERTIES 1039
#define IDC_NUMBER_FIELD 1040
#define IDC_WEEKDAY_LIST 1042
#define IDC_LABEL_UPPER 1043
#define IDC_EXECUTE_NOW 1046
#define IDC_PROGRESS 1047
#define IDC_NUMBER_UPDOWN 1080
#define IDC_PROCESS_FIELD 1116
#define IDC_PROFILES 1117
#define IDC_STATUS_BAR 101
#define IDC_SYSTEM_INFO 301

// Menu commands.
#define ID_TRAY_REBOOT 148
#define ID_TRAY_STAND_BY 150
#define ID_TRAY_HIBERNATE 151
#define ID_TRAY_TURN_OFF 153
#define ID_TRAY_LOG_OFF 154
#define ID_TRAY_LOCK 155
#define ID_TRAY_HANG_UP 156
#define ID_TRAY_SHUTDOWN_NETWORK 157
#define ID_TRAY_EXIT 169
#define ID_TRAY_SHOW_WINDOW 170
#define ID_GLOBAL_OPTIONS 173
#define ID_BOOT_OPTIONS 32772
#define ID_HELP_CONTENTS 32773
#define ID_ABOUT 32774
#define ID_SYSTEM_TWEAKS 32775
#define ID_TECHNICAL_SUPPORT 32776
#define ID_CHECK_UPDATES 32777
