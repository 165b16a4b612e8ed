// The privileges profile export and import hold are dropped again whatever happens.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/Services.h"
#include "platform/memory/MemoryRegistry.h"
#include "platform/memory/RecordingPowerSystem.h"
#include "settings/Profiles.h"
#include "tests/support/FakeOsVersion.h"
#include "tests/support/RegistryTestSupport.h"

namespace {

using namespace DataSystem;

class ProfilesPrivileges : public testing::Test {
 protected:
  ProfilesPrivileges() : registryGuard_(registry_), powerGuard_(power_) {
    testsupport::WriteRaw(testsupport::SettingsPath("Profiles\\Work\\MainForm"), "Trigger",
                          platform::kRegDword, testsupport::Dword(3));
    file_ = testsupport::FreshTempFile("vesperon-privileges.pfl");
  }
  ~ProfilesPrivileges() override { std::filesystem::remove(file_); }

  std::uint32_t Held(const char* name) const {
    const auto it = power_.tokenPrivileges.find(name);
    return it == power_.tokenPrivileges.end() ? 0xFFFFFFFFu : it->second;
  }

  platform::MemoryRegistry registry_;
  platform::ScopedRegistry registryGuard_;
  platform::RecordingPowerSystem power_;
  platform::ScopedPowerSystem powerGuard_;
  testing_support::FakeOsVersion os_{testing_support::kWinXP};
  std::string file_;
};

TEST_F(ProfilesPrivileges, EachOperationDropsWhatItEnabled) {
  struct Case {
    const char* missing;  // a privilege the token lacks, or ""
    bool import;
    bool succeeds;
  } cases[] = {  // both held: ProfilesContract
      {"SeBackupPrivilege", false, false},
      {"SeRestorePrivilege", false, true},  // saving needs only the backup privilege
      {"SeRestorePrivilege", true, false},  // loading needs both; backup was enabled first
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.import ? "import" : "export") + " without " + c.missing);
    power_.tokenPrivileges = {{"SeBackupPrivilege", 0}, {"SeRestorePrivilege", 0}};
    std::filesystem::remove(file_);
    if (c.import) {
      registry_.DeleteTree(platform::kCurrentUser, testsupport::SettingsPath("Profiles\\Copy"));
      ExportProfile(file_, "Work", kHiveCurrentUser);
    }
    power_.tokenPrivileges.erase(c.missing);
    bool threw = false;
    try {
      if (c.import) {
        ImportProfile(file_, "Copy", kHiveCurrentUser);
      } else {
        ExportProfile(file_, "Work", kHiveCurrentUser);
      }
    } catch (const Vesperon::Exception&) {
      threw = true;
    }
    EXPECT_EQ(threw, !c.succeeds);
    for (const char* name : {"SeBackupPrivilege", "SeRestorePrivilege"}) {
      if (name != std::string(c.missing)) {
        EXPECT_EQ(Held(name), 0u) << name;
      }
    }
    EXPECT_EQ(power_.OpenTokenCount(), 0);
    if (c.import) {
      EXPECT_EQ(testsupport::KeyExists(testsupport::SettingsPath("Profiles\\Copy")), c.succeeds);
    } else {
      EXPECT_EQ(std::filesystem::exists(file_), c.succeeds);
    }
  }
}

TEST_F(ProfilesPrivileges, TheNinetyXLineAsksForNoPrivilegeAndHasNoLastChange) {
  os_.Set(testing_support::kWin98);
  power_.tokenPrivileges.clear();
  ExportProfile(file_, "Work", kHiveCurrentUser);
  ImportProfile(file_, "Copy", kHiveCurrentUser);
  EXPECT_TRUE(testsupport::KeyExists(testsupport::SettingsPath("Profiles\\Copy\\MainForm")));
  EXPECT_TRUE(power_.log.empty());
  EXPECT_THROW(GetProfileLastModified("Work", kHiveCurrentUser), Vesperon::Exception);
}

}  // namespace
