#include "settings/SettingSchema.h"

namespace DataSystem {

namespace {
constexpr SettingType B = SettingType::Bool;
constexpr SettingType D = SettingType::Dword;
constexpr SettingType S = SettingType::String;
}  // namespace

const std::array<SettingRow, kSettingCount> SettingSchema = {{
    {"Txt", "Reminder", S, 0},             // 0
    {"Path", "Reminder", S, 1},            // 1
    {"Play", "Reminder", B, 0},            // 2
    {"Looped", "Reminder", B, 1},          // 3
    {"LBClickC", "xzCute", D, 0},          // 4
    {"LBAction", "xzCute", D, 1},          // 5
    {"MBClickC", "xzCute", D, 2},          // 6
    {"MBAction", "xzCute", D, 3},          // 7
    {"RBClickC", "xzCute", D, 4},          // 8
    {"RBAction", "xzCute", D, 5},          // 9
    {"Close", "Reminder", B, 2},           // 10
    {"ClsTime", "Reminder", D, 6},         // 11
    {"ClsTType", "Reminder", D, 7},        // 12
    {"Forced", "SDProp", B, 3},            // 13
    {"ForceHung", "SDProp", B, 4},         // 14
    {"Reason", "SDProp", D, 8},            // 15
    {"Code", "", D, 9},                    // 16
    {"Modifier", "", D, 10},               // 17
    {"Action", "", D, 11},                 // 18
    {"ExpireDelay", "TriggerStartup", D, 22},  // 19
    {"AutoStopTimer", "TriggerStartup", B, 6}, // 20
    {"PresTrgrAct", "TriggerStartup", B, 7},   // 21
    {"Minimize", "TriggerStartup", B, 8},      // 22
    {"SplashScr", "TriggerStartup", B, 9},     // 23
    {"Transluc", "Appearance", D, 12},     // 24
    {"Lang", "Appearance", S, 2},          // 25
    {"AnimType", "Appearance", D, 13},     // 26
    {"BkGrType", "Appearance", D, 14},     // 27
    {"BkGrColR", "Appearance", D, 15},     // 28
    {"BkGrColG", "Appearance", D, 16},     // 29
    {"BkGrColB", "Appearance", D, 17},     // 30
    {"BkGrImg", "Appearance", S, 3},       // 31
    {"AnimDirec", "Appearance", D, 18},    // 32
    {"ShowPass", "Security", B, 10},       // 33
    {"EnableLog", "Log", B, 11},           // 34
    {"TimeStamp", "Log", B, 12},           // 35
    {"LimitFile", "Log", B, 13},           // 36
    {"UseNTLog", "Log", B, 14},            // 37
    {"MaxSize", "Log", D, 19},             // 38
    {"LogFile", "Log", S, 4},              // 39
    {"Forced", "HNProp", B, 15},           // 40
    {"DisableWake", "HNProp", B, 16},      // 41
    {"ToDiscon", "RAS", S, 5},             // 42
    {"IPAddr", "WakeOnLAN", D, 20},        // 43
    {"Subnet", "WakeOnLAN", D, 21},        // 44
    {"MACAddr", "WakeOnLAN", S, 6},        // 45
    {"ToKill", "Process", S, 7},           // 46
    {"AutoReactTrgr", "TriggerStartup", B, 5},  // 47
    {"Action", "MainForm", D, 23},         // 48
    {"Trigger", "MainForm", D, 24},        // 49
    {"TriggerDate", "MainForm", D, 25},    // 50
    {"TriggerTime", "MainForm", D, 26},    // 51
    {"TriggerCmb1", "MainForm", D, 27},    // 52
    {"TriggerCmb2", "MainForm", S, 8},     // 53
    {"TriggerActive", "MainForm", B, 17},  // 54
    {"LastEvent", "Trigger", S, 9},        // 55
    {"TriggerEdit", "MainForm", D, 28},    // 56
    {"WarnBefore", "TriggerStartup", B, 18},   // 57
    {"WarnSecs", "TriggerStartup", D, 29},     // 58
}};

const std::array<std::uint8_t, 19> kBoolDefaults = {
    0,  // 0 Play
    0,  // 1 Looped
    0,  // 2 Close
    0,  // 3 Forced (SDProp)
    1,  // 4 ForceHung
    0,  // 5 AutoReactTrgr
    0,  // 6 AutoStopTimer
    1,  // 7 PresTrgrAct
    1,  // 8 Minimize
    1,  // 9 SplashScr
    0,  // 10 ShowPass
    1,  // 11 EnableLog
    1,  // 12 TimeStamp
    0,  // 13 LimitFile
    0,  // 14 UseNTLog
    0,  // 15 Forced (HNProp)
    0,  // 16 DisableWake
    0,  // 17 TriggerActive
    0,  // 18 WarnBefore
};

const std::array<std::int32_t, 30> kDwordDefaults = {
    2,     // 0 LBClickC
    9,     // 1 LBAction
    2,     // 2 MBClickC
    9,     // 3 MBAction
    1,     // 4 RBClickC
    17,    // 5 RBAction
    1,     // 6 ClsTime
    1,     // 7 ClsTType
    2,     // 8 Reason
    0,     // 9 Code
    0,     // 10 Modifier
    -3,    // 11 Action (hot key)
    255,   // 12 Transluc
    0,     // 13 AnimType
    0,     // 14 BkGrType
    100,   // 15 BkGrColR
    200,   // 16 BkGrColG
    200,   // 17 BkGrColB
    4,     // 18 AnimDirec
    500,   // 19 MaxSize
    0,     // 20 IPAddr
    0,     // 21 Subnet
    3600,  // 22 ExpireDelay
    0,     // 23 Action (MainForm)
    0,     // 24 Trigger
    0,     // 25 TriggerDate
    0,     // 26 TriggerTime
    0,     // 27 TriggerCmb1
    1,     // 28 TriggerEdit
    30,    // 29 WarnSecs, seconds
};

const std::array<const char*, 10> kStringDefaults = {
    "Your message displays here",  // 0 Txt
    "",                            // 1 Path
    "English",                     // 2 Lang
    "",                            // 3 BkGrImg
    "",                            // 4 LogFile
    "*",                           // 5 ToDiscon
    "000000000000",                // 6 MACAddr
    "",                            // 7 ToKill
    "",                            // 8 TriggerCmb2
    "01/01/1970 12:00:00 AM",      // 9 LastEvent
};

}  // namespace DataSystem
