// EnablePrivilege and RemovePrivilege, and the privileges of the profile export and import.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "actions/BoundFunctions.h"
#include "actions/Privileges.h"
#include "settings/Profiles.h"
#include "tests/support/PowerTestSupport.h"

using namespace Vesperon;
using namespace testing_support;

namespace {

class PrivilegesTest : public PowerFixture {};

TEST_F(PrivilegesTest, FailuresThrowPlainExceptionsAndCloseTheToken) {
  const platform::TokenHandle untouched = 0x5151;
  const platform::PrivilegeRecord untouchedRecord{9, {9, 9}, 9};
  const struct {
    const char* privilege;
    void (*arrange)(platform::RecordingPowerSystem&);
    PrivilegeFailure code;
  } cases[] = {
      {"SeShutdownPrivilege", [](platform::RecordingPowerSystem& p) { p.tokenOpens = false; },
       kPrivilegeOpenToken},
      {"SeNoSuchPrivilege", [](platform::RecordingPowerSystem&) {}, kPrivilegeLookup},
      {"SeShutdownPrivilege", [](platform::RecordingPowerSystem& p) { p.adjustFails = true; },
       kPrivilegeAdjust},
      {"SeTcbPrivilege", [](platform::RecordingPowerSystem&) {}, kPrivilegeNotAssigned},  // not held
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code);
    power = platform::RecordingPowerSystem();
    c.arrange(power);
    platform::TokenHandle token = untouched;
    platform::PrivilegeRecord record = untouchedRecord;
    try {
      EnablePrivilege(c.privilege, token, record);
      ADD_FAILURE() << "no exception";
    } catch (const AttachableAPIException&) {
      ADD_FAILURE() << "a bound-function failure";
    } catch (const Exception& e) {
      EXPECT_EQ(e.code, c.code);
      EXPECT_EQ(e.category, 0);
      EXPECT_EQ(e.inner, nullptr);
    }
    EXPECT_EQ(power.log.back(), c.code == kPrivilegeOpenToken ? "OpenProcessToken(current process, 0x28)"
                                                               : "CloseHandle(token)");
    EXPECT_EQ(token, untouched);
    EXPECT_EQ(record, untouchedRecord);
    ExpectNothingHeld();
  }
}

TEST_F(PrivilegesTest, OnThe9xLineTheBoundLookupIsNotOffered) {
  os.Set(kWin98);
  platform::TokenHandle token = 0;
  platform::PrivilegeRecord record;
  const auto e =
      ThrownBy<AttachableAPIException>([&] { EnablePrivilege("SeShutdownPrivilege", token, record); });
  EXPECT_TRUE(e && e->code == 0);
  EXPECT_EQ(power.log, (Log{"OpenProcessToken(current process, 0x28)", "CloseHandle(token)"}));
  EXPECT_EQ(token, 0u);
  ExpectNothingHeld();
}

// The privileges profile export and import hold are dropped again whatever happens.
class ProfilesPrivileges : public PowerFixture {
 protected:
  ProfilesPrivileges() {
    testsupport::WriteRaw(testsupport::SettingsPath("Profiles\\Work\\MainForm"), "Trigger",
                          platform::kRegDword, testsupport::Dword(3));
  }
  ~ProfilesPrivileges() override { std::filesystem::remove(file_); }

  std::uint32_t Held(const char* name) const {
    const auto it = power.tokenPrivileges.find(name);
    return it == power.tokenPrivileges.end() ? 0xFFFFFFFFu : it->second;
  }

  std::string file_ = testsupport::FreshTempFile("vesperon-privileges.pfl");
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
    power.tokenPrivileges = {{"SeBackupPrivilege", 0}, {"SeRestorePrivilege", 0}};
    std::filesystem::remove(file_);
    if (c.import) {
      registry.DeleteTree(platform::kCurrentUser, testsupport::SettingsPath("Profiles\\Copy"));
      DataSystem::ExportProfile(file_, "Work", DataSystem::kHiveCurrentUser);
    }
    power.tokenPrivileges.erase(c.missing);
    bool threw = false;
    try {
      if (c.import) {
        DataSystem::ImportProfile(file_, "Copy", DataSystem::kHiveCurrentUser);
      } else {
        DataSystem::ExportProfile(file_, "Work", DataSystem::kHiveCurrentUser);
      }
    } catch (const Exception&) {
      threw = true;
    }
    EXPECT_EQ(threw, !c.succeeds);
    for (const char* name : {"SeBackupPrivilege", "SeRestorePrivilege"}) {
      if (name != std::string(c.missing)) {
        EXPECT_EQ(Held(name), 0u) << name;
      }
    }
    EXPECT_EQ(power.OpenTokenCount(), 0);
    if (c.import) {
      EXPECT_EQ(testsupport::KeyExists(testsupport::SettingsPath("Profiles\\Copy")), c.succeeds);
    } else {
      EXPECT_EQ(std::filesystem::exists(file_), c.succeeds);
    }
  }
}

TEST_F(ProfilesPrivileges, TheNinetyXLineAsksForNoPrivilegeAndHasNoLastChange) {
  os.Set(kWin98);
  power.tokenPrivileges.clear();
  DataSystem::ExportProfile(file_, "Work", DataSystem::kHiveCurrentUser);
  DataSystem::ImportProfile(file_, "Copy", DataSystem::kHiveCurrentUser);
  EXPECT_TRUE(testsupport::KeyExists(testsupport::SettingsPath("Profiles\\Copy\\MainForm")));
  EXPECT_TRUE(power.log.empty());
  EXPECT_THROW(DataSystem::GetProfileLastModified("Work", DataSystem::kHiveCurrentUser), Exception);
}

}  // namespace
