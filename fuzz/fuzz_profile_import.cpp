// A profile file comes from anywhere: another machine, a mail, a damaged
// disk. Importing one must either give a new profile or fail with the
// program's own exception, and a failure must leave neither the new
// profile, nor the temporarily mounted file, nor an open key behind; the
// profiles that were there before stay as they were.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "fuzz/FuzzSupport.h"
#include "platform/Services.h"
#include "platform/memory/MemoryRegistry.h"
#include "platform/memory/RecordingPowerSystem.h"
#include "settings/Profiles.h"
#include "settings/SettingsKey.h"
#include "settings/SettingsStore.h"
#include "system/OsVersion.h"

namespace {

class NtVersion final : public platform::IOsVersionSource {
 public:
  bool Query(platform::OsVersionRecord& out) override {
    out = {2, 5, 1};  // Windows XP
    return true;
  }
};

const std::string& Folder() {
  static const std::string folder = [] {
    char pattern[] = "/tmp/vesperon-fuzz-pfl-XXXXXX";
    const char* made = mkdtemp(pattern);
    return std::string(made ? made : "/tmp");
  }();
  return folder;
}

const std::string kProfiles = DataSystem::JoinKeyPath(DataSystem::RootKeyPath, "Profiles");

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  platform::MemoryRegistry registry;
  platform::ScopedRegistry scopedRegistry(registry);
  platform::RecordingPowerSystem power;
  platform::ScopedPowerSystem scopedPower(power);
  NtVersion version;
  Vesperon::ResetOsVersionCacheForTesting();
  platform::SetOsVersion(&version);

  // A profile that must survive whatever the file holds.
  const fuzzsupport::PlantedValue kept{kProfiles + "\\Work\\Reminder", "Txt", platform::kRegSz,
                                       {'h', 'i', 0}};
  fuzzsupport::Plant(registry, kept);

  const std::string file = Folder() + "/import.pfl";
  {
    std::FILE* out = std::fopen(file.c_str(), "wb");
    FUZZ_CHECK(out != nullptr, file);
    if (size) std::fwrite(data, 1, size, out);
    std::fclose(out);
  }
  bool imported = false;
  try {
    DataSystem::ImportProfile(file, "Imported", DataSystem::kHiveCurrentUser);
    imported = true;
  } catch (const Vesperon::Exception&) {
  }
  FUZZ_CHECK(fuzzsupport::KeyExists(registry, kProfiles + "\\Imported") == imported,
             imported ? "imported profile missing" : "failed import left its profile");
  platform::RegKey mounted = 0;
  const bool stillMounted = registry.OpenKey(platform::kUsers, "VESPERON_TEMP_PROFILE",
                                             platform::kKeyRead, mounted) == platform::kOk;
  if (stillMounted) registry.CloseKey(mounted);
  FUZZ_CHECK(!stillMounted, "file left mounted");
  std::uint32_t type = 0;
  std::vector<unsigned char> bytes;
  FUZZ_CHECK(fuzzsupport::Fetch(registry, kept.keyPath, kept.name, type, bytes) &&
                 type == kept.type && bytes == kept.data,
             "another profile changed");
  FUZZ_CHECK(registry.OpenHandleCount() == 0, "keys left open");

  platform::SetOsVersion(nullptr);
  Vesperon::ResetOsVersionCacheForTesting();
  return 0;
}
