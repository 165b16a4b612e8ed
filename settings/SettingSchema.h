#pragma once
// Every stored setting is one row of SettingSchema: its value name, the
// subkey it lives in below a section, its type and the index of its default
// in the default array of that type. A setting is addressed by its row
// number, the SettingId; use the named constants below, never bare numbers.
#include <array>
#include <cstdint>

namespace DataSystem {

using SettingId = std::uint32_t;

enum class SettingType : std::int32_t {
  Bool = 0,    // REG_DWORD 0 or 1
  Dword = 1,   // REG_DWORD
  String = 2,  // REG_SZ, the byte count including the terminating zero
};

struct SettingRow {
  const char* valueName;
  const char* subkey;  // empty: the section key itself
  SettingType type;
  std::int32_t defaultIndex;  // into the default array of `type`
};

inline constexpr std::uint32_t kSettingCount = 59;
extern const std::array<SettingRow, kSettingCount> SettingSchema;

// The defaults, indexed by SettingRow::defaultIndex. They are not in row
// order: the index is what ties a row to its default.
extern const std::array<std::uint8_t, 19> kBoolDefaults;
extern const std::array<std::int32_t, 30> kDwordDefaults;
extern const std::array<const char*, 10> kStringDefaults;

// Reminder (per profile, or the "Temp" section).
inline constexpr SettingId kTxt = 0;
inline constexpr SettingId kPath = 1;
inline constexpr SettingId kPlay = 2;
inline constexpr SettingId kLooped = 3;
inline constexpr SettingId kClose = 10;
inline constexpr SettingId kClsTime = 11;
inline constexpr SettingId kClsTType = 12;
// Mouse operations on the tray icon (Global\xzCute).
inline constexpr SettingId kLBClickC = 4;
inline constexpr SettingId kLBAction = 5;
inline constexpr SettingId kMBClickC = 6;
inline constexpr SettingId kMBAction = 7;
inline constexpr SettingId kRBClickC = 8;
inline constexpr SettingId kRBAction = 9;
// Shutdown options (per profile, SDProp).
inline constexpr SettingId kSDPropForced = 13;
inline constexpr SettingId kForceHung = 14;
inline constexpr SettingId kReason = 15;
// One hot-key record (the record's own key).
inline constexpr SettingId kHotKeyCode = 16;
inline constexpr SettingId kHotKeyModifier = 17;
inline constexpr SettingId kHotKeyAction = 18;
// Global\TriggerStartup.
inline constexpr SettingId kExpireDelay = 19;
inline constexpr SettingId kAutoStopTimer = 20;
inline constexpr SettingId kPresTrgrAct = 21;
inline constexpr SettingId kMinimize = 22;
inline constexpr SettingId kSplashScr = 23;
inline constexpr SettingId kAutoReactTrgr = 47;
inline constexpr SettingId kWarnBefore = 57;
inline constexpr SettingId kWarnSecs = 58;
// Global\Appearance.
inline constexpr SettingId kTransluc = 24;
inline constexpr SettingId kLang = 25;
inline constexpr SettingId kAnimType = 26;
inline constexpr SettingId kBkGrType = 27;
inline constexpr SettingId kBkGrColR = 28;
inline constexpr SettingId kBkGrColG = 29;
inline constexpr SettingId kBkGrColB = 30;
inline constexpr SettingId kBkGrImg = 31;
inline constexpr SettingId kAnimDirec = 32;
// Security and Log: rows without a reader or writer, kept for the numbering.
inline constexpr SettingId kShowPass = 33;
inline constexpr SettingId kEnableLog = 34;
inline constexpr SettingId kTimeStamp = 35;
inline constexpr SettingId kLimitFile = 36;
inline constexpr SettingId kUseNTLog = 37;
inline constexpr SettingId kMaxSize = 38;
inline constexpr SettingId kLogFile = 39;
// Hang-up, dial-up, wake-up and process options (per profile).
inline constexpr SettingId kHNPropForced = 40;
inline constexpr SettingId kDisableWake = 41;
inline constexpr SettingId kToDiscon = 42;
inline constexpr SettingId kIPAddr = 43;
inline constexpr SettingId kSubnet = 44;
inline constexpr SettingId kMACAddr = 45;
inline constexpr SettingId kToKill = 46;
// The main window's fields (per profile, MainForm) and the last trigger event.
inline constexpr SettingId kMainFormAction = 48;
inline constexpr SettingId kTrigger = 49;
inline constexpr SettingId kTriggerDate = 50;
inline constexpr SettingId kTriggerTime = 51;
inline constexpr SettingId kTriggerCmb1 = 52;
inline constexpr SettingId kTriggerCmb2 = 53;
inline constexpr SettingId kTriggerActive = 54;
inline constexpr SettingId kLastEvent = 55;
inline constexpr SettingId kTriggerEdit = 56;

}  // namespace DataSystem
