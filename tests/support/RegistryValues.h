#pragma once
// Planting and reading registry values through platform::Registry(), without
// the test framework, so that the fuzz targets use them as well as the tests.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/Registry.h"
#include "platform/Services.h"

namespace testsupport {

using Bytes = std::vector<unsigned char>;

inline Bytes Dword(std::uint32_t v) {
  return {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
          static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 24)};
}

// One value with the path of its key.
struct StoredValue {
  std::string keyPath;
  std::string name;
  std::uint32_t type = 0;
  Bytes data;
  bool operator==(const StoredValue&) const = default;
};

// Creates the key and its parents; false if the registry refused.
inline bool MakeKey(const std::string& keyPath, platform::RegKey root = platform::kCurrentUser) {
  platform::IRegistry& registry = platform::Registry();
  platform::RegKey key = 0;
  if (registry.CreateKey(root, keyPath, platform::kKeyAllAccess, key) != platform::kOk) return false;
  registry.CloseKey(key);
  return true;
}

// Creates the key and sets the value; false if the registry refused.
inline bool Plant(const StoredValue& value, platform::RegKey root = platform::kCurrentUser) {
  platform::IRegistry& registry = platform::Registry();
  platform::RegKey key = 0;
  if (registry.CreateKey(root, value.keyPath, platform::kKeyAllAccess, key) != platform::kOk) return false;
  const auto size = static_cast<std::uint32_t>(value.data.size());
  const long result = registry.SetValue(key, value.name, value.type, value.data.data(), size);
  registry.CloseKey(key);
  return result == platform::kOk;
}

// The value as the registry holds it now; nothing if it or its key is missing.
inline std::optional<StoredValue> Fetch(const std::string& keyPath, const std::string& name,
                                        platform::RegKey root = platform::kCurrentUser) {
  platform::IRegistry& registry = platform::Registry();
  platform::RegKey key = 0;
  if (registry.OpenKey(root, keyPath, platform::kKeyQueryValue, key) != platform::kOk) return std::nullopt;
  StoredValue value{keyPath, name, 0, {}};
  std::uint32_t size = 0;
  long result = registry.QueryValue(key, name, &value.type, nullptr, &size);
  if (result == platform::kOk) {
    value.data.resize(size);
    result = registry.QueryValue(key, name, &value.type, value.data.data(), &size);
    value.data.resize(size);
  }
  registry.CloseKey(key);
  return result == platform::kOk ? std::optional(value) : std::nullopt;
}

inline bool KeyExists(const std::string& keyPath, platform::RegKey root = platform::kCurrentUser) {
  platform::IRegistry& registry = platform::Registry();
  platform::RegKey key = 0;
  if (registry.OpenKey(root, keyPath, platform::kKeyQueryValue, key) != platform::kOk) return false;
  registry.CloseKey(key);
  return true;
}

}  // namespace testsupport
