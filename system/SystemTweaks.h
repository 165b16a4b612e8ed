#pragma once
// The Windows settings that shape a shutdown, as the system tweaks dialog
// edits them: where Windows keeps each one, how a stored value becomes the
// state of a control and back, which Windows versions know it, and what
// pressing OK writes. The dialog itself only moves these states in and out
// of its controls.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "settings/SettingsKey.h"

namespace Vesperon {

// Reads one setting; a missing key or value, or one that does not hold a
// number (a REG_DWORD of 4 bytes, or for `asText` a decimal text within the
// 32-bit range), gives `defaultValue`. A key that cannot be closed throws
// RegistryException 13.
std::int32_t ReadTweakValue(const std::string& valueName, const DataSystem::HiveSelector& hive,
                            const std::string& keyPath, std::int32_t defaultValue, bool asText);
// Writes one setting, creating its key when needed: a decimal REG_SZ for
// `asText`, else a REG_DWORD. Throws RegistryException (0 the key, 1 the
// value, 13 the close); the key is closed either way.
void WriteTweakValue(const std::string& valueName, std::int32_t value,
                     const DataSystem::HiveSelector& hive, const std::string& keyPath,
                     bool asText);

// The dialog's rows: each is one control (the radio pair counts as one) and
// owns one stored setting.
enum TweakRow : int {
  kTweakClearPageFile,   // check box: ClearPageFileAtShutdown
  kTweakWaitToKill,      // seconds: WaitToKillAppTimeout
  kTweakStatusMessages,  // check box: DisableStatusMessages
  kTweakVerboseStatus,   // 0 "Normal", 1 "Verbose": verbosestatus
  kTweakLogonShutdown,   // check box: ShutdownWithoutLogon
  kTweakReleaseLease,    // check box: ReleaseLeaseOnShutdown
  kTweakFastReboot,      // check box: FastReboot
  kTweakRowCount
};

// Where Windows stores a row's setting.
struct TweakStorage {
  const char* valueName;
  DataSystem::HiveSelector hive;
  const char* keyPath;
  std::int32_t defaultValue;
  bool asText;
};
const TweakStorage& StorageOf(TweakRow row);

// Whether the running system has the row's setting (may throw what the
// version classification throws).
bool IsTweakAvailable(TweakRow row);
// The rows the running system shows, in order.
std::vector<TweakRow> ShownTweakRows();

// The state a control shows for a stored value. The fast-reboot value is
// needed by the DHCP row only, which counts as checked only while fast
// shutdown is off.
std::int32_t ShownTweakState(TweakRow row, std::int32_t stored, std::int32_t fastReboot);

// One registry write of OK.
struct TweakWrite {
  TweakRow setting;  // whose storage
  std::int32_t value;
  friend bool operator==(const TweakWrite&, const TweakWrite&) = default;
};
// What OK stores for a row's control state, in order: checking the DHCP
// row also turns fast shutdown off.
std::vector<TweakWrite> WritesForTweak(TweakRow row, std::int32_t state);

// The dialog's values and touched flags, all 0 before anything is read.
struct TweakState {
  std::array<std::int32_t, kTweakRowCount> value{};
  std::array<bool, kTweakRowCount> touched{};
};

// Reads the rows the running system has; the others stay 0.
TweakState LoadTweakState();
// The writes of OK: the touched rows the system has, in the order Windows'
// settings must be written so that the DHCP row's FastReboot "0" wins over
// the fast-shutdown row.
std::vector<TweakWrite> PlanTweakWrites(const TweakState& state);
// Performs the plan. A refused write throws and leaves the rows after it
// unwritten.
void SaveTweakState(const TweakState& state);

// The time-out field holds whole seconds: 0 up to the largest number whose
// milliseconds still fit the stored 32-bit value.
inline constexpr std::int32_t kMaxTimeoutSeconds = 2147483;
// The field's text as seconds, held to that range; false for a text that is
// no whole number (empty included).
bool ParseTimeoutSeconds(std::string_view text, std::int32_t& seconds);
// An arrow click of the spin control: its default range runs backwards, so
// the reported step is subtracted; never below 0 nor above the maximum.
std::int32_t TimeoutAfterSpin(std::int32_t seconds, std::int32_t reportedStep);

}  // namespace Vesperon
