#include "settings/SettingsStore.h"

#include <cstring>

#include "platform/Services.h"

namespace DataSystem {
namespace {

constexpr const char* kActiveProfileValue = "DefaultList";
constexpr const char* kDefaultProfileName = "Default";

std::string SectionPath(const std::string& section) { return JoinKeyPath(RootKeyPath, section); }

const SettingRow& RowOf(SettingId id) {
  if (id >= kSettingCount) throw Vesperon::SystemException(kBadSettingId);
  return SettingSchema[id];
}

// Opens the key for reading and repairing; when writing is refused, for
// reading only.
ScopedKey OpenForReading(const std::string& path, const HiveSelector& hive) {
  try {
    return OpenSettingsKey(path, hive, platform::kKeyQueryValue | platform::kKeySetValue);
  } catch (const RegistryException& e) {
    if (e.code != RegistryException::kCreateKey) throw;
  }
  return OpenSettingsKey(path, hive, platform::kKeyQueryValue);
}

// Opens the key of ids[i] unless ids[i-1] lives in the same subkey, in which
// case the key already open serves. Ids are checked before this.
template <typename Open>
void SwitchKey(ScopedKey& key, const std::vector<SettingId>& ids, std::size_t i,
               const std::string& section, const HiveSelector& hive, Open open) {
  const char* subkey = SettingSchema[ids[i]].subkey;
  if (i != 0 && std::strcmp(subkey, SettingSchema[ids[i - 1]].subkey) == 0) return;
  key.Reset();
  key = open(JoinKeyPath(SectionPath(section), subkey), hive);
}

std::uint32_t NumberDefault(const SettingRow& row) {
  const auto index = static_cast<std::size_t>(row.defaultIndex);
  switch (row.type) {
    case SettingType::Dword:
      if (row.defaultIndex < 0 || index >= kDwordDefaults.size()) {
        throw Vesperon::SystemException(kBadSettingId);
      }
      return static_cast<std::uint32_t>(kDwordDefaults[index]);
    case SettingType::Bool:
      if (row.defaultIndex < 0 || index >= kBoolDefaults.size()) {
        throw Vesperon::SystemException(kBadSettingId);
      }
      return kBoolDefaults[index] != 0 ? 1u : 0u;
    default:
      throw Vesperon::SystemException(kWrongSettingType);
  }
}

std::string StringDefault(const SettingRow& row) {
  if (row.type != SettingType::String) throw Vesperon::SystemException(kWrongSettingType);
  if (row.defaultIndex < 0 || static_cast<std::size_t>(row.defaultIndex) >= kStringDefaults.size()) {
    throw Vesperon::SystemException(kBadSettingId);
  }
  return kStringDefaults[static_cast<std::size_t>(row.defaultIndex)];
}

// REG_DWORD data is little-endian whatever the machine.
void WriteNumberValue(const ScopedKey& key, const char* name, std::uint32_t value) {
  const unsigned char bytes[4] = {
      static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
      static_cast<unsigned char>(value >> 16), static_cast<unsigned char>(value >> 24)};
  if (key.Registry().SetValue(key.Get(), name, platform::kRegDword, bytes, 4) != platform::kOk) {
    throw RegistryException(RegistryException::kSetValue);
  }
}

// A number value is exactly 4 bytes. A shorter one would leave part of the
// result undefined and a longer one cannot be a number, so both are treated
// as missing.
bool ReadNumberValue(const ScopedKey& key, const char* name, std::uint32_t& value) {
  unsigned char bytes[4] = {};
  std::uint32_t size = sizeof bytes;
  if (key.Registry().QueryValue(key.Get(), name, nullptr, bytes, &size) != platform::kOk ||
      size != sizeof bytes) {
    return false;
  }
  value = static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
          static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
  return true;
}

ScopedKey OpenForWriting(const std::string& path, const HiveSelector& hive) {
  return OpenSettingsKey(path, hive, platform::kKeySetValue);
}

}  // namespace

void ReadNumbers(const std::vector<SettingId>& ids, std::vector<std::uint32_t>& values,
                 const std::string& section, const HiveSelector& hive) {
  values.assign(ids.size(), 0);
  ScopedKey key;
  for (std::size_t i = 0; i < ids.size(); ++i) {
    const SettingRow& row = RowOf(ids[i]);
    SwitchKey(key, ids, i, section, hive, OpenForReading);
    std::uint32_t value = 0;
    if (!ReadNumberValue(key, row.valueName, value)) {
      value = NumberDefault(row);
      WriteNumberValue(key, row.valueName, value);
    }
    values[i] = value;
  }
}

void ReadStrings(const std::vector<SettingId>& ids, std::vector<std::string>& values,
                 const std::string& section, const HiveSelector& hive) {
  values.assign(ids.size(), std::string());
  ScopedKey key;
  for (std::size_t i = 0; i < ids.size(); ++i) {
    const SettingRow& row = RowOf(ids[i]);
    SwitchKey(key, ids, i, section, hive, OpenForReading);
    try {
      values[i] = ReadStringValue(key, row.valueName);
      continue;
    } catch (const RegistryException& e) {
      if (e.code != RegistryException::kQueryValue) throw;
    }
    std::string value = StringDefault(row);
    WriteStringValue(key, row.valueName, value);
    values[i] = std::move(value);
  }
}

void WriteNumbers(const std::vector<SettingId>& ids, const std::vector<std::uint32_t>& values,
                  const std::string& section, const HiveSelector& hive) {
  if (ids.size() > values.size()) throw Vesperon::SystemException(kTooFewValues);
  ScopedKey key;
  for (std::size_t i = 0; i < ids.size(); ++i) {
    const SettingRow& row = RowOf(ids[i]);
    // A number stored over a text setting would read back as garbage.
    if (row.type == SettingType::String) throw Vesperon::SystemException(kWrongSettingType);
    SwitchKey(key, ids, i, section, hive, OpenForWriting);
    WriteNumberValue(key, row.valueName, values[i]);
  }
}

void WriteStrings(const std::vector<SettingId>& ids, const std::vector<std::string>& values,
                  const std::string& section, const HiveSelector& hive) {
  if (ids.size() > values.size()) throw Vesperon::SystemException(kTooFewValues);
  ScopedKey key;
  for (std::size_t i = 0; i < ids.size(); ++i) {
    const SettingRow& row = RowOf(ids[i]);
    // A text stored over a number setting would be thrown away as damaged.
    if (row.type != SettingType::String) throw Vesperon::SystemException(kWrongSettingType);
    SwitchKey(key, ids, i, section, hive, OpenForWriting);
    WriteStringValue(key, row.valueName, values[i]);
  }
}

std::string GetActiveProfileName(const std::string& section, const HiveSelector& hive) {
  ScopedKey key = OpenForReading(SectionPath(section), hive);
  try {
    return ReadStringValue(key, kActiveProfileValue);
  } catch (const RegistryException& e) {
    if (e.code != RegistryException::kQueryValue) throw;
  }
  WriteStringValue(key, kActiveProfileValue, kDefaultProfileName);
  return kDefaultProfileName;
}

void SetActiveProfileName(const std::string& section, const std::string& name,
                          const HiveSelector& hive) {
  ScopedKey key = OpenSettingsKey(SectionPath(section), hive, platform::kKeySetValue);
  WriteStringValue(key, kActiveProfileValue, name);
}

void ListSubkeys(const std::string& section, std::vector<std::string>& names,
                 const HiveSelector& hive) {
  ScopedKey key = OpenSettingsKey(SectionPath(section), hive,
                                  platform::kKeyQueryValue | platform::kKeyEnumerateSubKeys);
  std::uint32_t count = 0;
  if (key.Registry().QueryInfoKey(key.Get(), &count, nullptr) != platform::kOk) {
    throw RegistryException(RegistryException::kQueryInfoKey);
  }
  names.assign(count, std::string());
  for (std::uint32_t index = 0; index < count; ++index) {
    if (key.Registry().EnumKey(key.Get(), index, names[index], 260) != platform::kOk) {
      throw RegistryException(RegistryException::kEnumKey);
    }
  }
}

}  // namespace DataSystem
