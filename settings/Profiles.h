#pragma once
// Operations on whole profiles: copy, rename, delete, export to a profile
// file and import from one, and the time a profile last changed. A profile
// is one key below "Profiles"; its file is the key tree in the registry's
// own saved-tree format, written and read only by the registry.
//
// Names are compared byte for byte where the program compares them itself;
// the registry below compares key names without regard to case, so a
// target that differs from an existing profile only in case counts as
// existing (copying or importing onto it would overwrite that profile).
#include <cstdint>
#include <string>

#include "model/DateTime.h"
#include "settings/SettingsKey.h"
#include "settings/StoreExceptions.h"

namespace DataSystem {

inline constexpr char kProfilesSection[] = "Profiles";
inline constexpr char kDefaultProfileName[] = "Default";
// Where an imported file is mounted below HKEY_USERS while it is copied.
inline constexpr char kTempProfileHive[] = "VESPERON_TEMP_PROFILE";
// Buffer of the short form of an import path (9x line), in characters.
inline constexpr unsigned kShortPathBuffer = 260;

// DataSystemException codes of the profile operations besides
// kSourceProfileMissing (0) and kTargetProfileExists (1).
enum ProfileNameCode : std::int32_t {
  kUnusableProfileName = 2,  // empty, or with a backslash (it would name another key)
  kDefaultProfileKeepsName = 3,  // "Default" may not be renamed
};

// True for a name a new profile may take: not empty, no backslash.
bool IsUsableProfileName(const std::string& name);

// Copies the whole tree of profile `source` into a new profile `target`.
// DataSystemException: kUnusableProfileName for the target, then
// kSourceProfileMissing, then kTargetProfileExists. RegistryException code 6
// when the copy fails (the half-made target is removed again).
void CopyProfile(const std::string& source, const std::string& target, const HiveSelector& hive);

// Removes root\section\name (HKEY_CURRENT_USER) with everything below it
// (RegistryException code 5 on failure); if the section's "DefaultList"
// named it, "Default" becomes the active name. An empty name in section
// "Profiles" would remove every profile and is refused with
// DataSystemException kUnusableProfileName; elsewhere (the "Temp" scratch
// section) it removes the section's own tree.
void DeleteProfile(const std::string& section, const std::string& name);

// Told of every rename once it is complete: a window that shows a profile
// follows it to its new name, as a rename is no switch to another profile.
// Listeners stay until removed; the user-interface thread only.
class IProfileRenameListener {
 public:
  virtual void OnProfileRenamed(const std::string& oldName, const std::string& newName) = 0;

 protected:
  ~IProfileRenameListener() = default;
};
void AddProfileRenameListener(IProfileRenameListener& listener);
void RemoveProfileRenameListener(IProfileRenameListener& listener);

// Copy under the new name, delete the old one, and keep the profile active
// if it was. "Default" keeps its name (kDefaultProfileKeepsName, nothing
// changes); the copy's failures are those of CopyProfile.
void RenameProfile(const std::string& oldName, const std::string& newName,
                   const HiveSelector& hive);

// Saves the profile's tree to `file`, replacing a file that is there: the
// tree goes to a temporary file in the same folder first, which takes the
// target's place only when it is complete, so a failure leaves an earlier
// file as it was. RegistryException 7 (no such profile), 9 (input/output
// failure, or the file still exists), 8 (any other save failure); a plain
// Vesperon::Exception when the temporary file cannot be made or put in the
// target's place.
void ExportProfile(const std::string& file, const std::string& name, const HiveSelector& hive);

// Creates profile `newName` from a saved file. DataSystemException
// kUnusableProfileName or kTargetProfileExists before anything is touched;
// RegistryException 10 (the file does not load), 6 (the copy failed), 12
// (the file could not be unmounted); a plain Vesperon::Exception when the
// short path (9x line) cannot be had. On failure the new profile key is
// removed again and nothing stays mounted, except after a complete copy:
// RegistryException 12 then keeps the imported profile, and the next import
// clears the mount it leaves.
void ImportProfile(const std::string& file, const std::string& newName, const HiveSelector& hive);

// The local time the profile's own key last changed (not its subkeys), to
// the second; a year before 1900 gives the value 0. Only on the NT line:
// the 9x registry keeps no such time and a plain Vesperon::Exception is
// thrown there. RegistryException 7 (no such profile) or 3.
Vesperon::DateTime GetProfileLastModified(const std::string& name, const HiveSelector& hive);

// The part of a path up to and including its last "\" or "/" (empty when it
// has none): the folder the 9x export makes its temporary file in.
std::string DirectoryOfPath(const std::string& path);

}  // namespace DataSystem
