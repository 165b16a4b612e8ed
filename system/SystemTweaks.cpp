#include "system/SystemTweaks.h"

#include <algorithm>
#include <charconv>
#include <cstring>

#include "model/NumberText.h"
#include "model/OsVersion.h"
#include "platform/Services.h"
#include "settings/StoreExceptions.h"

namespace Vesperon {

namespace {

using DataSystem::kHiveCurrentUser;
using DataSystem::kHiveLocalMachine;

constexpr char kPolicySystemKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";

// In the order of TweakRow.
const TweakStorage kStorage[kTweakRowCount] = {
    {"ClearPageFileAtShutdown", kHiveLocalMachine,
     "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Memory Management", 0, false},
    {"WaitToKillAppTimeout", kHiveCurrentUser, "Control Panel\\Desktop", 20000, true},
    {"DisableStatusMessages", kHiveLocalMachine, kPolicySystemKey, 0, false},
    {"verbosestatus", kHiveLocalMachine, kPolicySystemKey, 0, false},
    {"ShutdownWithoutLogon", kHiveLocalMachine,
     "Software\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon", 1, true},
    {"ReleaseLeaseOnShutdown", kHiveLocalMachine, "System\\CurrentControlSet\\Services\\VxD\\DHCP",
     0, false},
    {"FastReboot", kHiveLocalMachine, "System\\CurrentControlSet\\Control\\Shutdown", 1, true},
};

// The versions that have each row's setting, as IsOsVersionAtLeast minimums.
constexpr struct {
  std::int32_t min9x;
  std::int32_t minNT;
} kVersions[kTweakRowCount] = {
    {0, kOsWindowsXP},   {0, kOsWindowsNT4}, {0, kOsWindows2000}, {0, kOsWindows2000},
    {0, kOsWindowsNT4},  {kOsWindows98, 0},  {kOsWindows95, 0},
};

// The order OK writes in. The DHCP row follows the fast-shutdown row on
// purpose: its FastReboot "0" must be the last word.
constexpr TweakRow kWriteOrder[] = {kTweakClearPageFile,  kTweakFastReboot,    kTweakReleaseLease,
                                    kTweakStatusMessages, kTweakLogonShutdown, kTweakWaitToKill,
                                    kTweakVerboseStatus};

// A decimal text, optionally negative, that fits 32 bits; anything else
// (an empty text, blanks, a trailing letter, an overlong number) is no value.
bool ParseStoredDecimal(const std::string& text, std::int32_t& value) {
  const char* first = text.data();
  const char* last = first + text.size();
  std::int32_t parsed = 0;
  const auto [end, error] = std::from_chars(first, last, parsed, 10);
  if (error != std::errc() || end != last) return false;
  value = parsed;
  return true;
}

std::int32_t Flag(bool on) { return on ? 1 : 0; }

}  // namespace

std::int32_t ReadTweakValue(const std::string& valueName, const DataSystem::HiveSelector& hive,
                            const std::string& keyPath, std::int32_t defaultValue, bool asText) {
  DataSystem::ScopedKey key;
  try {
    key = DataSystem::OpenExistingSettingsKey(keyPath, hive, platform::kKeyQueryValue);
  } catch (const DataSystem::RegistryException&) {
    return defaultValue;
  }
  std::int32_t value = defaultValue;
  if (asText) {
    std::string text;
    try {
      text = DataSystem::ReadStringValue(key, valueName);
    } catch (const DataSystem::RegistryException&) {
      return defaultValue;  // the holder closes the key
    }
    key.Close();
    if (!ParseStoredDecimal(text, value)) value = defaultValue;
    return value;
  }
  std::uint32_t type = 0;
  std::uint32_t size = sizeof(std::uint32_t);
  unsigned char data[sizeof(std::uint32_t)] = {};
  const long result = key.Registry().QueryValue(key.Get(), valueName, &type, data, &size);
  // Only a proper REG_DWORD is a number: a shorter value or a text of four
  // bytes would otherwise read as a made-up one.
  const bool isNumber =
      result == platform::kOk && type == platform::kRegDword && size == sizeof(std::uint32_t);
  if (!isNumber) return defaultValue;
  key.Close();
  std::memcpy(&value, data, sizeof value);
  return value;
}

void WriteTweakValue(const std::string& valueName, std::int32_t value,
                     const DataSystem::HiveSelector& hive, const std::string& keyPath,
                     bool asText) {
  DataSystem::ScopedKey key = DataSystem::OpenSettingsKey(keyPath, hive, platform::kKeySetValue);
  if (asText) {
    DataSystem::WriteStringValue(key, valueName, std::to_string(value));
  } else {
    const std::uint32_t data = static_cast<std::uint32_t>(value);
    if (key.Registry().SetValue(key.Get(), valueName, platform::kRegDword, &data, sizeof data) !=
        platform::kOk) {
      throw DataSystem::RegistryException(DataSystem::RegistryException::kSetValue);
    }
  }
  key.Close();
}

const TweakStorage& StorageOf(TweakRow row) { return kStorage[row]; }

bool IsTweakAvailable(TweakRow row) {
  return IsOsVersionAtLeast(kVersions[row].min9x, kVersions[row].minNT);
}

std::vector<TweakRow> ShownTweakRows() {
  std::vector<TweakRow> shown;
  for (int row = 0; row < kTweakRowCount; ++row) {
    if (IsTweakAvailable(static_cast<TweakRow>(row))) shown.push_back(static_cast<TweakRow>(row));
  }
  return shown;
}

std::int32_t ShownTweakState(TweakRow row, std::int32_t stored, std::int32_t fastReboot) {
  switch (row) {
    case kTweakClearPageFile: return Flag(stored != 0);
    case kTweakWaitToKill: return stored / 1000;
    case kTweakStatusMessages: return Flag(stored == 0);  // the value disables them
    case kTweakVerboseStatus: return Flag(stored != 0);
    case kTweakLogonShutdown: return Flag(stored == 0);   // the value allows everyone
    case kTweakReleaseLease: return Flag(stored != 0 && fastReboot == 0);
    case kTweakFastReboot: return Flag(stored == 0);      // the check box disables it
    default: return 0;
  }
}

std::vector<TweakWrite> WritesForTweak(TweakRow row, std::int32_t state) {
  const bool on = state != 0;
  switch (row) {
    case kTweakClearPageFile: return {{row, Flag(on)}};
    case kTweakWaitToKill: return {{row, std::clamp(state, 0, kMaxTimeoutSeconds) * 1000}};
    case kTweakStatusMessages: return {{row, Flag(!on)}};
    case kTweakVerboseStatus: return {{row, Flag(on)}};
    case kTweakLogonShutdown: return {{row, Flag(!on)}};
    case kTweakReleaseLease:
      if (on) return {{row, 1}, {kTweakFastReboot, 0}};
      return {{row, 0}};
    case kTweakFastReboot: return {{row, Flag(!on)}};
    default: return {};
  }
}

TweakState LoadTweakState() {
  TweakState state;
  auto read = [](TweakRow row) {
    const TweakStorage& s = kStorage[row];
    return ReadTweakValue(s.valueName, s.hive, s.keyPath, s.defaultValue, s.asText);
  };
  if (IsTweakAvailable(kTweakFastReboot)) {
    state.value[kTweakFastReboot] = ShownTweakState(kTweakFastReboot, read(kTweakFastReboot), 0);
  }
  if (IsTweakAvailable(kTweakReleaseLease)) {
    state.value[kTweakReleaseLease] =
        ShownTweakState(kTweakReleaseLease, read(kTweakReleaseLease), read(kTweakFastReboot));
  }
  for (TweakRow row : {kTweakClearPageFile, kTweakStatusMessages, kTweakVerboseStatus,
                       kTweakLogonShutdown, kTweakWaitToKill}) {
    if (IsTweakAvailable(row)) state.value[row] = ShownTweakState(row, read(row), 0);
  }
  return state;
}

std::vector<TweakWrite> PlanTweakWrites(const TweakState& state) {
  std::vector<TweakWrite> plan;
  for (TweakRow row : kWriteOrder) {
    // A row the system lacks is never written, even if a stray notification
    // of its hidden control marked it.
    if (!state.touched[row] || !IsTweakAvailable(row)) continue;
    for (const TweakWrite& write : WritesForTweak(row, state.value[row])) plan.push_back(write);
  }
  return plan;
}

void SaveTweakState(const TweakState& state) {
  for (const TweakWrite& write : PlanTweakWrites(state)) {
    const TweakStorage& s = kStorage[write.setting];
    WriteTweakValue(s.valueName, write.value, s.hive, s.keyPath, s.asText);
  }
}

bool ParseTimeoutSeconds(std::string_view text, std::int32_t& seconds) {
  std::int32_t parsed = 0;
  if (!ParseNumberText(text, parsed)) return false;
  seconds = std::clamp(parsed, 0, kMaxTimeoutSeconds);
  return true;
}

std::int32_t TimeoutAfterSpin(std::int32_t seconds, std::int32_t reportedStep) {
  const std::int64_t next = static_cast<std::int64_t>(seconds) - reportedStep;
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(next, 0, kMaxTimeoutSeconds));
}

}  // namespace Vesperon
