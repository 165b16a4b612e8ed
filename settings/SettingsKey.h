#pragma once
// The building blocks of the settings store: choosing the hive, opening keys
// (with a holder that always closes them) and reading and writing texts.
// They also serve keys outside the program's root, in either hive.
#include <cstdint>
#include <string>

#include "platform/Registry.h"

namespace DataSystem {

// Which hive a call works in: 0 HKEY_LOCAL_MACHINE, 1 HKEY_CURRENT_USER.
// The settings calls always pass kHiveCurrentUser.
using HiveSelector = std::int32_t;
inline constexpr HiveSelector kHiveLocalMachine = 0;
inline constexpr HiveSelector kHiveCurrentUser = 1;

// Every setting lives below this key of the selected hive.
inline constexpr const char RootKeyPath[] = "SOFTWARE\\Brannock\\Vesperon3";

// Joins two paths with one backslash; an empty part adds nothing, so that
// an empty subkey addresses the key itself.
std::string JoinKeyPath(const std::string& left, const std::string& right);

// The predefined key of a hive; anything but 0 or 1 throws a plain
// Vesperon::Exception before the registry is touched.
platform::RegKey HiveRoot(const HiveSelector& hive);

// An open registry key, closed when the holder goes away (a failed close is
// ignored there). It remembers the registry it came from.
class ScopedKey {
 public:
  ScopedKey() = default;
  ScopedKey(platform::IRegistry& registry, platform::RegKey key)
      : registry_(&registry), key_(key) {}
  ~ScopedKey() { Reset(); }
  ScopedKey(ScopedKey&& other) noexcept;
  ScopedKey& operator=(ScopedKey&& other) noexcept;
  ScopedKey(const ScopedKey&) = delete;
  ScopedKey& operator=(const ScopedKey&) = delete;

  bool IsOpen() const { return registry_ != nullptr; }
  platform::RegKey Get() const { return key_; }
  platform::IRegistry& Registry() const { return *registry_; }

  // Closes the key now, ignoring a failure.
  void Reset();
  // Closes the key now; a failure throws RegistryException code 13.
  void Close();

 private:
  platform::IRegistry* registry_ = nullptr;
  platform::RegKey key_ = 0;
};

// RegCreateKeyExA on the hive with `path`: opens the key, creating it and
// every missing key along the path. Failure: RegistryException code 0.
ScopedKey OpenSettingsKey(const std::string& path, const HiveSelector& hive, std::uint32_t access);
// RegOpenKeyExA: the key must exist. Failure: RegistryException code 7.
ScopedKey OpenExistingSettingsKey(const std::string& path, const HiveSelector& hive,
                                  std::uint32_t access);

// The value's data as a text, up to its first zero byte (all of it when it
// holds none), whatever its registry type. Failure, a missing value
// included: RegistryException code 2.
std::string ReadStringValue(const ScopedKey& key, const std::string& name);
// Writes a REG_SZ of the text and its terminating zero. Failure:
// RegistryException code 1.
void WriteStringValue(const ScopedKey& key, const std::string& name, const std::string& text);

}  // namespace DataSystem
