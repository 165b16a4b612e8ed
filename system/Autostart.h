#pragma once
// Starting with Windows: the "Run" value of a hive (at log-on), the
// "RunServices" value of the local machine (the 9x line's services), and
// the choice the options page applies between those and the NT service.
// Registry access goes through the settings store's key helpers, so
// failures are the store's RegistryExceptions.
#include <string>

#include "settings/SettingsKey.h"

namespace Vesperon {

inline constexpr char kRunKeyPath[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr char kRunServicesKeyPath[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\RunServices";

// `hive` above 0 is the current user, 0 the local machine. The value is the
// path in double quotes: Windows reads it as a command line.
void AddRunEntry(const std::string& path, const DataSystem::HiveSelector& hive);
// A missing value is no error.
void RemoveRunEntry(const DataSystem::HiveSelector& hive);
// The value exists and equals `path` exactly (letter case included), in
// quotes or, as older versions wrote it, without; a missing key or value is
// false. The "RunServices" test below accepts both forms alike.
bool IsRunEntry(const std::string& path, const DataSystem::HiveSelector& hive);

void AddRunServicesEntry(const std::string& path);
void RemoveRunServicesEntry();
bool IsRunServicesEntry(const std::string& path);

// Applies the two boxes of the options page. With the service chosen, the
// service is registered (NT line: the service entry; 9x line: the
// "RunServices" value) and the "Run" value is left as it is. Otherwise the
// service registration is removed (a failure to remove it is ignored) and
// the "Run" value of the current user is added or removed by `startUp`.
// The program's path is that of its own file.
void ApplyStartupChoices(bool service, bool startUp);

}  // namespace Vesperon
