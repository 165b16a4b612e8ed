#pragma once
// The settings as the program uses them: one record per group of values a
// page or an action reads and writes together. Load reads every field with
// the store's repair (a missing or damaged value is replaced by its default,
// which the field then holds); Save writes every field. Store failures pass
// as exceptions; a record half read when one is thrown is not to be used.
//
// Each record's fields are bound to their SettingIds in one table in
// SettingsRecords.cpp: nothing else needs to know the ids or their order.
// Texts are the stored ANSI bytes; numbers are the stored 32 bits, a flag is
// any non-zero number and is stored as 1.
#include <array>
#include <cstdint>
#include <string>

#include "settings/SettingSchema.h"

namespace DataSystem {

// A profile's reminder (subkey Reminder of "Profiles\<name>", or of "Temp"
// for a test of settings not yet saved).
struct ReminderSettings {
  std::string text;              // Txt
  std::string soundPath;         // Path
  bool play = false;             // Play
  bool looped = false;           // Looped
  bool autoClose = false;        // Close
  std::uint32_t closeAfter = 0;  // ClsTime, in units of closeUnit
  std::uint32_t closeUnit = 0;   // ClsTType: 0 seconds, 1 minutes, 2 hours, 3 days
  friend bool operator==(const ReminderSettings&, const ReminderSettings&) = default;
  void Load(const std::string& section);
  void Save(const std::string& section) const;
};

// A profile's shut-down options (subkey SDProp).
struct ShutdownSettings {
  bool forced = false;        // Forced
  bool forceHung = false;     // ForceHung
  std::uint32_t reason = 0;   // Reason, an index into the reason texts
  friend bool operator==(const ShutdownSettings&, const ShutdownSettings&) = default;
  void Load(const std::string& section);
  void Save(const std::string& section) const;
};

// A profile's hibernate and stand-by options (subkey HNProp).
struct SuspendSettings {
  bool forced = false;       // Forced
  bool disableWake = false;  // DisableWake
  friend bool operator==(const SuspendSettings&, const SuspendSettings&) = default;
  void Load(const std::string& section);
  void Save(const std::string& section) const;
};

// A profile's Wake-on-LAN target (subkey WakeOnLAN).
struct WakeOnLanSettings {
  std::uint32_t address = 0;  // IPAddr, as the IP-address control packs it
  std::uint32_t subnet = 0;   // Subnet, likewise
  std::string macAddress;     // MACAddr, twelve hexadecimal digits
  friend bool operator==(const WakeOnLanSettings&, const WakeOnLanSettings&) = default;
  void Load(const std::string& section);
  void Save(const std::string& section) const;
};

// The main window's fields of a profile (subkey MainForm).
struct MainFormSettings {
  std::uint32_t action = 0;   // Action
  std::uint32_t trigger = 0;  // Trigger, the kind
  std::uint32_t date = 0;     // TriggerDate, encoded
  std::uint32_t time = 0;     // TriggerTime, encoded
  std::uint32_t weekday = 0;  // TriggerCmb1, the weekday list's index
  std::uint32_t number = 0;   // TriggerEdit, the number field
  std::string process;        // TriggerCmb2, the process field
  friend bool operator==(const MainFormSettings&, const MainFormSettings&) = default;
  void Load(const std::string& section);
  void Save(const std::string& section) const;
};

// The "Trigger / Startup" options (Global\TriggerStartup).
struct StartupSettings {
  bool preserveActivation = false;  // PresTrgrAct
  bool startMinimized = false;      // Minimize
  bool splashScreen = false;        // SplashScr
  bool stopTimer = false;           // AutoStopTimer
  std::uint32_t expireDelay = 0;    // ExpireDelay, seconds
  bool reactivate = false;          // AutoReactTrgr
  bool warnBefore = false;          // WarnBefore
  std::uint32_t warnSeconds = 0;    // WarnSecs
  friend bool operator==(const StartupSettings&, const StartupSettings&) = default;
  void Load();
  void Save() const;
};

// What the main window reads as it starts (Global\TriggerStartup).
struct StartWindowSettings {
  bool preserveActivation = false;  // PresTrgrAct
  bool startMinimized = false;      // Minimize
  friend bool operator==(const StartWindowSettings&, const StartWindowSettings&) = default;
  void Load();
};

// The appearance options page (Global\Appearance).
struct AppearanceSettings {
  std::uint32_t translucency = 0;        // Transluc, 0..255
  std::uint32_t animationType = 0;       // AnimType
  std::uint32_t backgroundType = 0;      // BkGrType: 0 system, 1 colour, 2 image
  std::uint32_t red = 0;                 // BkGrColR
  std::uint32_t green = 0;               // BkGrColG
  std::uint32_t blue = 0;                // BkGrColB
  std::uint32_t animationDirection = 0;  // AnimDirec
  std::string language;                  // Lang
  std::string backgroundImage;           // BkGrImg
  friend bool operator==(const AppearanceSettings&, const AppearanceSettings&) = default;
  void Load();
  void Save() const;
};

// The show and hide animation alone (Global\Appearance).
struct AnimationSettings {
  std::uint32_t type = 0;       // AnimType
  std::uint32_t direction = 0;  // AnimDirec
  friend bool operator==(const AnimationSettings&, const AnimationSettings&) = default;
  void Load();
};

// The background alone, without its image path, which only an image needs
// (Global\Appearance).
struct BackgroundSettings {
  std::uint32_t type = 0;   // BkGrType
  std::uint32_t red = 0;    // BkGrColR
  std::uint32_t green = 0;  // BkGrColG
  std::uint32_t blue = 0;   // BkGrColB
  friend bool operator==(const BackgroundSettings&, const BackgroundSettings&) = default;
  void Load();
};

// The three buttons of the tray icon's mouse operations.
enum class MouseButton { Left, Middle, Right };

// One button's operation (Global\xzCute).
struct MouseShortcut {
  std::uint32_t clickKind = 0;  // LBClickC, MBClickC or RBClickC
  std::uint32_t action = 0;     // LBAction, MBAction or RBAction
  friend bool operator==(const MouseShortcut&, const MouseShortcut&) = default;
  void Load(MouseButton button);
  void Save(MouseButton button) const;
};

// All three buttons, read in one pass (left, middle, right).
std::array<MouseShortcut, 3> LoadMouseShortcuts();

// One hot-key record; `section` is the record's own key.
struct HotKeySettings {
  std::uint32_t code = 0;      // Code
  std::uint32_t modifier = 0;  // Modifier
  std::uint32_t action = 0;    // Action
  friend bool operator==(const HotKeySettings&, const HotKeySettings&) = default;
  void Load(const std::string& section);
  void Save(const std::string& section) const;
};

// Settings that stand alone: one value read (and repaired) or written.
std::uint32_t ReadNumber(SettingId id, const std::string& section);
std::string ReadText(SettingId id, const std::string& section);
void WriteNumber(SettingId id, std::uint32_t value, const std::string& section);
void WriteText(SettingId id, const std::string& text, const std::string& section);

}  // namespace DataSystem
