// A profile file comes from anywhere: another machine, a mail, a damaged
// disk. Importing one must either give a new profile or fail with the
// program's own exception, and a failure must leave neither the new
// profile, nor the temporarily mounted file, nor an open key behind; the
// profiles that were there before stay as they were.
#include "fuzz/FuzzSupport.h"
#include "platform/memory/RecordingPowerSystem.h"
#include "settings/Profiles.h"
#include "settings/SettingsKey.h"
#include "settings/SettingsStore.h"
#include "tests/support/FakeOsVersion.h"

namespace {

const std::string kProfiles = DataSystem::JoinKeyPath(DataSystem::RootKeyPath, "Profiles");

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  platform::MemoryRegistry registry;
  platform::ScopedRegistry scopedRegistry(registry);
  platform::RecordingPowerSystem power;
  platform::ScopedPowerSystem scopedPower(power);
  testing_support::FakeOsVersion version;  // Windows XP

  // A profile that must survive whatever the file holds.
  const fuzzsupport::PlantedValue kept{kProfiles + "\\Work\\Reminder", "Txt", platform::kRegSz,
                                       {'h', 'i', 0}};
  fuzzsupport::Plant(kept);

  const std::string file = fuzzsupport::WriteTempFile("import.pfl", data, size);
  bool imported = false;
  try {
    DataSystem::ImportProfile(file, "Imported", DataSystem::kHiveCurrentUser);
    imported = true;
  } catch (const Vesperon::Exception&) {
  }
  FUZZ_CHECK(fuzzsupport::KeyExists(kProfiles + "\\Imported") == imported,
             imported ? "imported profile missing" : "failed import left its profile");
  FUZZ_CHECK(!fuzzsupport::KeyExists("VESPERON_TEMP_PROFILE", platform::kUsers), "file left mounted");
  FUZZ_CHECK(fuzzsupport::Unchanged(kept), "another profile changed");
  FUZZ_CHECK(registry.OpenHandleCount() == 0, "keys left open");
  return 0;
}
