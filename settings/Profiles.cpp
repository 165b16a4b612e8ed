#include "settings/Profiles.h"

#include <algorithm>
#include <vector>

#include "settings/Privileges.h"
#include "platform/ProfileFiles.h"
#include "platform/RegistryPrivileges.h"
#include "platform/Services.h"
#include "settings/SettingsStore.h"
#include "model/OsVersion.h"

namespace DataSystem {
namespace {

// Access for a key that receives a copied tree: SHCopyKey writes values
// and creates subkeys through it.
constexpr std::uint32_t kTargetAccess = platform::kKeyAllAccess;

bool OnNtLine() { return Vesperon::IsOsVersionAtLeast(0, 100); }

std::string ProfilePath(const std::string& name) {
  return JoinKeyPath(JoinKeyPath(RootKeyPath, kProfilesSection), name);
}

void RequireUsableName(const std::string& name) {
  if (!IsUsableProfileName(name)) throw DataSystemException(kUnusableProfileName);
}

// Asks the registry itself, which compares names without regard to case.
bool ProfileKeyExists(const HiveSelector& hive, const std::string& name) {
  platform::IRegistry& registry = platform::Registry();
  platform::RegKey key = 0;
  if (registry.OpenKey(HiveRoot(hive), ProfilePath(name), platform::kKeyQueryValue, key) !=
      platform::kOk) {
    return false;
  }
  registry.CloseKey(key);
  return true;
}

// One privilege enabled for the NT line's save or load, and disabled again
// (not removed: the next export needs it once more) on every way out.
class ScopedPrivilege {
 public:
  explicit ScopedPrivilege(platform::Privilege privilege) : privilege_(privilege) {
    Vesperon::EnablePrivilege(privilege);
  }
  ~ScopedPrivilege() {
    try {
      Vesperon::DisablePrivilege(privilege_);
    } catch (const Vesperon::Exception&) {
      // Enabling it worked a moment ago; nothing to report here.
    }
  }
  ScopedPrivilege(const ScopedPrivilege&) = delete;
  ScopedPrivilege& operator=(const ScopedPrivilege&) = delete;

 private:
  platform::Privilege privilege_;
};

// The 9x line has no privileges, but a system that only claims to be 9x
// (Wine) still guards saving and loading with them: hold them where there
// are any, without requiring them.
class ScopedNinetyXPrivileges {
 public:
  ScopedNinetyXPrivileges() : held_(platform::SetBackupRestorePrivileges(true)) {}
  ~ScopedNinetyXPrivileges() {
    if (held_) platform::SetBackupRestorePrivileges(false);
  }
  ScopedNinetyXPrivileges(const ScopedNinetyXPrivileges&) = delete;
  ScopedNinetyXPrivileges& operator=(const ScopedNinetyXPrivileges&) = delete;

 private:
  bool held_;
};

[[noreturn]] void ThrowSaveFailure(long result) {
  throw RegistryException(result == platform::kErrorRegistryIoFailed ||
                                  result == platform::kErrorAlreadyExists
                              ? RegistryException::kSaveKeyIoOrExists
                              : RegistryException::kSaveKey);
}

// The tree goes to a fresh temporary file in the target's folder, which
// then takes the target's place: a save that fails (no backup privilege, a
// full or read-only disk) leaves a file already at the target as it was.
void SaveThroughTemporaryFile(const ScopedKey& key, const std::string& file) {
  platform::IProfileFiles& files = platform::ProfileFiles();
  std::string temporary;
  if (!files.TempFileName(DirectoryOfPath(file), "_", temporary)) throw Vesperon::Exception();
  // The name is reserved by an empty file; the registry saves only into a
  // file it creates itself.
  files.Delete(temporary);
  long result = platform::kOk;
  if (OnNtLine()) {
    const ScopedPrivilege backup(platform::Privilege::kBackup);
    result = key.Registry().SaveKey(key.Get(), temporary);
  } else {
    const ScopedNinetyXPrivileges privileges;
    result = key.Registry().SaveKey(key.Get(), temporary);
  }
  if (result != platform::kOk) {
    files.Delete(temporary);
    ThrowSaveFailure(result);
  }
  bool placed = false;
  if (OnNtLine()) {
    placed = files.Replace(temporary, file);
  } else {
    // The 9x line cannot replace a file in one step; the old one goes only
    // now that the new one is complete.
    placed = (!files.Exists(file) || files.Delete(file)) && files.Move(temporary, file);
  }
  if (!placed) {
    files.Delete(temporary);
    throw Vesperon::Exception();
  }
}

// Mounts the file, copies it into `target` and unmounts it. A failed load
// or copy throws, and nothing stays mounted. False when the copy is complete
// but the file could not be unmounted: the mount stays until the next import
// clears it.
bool CopyFromFile(const std::string& path, const ScopedKey& target) {
  platform::IRegistry& registry = target.Registry();
  // A mount an earlier run left behind would make every import fail.
  registry.UnLoadKey(platform::kUsers, kTempProfileHive);
  if (registry.LoadKey(platform::kUsers, kTempProfileHive, path) != platform::kOk) {
    throw RegistryException(RegistryException::kLoadKey);
  }
  if (registry.CopyTree(platform::kUsers, kTempProfileHive, target.Get()) != platform::kOk) {
    registry.UnLoadKey(platform::kUsers, kTempProfileHive);
    throw RegistryException(RegistryException::kCopyTree);
  }
  return registry.UnLoadKey(platform::kUsers, kTempProfileHive) == platform::kOk;
}

// Removes a profile key this call created, when the call fails.
void RemoveNewProfile(const HiveSelector& hive, const std::string& name) {
  platform::Registry().DeleteTree(HiveRoot(hive), ProfilePath(name));
}

}  // namespace

bool IsUsableProfileName(const std::string& name) {
  return name.find_first_not_of(' ') != std::string::npos && name.find('\\') == std::string::npos;
}

std::string DirectoryOfPath(const std::string& path) {
  const std::string::size_type slash = path.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

void CopyProfile(const std::string& source, const std::string& target, const HiveSelector& hive) {
  RequireUsableName(target);
  std::vector<std::string> profiles;
  ListSubkeys(kProfilesSection, profiles, hive);
  if (std::find(profiles.begin(), profiles.end(), source) == profiles.end()) {
    throw DataSystemException(DataSystemException::kSourceProfileMissing);
  }
  if (std::find(profiles.begin(), profiles.end(), target) != profiles.end() ||
      ProfileKeyExists(hive, target)) {
    throw DataSystemException(DataSystemException::kTargetProfileExists);
  }
  ScopedKey key = OpenSettingsKey(ProfilePath(target), hive, kTargetAccess);
  if (key.Registry().CopyTree(HiveRoot(hive), ProfilePath(source), key.Get()) != platform::kOk) {
    key.Reset();
    RemoveNewProfile(hive, target);
    throw RegistryException(RegistryException::kCopyTree);
  }
}

void DeleteProfile(const std::string& section, const std::string& name) {
  if (name.empty() && section == kProfilesSection) {
    throw DataSystemException(kUnusableProfileName);
  }
  const std::string path = JoinKeyPath(JoinKeyPath(RootKeyPath, section), name);
  if (platform::Registry().DeleteTree(platform::kCurrentUser, path) != platform::kOk) {
    throw RegistryException(RegistryException::kDeleteTree);
  }
  if (GetActiveProfileName(section, kHiveCurrentUser) == name) {
    SetActiveProfileName(section, kDefaultProfileName, kHiveCurrentUser);
  }
}

std::vector<IProfileRenameListener*>& RenameListeners() {
  static std::vector<IProfileRenameListener*> listeners;
  return listeners;
}

void AddProfileRenameListener(IProfileRenameListener& listener) {
  RenameListeners().push_back(&listener);
}

void RemoveProfileRenameListener(IProfileRenameListener& listener) {
  std::vector<IProfileRenameListener*>& listeners = RenameListeners();
  listeners.erase(std::remove(listeners.begin(), listeners.end(), &listener), listeners.end());
}

void RenameProfile(const std::string& oldName, const std::string& newName,
                   const HiveSelector& hive) {
  if (oldName == kDefaultProfileName) throw DataSystemException(kDefaultProfileKeepsName);
  const bool wasActive = GetActiveProfileName(kProfilesSection, hive) == oldName;
  CopyProfile(oldName, newName, hive);
  DeleteProfile(kProfilesSection, oldName);
  if (wasActive) SetActiveProfileName(kProfilesSection, newName, hive);
  // A copy: a listener may remove itself.
  const std::vector<IProfileRenameListener*> listeners = RenameListeners();
  for (IProfileRenameListener* listener : listeners) listener->OnProfileRenamed(oldName, newName);
}

void ExportProfile(const std::string& file, const std::string& name, const HiveSelector& hive) {
  RequireUsableName(name);
  const ScopedKey key = OpenExistingSettingsKey(ProfilePath(name), hive, platform::kKeyRead);
  SaveThroughTemporaryFile(key, file);
}

void ImportProfile(const std::string& file, const std::string& newName, const HiveSelector& hive) {
  RequireUsableName(newName);
  // Importing onto an existing profile would mix two profiles, and a failed
  // import could not tell what to remove.
  if (ProfileKeyExists(hive, newName)) {
    throw DataSystemException(DataSystemException::kTargetProfileExists);
  }
  ScopedKey key = OpenSettingsKey(ProfilePath(newName), hive, kTargetAccess);
  bool unmounted = true;
  try {
    if (OnNtLine()) {
      const ScopedPrivilege backup(platform::Privilege::kBackup);
      const ScopedPrivilege restore(platform::Privilege::kRestore);
      unmounted = CopyFromFile(file, key);
    } else {
      std::string shortPath;
      if (!platform::ProfileFiles().ShortPath(file, shortPath, kShortPathBuffer)) {
        throw Vesperon::Exception();
      }
      const ScopedNinetyXPrivileges privileges;
      unmounted = CopyFromFile(shortPath, key);
    }
  } catch (const Vesperon::Exception&) {
    key.Reset();
    RemoveNewProfile(hive, newName);
    throw;
  }
  // The profile arrived whole and stays; only the clean-up failed.
  if (!unmounted) throw RegistryException(RegistryException::kUnLoadKey);
}

Vesperon::DateTime GetProfileLastModified(const std::string& name, const HiveSelector& hive) {
  if (!OnNtLine()) throw Vesperon::Exception();
  RequireUsableName(name);
  platform::RegFileTime written = 0;
  {
    const ScopedKey key =
        OpenExistingSettingsKey(ProfilePath(name), hive, platform::kKeyQueryValue);
    if (key.Registry().QueryInfoKey(key.Get(), nullptr, &written) != platform::kOk) {
      throw RegistryException(RegistryException::kQueryInfoKey);
    }
  }
  platform::LocalTimeFields local;
  if (!platform::ProfileFiles().ToLocalTime(written, local)) throw Vesperon::Exception();
  if (local.year < 1900) return Vesperon::DateTime(0.0, Vesperon::DateTimeStatus::Valid);
  const Vesperon::DateTime moment = Vesperon::MakeDateTime(local.year, local.month, local.day,
                                                           local.hour, local.minute, local.second);
  if (moment.status != Vesperon::DateTimeStatus::Valid) throw Vesperon::Exception();
  return moment;
}

}  // namespace DataSystem
