#pragma once
// The settings store: typed settings read and written in lists by SettingId.
// A section is the path below RootKeyPath a caller works in ("Global", a
// profile's "Profiles\<name>", "Temp", a hot-key record); a setting's key is
// section + the row's subkey. Nothing is cached: each call opens the keys it
// needs and closes them before it returns or throws.
//
// Reads repair the registry: a missing value, or a number value that is not
// exactly 4 bytes, is replaced by the row's default, which is returned. A
// key that cannot be opened for writing is read through a read-only handle;
// a repair there fails with RegistryException code 1.
#include <cstdint>
#include <string>
#include <vector>

#include "settings/SettingSchema.h"
#include "settings/SettingsKey.h"
#include "settings/StoreExceptions.h"

namespace DataSystem {

// values[i] receives the setting ids[i] (Bool and Dword rows). On an
// exception the positions read before it keep their values.
void ReadNumbers(const std::vector<SettingId>& ids, std::vector<std::uint32_t>& values,
                 const std::string& section, const HiveSelector& hive);
void ReadStrings(const std::vector<SettingId>& ids, std::vector<std::string>& values,
                 const std::string& section, const HiveSelector& hive);

// Writes values[i] to ids[i]; extra values are ignored, fewer values than
// ids throw SystemException code 2 before anything is written. A row of the
// wrong type throws SystemException code 1 before its position is written.
void WriteNumbers(const std::vector<SettingId>& ids, const std::vector<std::uint32_t>& values,
                  const std::string& section, const HiveSelector& hive);
void WriteStrings(const std::vector<SettingId>& ids, const std::vector<std::string>& values,
                  const std::string& section, const HiveSelector& hive);

// The "DefaultList" value of the section key (callers pass "Profiles"); a
// missing value is set to "Default", which is returned.
std::string GetActiveProfileName(const std::string& section, const HiveSelector& hive);
void SetActiveProfileName(const std::string& section, const std::string& name,
                          const HiveSelector& hive);

// The direct subkeys of the section key in the registry's order; the
// section key is created when missing.
void ListSubkeys(const std::string& section, std::vector<std::string>& names,
                 const HiveSelector& hive);

}  // namespace DataSystem
