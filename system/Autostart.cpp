#include "system/Autostart.h"

#include "platform/Services.h"
#include "settings/StoreExceptions.h"
#include "model/ModulePath.h"
#include "model/OsVersion.h"
#include "system/Service.h"

namespace Vesperon {
namespace {

// The "Run" operations treat every positive selector as the current user;
// 0 is the local machine, and anything below is refused by the store.
DataSystem::HiveSelector Normalised(const DataSystem::HiveSelector& hive) {
  return hive > 0 ? DataSystem::kHiveCurrentUser : hive;
}

void AddEntry(const char* keyPath, const std::string& path, DataSystem::HiveSelector hive) {
  DataSystem::ScopedKey key = DataSystem::OpenSettingsKey(keyPath, hive, platform::kKeySetValue);
  DataSystem::WriteStringValue(key, ServiceName, path);
  key.Close();
}

void RemoveEntry(const char* keyPath, DataSystem::HiveSelector hive) {
  DataSystem::ScopedKey key = DataSystem::OpenSettingsKey(keyPath, hive, platform::kKeySetValue);
  // A value that is not there is already removed.
  (void)key.Registry().DeleteValue(key.Get(), ServiceName);
  key.Close();
}

// A command line that names the program in quotes, so that Windows cannot
// take a folder name with a space for the program ("C:\Program.exe").
std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

// The value names `path`, quoted as written now or bare as written before.
bool IsEntry(const char* keyPath, const std::string& path, DataSystem::HiveSelector hive) {
  try {
    DataSystem::ScopedKey key =
        DataSystem::OpenExistingSettingsKey(keyPath, hive, platform::kKeyQueryValue);
    const std::string stored = DataSystem::ReadStringValue(key, ServiceName);
    key.Close();
    return stored == Quoted(path) || stored == path;
  } catch (const DataSystem::RegistryException&) {
    return false;
  }
}

bool OnNtLine() { return IsOsVersionAtLeast(0, 100); }

}  // namespace

void AddRunEntry(const std::string& path, const DataSystem::HiveSelector& hive) {
  AddEntry(kRunKeyPath, Quoted(path), Normalised(hive));
}

void RemoveRunEntry(const DataSystem::HiveSelector& hive) {
  RemoveEntry(kRunKeyPath, Normalised(hive));
}

bool IsRunEntry(const std::string& path, const DataSystem::HiveSelector& hive) {
  return IsEntry(kRunKeyPath, path, Normalised(hive));
}

void AddRunServicesEntry(const std::string& path) {
  AddEntry(kRunServicesKeyPath, path, DataSystem::kHiveLocalMachine);
}

void RemoveRunServicesEntry() { RemoveEntry(kRunServicesKeyPath, DataSystem::kHiveLocalMachine); }

bool IsRunServicesEntry(const std::string& path) {
  return IsEntry(kRunServicesKeyPath, path, DataSystem::kHiveLocalMachine);
}

void ApplyStartupChoices(bool service, bool startUp) {
  if (service) {
    if (OnNtLine())
      InstallService(GetModulePath());
    else
      AddRunServicesEntry(GetModulePath());
    return;
  }
  if (OnNtLine()) {
    try {
      RemoveService();
    } catch (const ServiceException&) {
      // Usually: there was no service to remove.
    }
  } else {
    RemoveRunServicesEntry();
  }
  if (startUp)
    AddRunEntry(GetModulePath(), DataSystem::kHiveCurrentUser);
  else
    RemoveRunEntry(DataSystem::kHiveCurrentUser);
}

}  // namespace Vesperon
