// The profile operations against platform::Registry(): the in-memory
// registry on the host, the real one under Wine. Export and import write
// and read real files on both.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "platform/Services.h"
#include "platform/memory/RecordingPowerSystem.h"
#include "settings/Profiles.h"
#include "settings/SettingsStore.h"
#include "model/OsVersion.h"
#include "tests/support/FakeOsVersion.h"
#include "tests/support/FaultyRegistry.h"
#include "tests/support/RegistryTestSupport.h"
#include "tests/support/Thrown.h"

namespace {

using namespace DataSystem;
using testing_support::Outcome;
using testsupport::DumpTree;
using testsupport::SettingsPath;
using testsupport::Text;
using testsupport::WriteRaw;
using testsupport::WriteSampleProfile;

testsupport::Tree Profile(const std::string& name) {
  return DumpTree(platform::kCurrentUser, SettingsPath("Profiles\\" + name));
}

std::vector<std::string> Profiles() {
  std::vector<std::string> names;
  ListSubkeys("Profiles", names, kHiveCurrentUser);
  return names;
}

std::string Active() { return GetActiveProfileName("Profiles", kHiveCurrentUser); }

class ProfilesContract : public testing::Test {
 protected:
  void SetUp() override {
#ifndef _WIN32
    // The host has no process token; the recording one holds the backup
    // and restore privileges, disabled, as an administrator's does.
    power_.emplace(recorder_);
#endif
    platform::Registry().UnLoadKey(platform::kUsers, kTempProfileHive);
    testsupport::DeleteSettingsRoot();
    const auto dir = std::filesystem::temp_directory_path() / "vesperon-profiles-contract";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    dir_ = (dir / "").string();  // with the separator
  }
  void TearDown() override {
    platform::Registry().UnLoadKey(platform::kUsers, kTempProfileHive);
    testsupport::DeleteSettingsRoot();
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }

  platform::RecordingPowerSystem recorder_;
  std::optional<platform::ScopedPowerSystem> power_;
  std::string dir_;
};

TEST_F(ProfilesContract, CopyRefusesConflictsAndUnusableNamesThenDuplicatesTheWholeTree) {
  WriteSampleProfile("Work");
  WriteSampleProfile("Home");
  const auto work = Profile("Work"), home = Profile("Home");
  const std::tuple<std::string, std::string, std::string> cases[] = {  // source, target, outcome
      {"Work", "HOME", "DataSystem 1"},  // the registry would copy onto Home
      {"Gone", "Home", "DataSystem 0"},  // the source test comes first
      {"work", "Other", "DataSystem 0"},  // the program's own test is exact
      {"Work", "  ", "DataSystem 2"},
      {"Work", "A\\B", "DataSystem 2"},
  };
  for (const auto& [source, target, expected] : cases) {
    EXPECT_EQ(Outcome([&] { CopyProfile(source, target, kHiveCurrentUser); }), expected)
        << source << " -> " << target;
  }
  EXPECT_EQ(Profiles(), (std::vector<std::string>{"Home", "Work"}));
  EXPECT_EQ(Profile("Work"), work);
  EXPECT_EQ(Profile("Home"), home);

  // A good copy takes the whole tree and stamps the new key.
  const auto before = std::chrono::system_clock::now();
  CopyProfile("Work", "Copy", kHiveCurrentUser);
  EXPECT_EQ(Profile("Copy"), work);
  EXPECT_EQ(work.size(), 6u);
  if (!Vesperon::IsOsVersionAtLeast(0, 100)) return;  // no stamp on the 9x line: ProfilesPrivileges
  const Vesperon::DateTime stamp = GetProfileLastModified("Copy", kHiveCurrentUser);
  const Vesperon::DateTime now = Vesperon::Now();
  const double seconds = (now - stamp).TotalSeconds();
  EXPECT_GE(seconds, -2.0);
  EXPECT_LE(seconds, 5.0 + std::chrono::duration<double>(std::chrono::system_clock::now() - before).count());
  EXPECT_EQ(Outcome([] { GetProfileLastModified("Gone", kHiveCurrentUser); }), "Registry 7");
}

TEST_F(ProfilesContract, RenameAndDeleteKeepTheActiveMarkOnTheProfileOnly) {
  const std::vector<std::string> all{"Default", "Home", "Work"};
  // Rename or delete, the active profile, the name and the new one; the outcome, the active
  // profile and the profiles after.
  using S = std::string;
  const std::tuple<bool, S, S, S, S, S, std::vector<std::string>> cases[] = {
      {true, "Work", "Work", "Office", "ok", "Office", {"Default", "Home", "Office"}},
      {true, "Default", "Work", "Office", "ok", "Default", {"Default", "Home", "Office"}},
      {true, "Work", "Default", "Office", "DataSystem 3", "Work", all},
      {true, "Work", "Work", "Default", "DataSystem 1", "Work", all},
      // Only the case differs: the registry sees one key, and copying it
      // onto itself before deleting it would lose the profile.
      {true, "Work", "Work", "WORK", "DataSystem 1", "Work", all},
      {false, "Work", "Work", "", "ok", "Default", {"Default", "Home"}},
      {false, "Home", "Work", "", "ok", "Home", {"Default", "Home"}},
      {false, "Home", "Gone", "", "Registry 5", "Home", all},
      // An empty name would remove every profile.
      {false, "Home", "", "", "DataSystem 2", "Home", all},
  };
  for (const auto& [rename, active, name, to, expectedOutcome, expectedActive, expectedProfiles] : cases) {
    SCOPED_TRACE(name + " -> " + to);
    testsupport::DeleteSettingsRoot();
    for (const std::string& name : all) WriteSampleProfile(name);
    const auto moved = rename ? Profile(name) : testsupport::Tree{};
    SetActiveProfileName("Profiles", active, kHiveCurrentUser);
    EXPECT_EQ(Outcome([&] {
      rename ? RenameProfile(name, to, kHiveCurrentUser) : DeleteProfile("Profiles", name);
    }), expectedOutcome);
    EXPECT_EQ(Active(), expectedActive);
    EXPECT_EQ(Profiles(), expectedProfiles);
    if (rename && expectedOutcome == "ok") {
      EXPECT_EQ(Profile(to), moved);
    }
  }
}

// Both ways of saving: straight to the file (NT line) and through a
// temporary file in the same folder (9x line). The new file takes the old
// one's place only once it is complete: a save that fails leaves the old
// file as it was. Each good save imports back, one after the other in one
// run: the privileges are dropped, not lost.
TEST_F(ProfilesContract, ExportReplacesAFileThatIsThereOnlyWhenTheSaveSucceeds) {
  WriteSampleProfile("Work");
  SetActiveProfileName("Profiles", "Work", kHiveCurrentUser);
  const std::string file = dir_ + "old.pfl";
  const std::tuple<platform::OsVersionRecord, long, std::string> cases[] = {  // system, save result, outcome
      {testing_support::kWinXP, platform::kErrorPrivilegeNotHeld, "Registry 8"},
      {testing_support::kWinXP, platform::kErrorRegistryIoFailed, "Registry 9"},
      {testing_support::kWin98, platform::kErrorAccessDenied, "Registry 8"},
      {testing_support::kWinXP, 0, "ok"},
      {testing_support::kWin98, 0, "ok"},
  };
  for (const auto& [version, failSave, expected] : cases) {
    SCOPED_TRACE((version.platformId == 1 ? "9x line, save result " : "NT line, save result ") +
                 std::to_string(failSave));
    testing_support::FakeOsVersion os(version);
    { std::ofstream(file, std::ios::binary) << "an older export"; }
    testsupport::FaultyRegistry faulty{platform::DefaultRegistry()};
    faulty.failSave = failSave;
    {
      const platform::ScopedRegistry installed(faulty);
      EXPECT_EQ(Outcome([&] { ExportProfile(file, "Work", kHiveCurrentUser); }), expected);
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_), {}), 1);  // no temporary file left
    if (failSave != 0) {
      std::ifstream old(file, std::ios::binary);
      EXPECT_EQ(std::string(std::istreambuf_iterator<char>(old), {}), "an older export");
      continue;
    }
    ImportProfile(file, "Back", kHiveCurrentUser);
    EXPECT_EQ(Profile("Back"), Profile("Work"));
    EXPECT_EQ(Active(), "Work");
    EXPECT_FALSE(testsupport::KeyExists(kTempProfileHive, platform::kUsers));
    DeleteProfile("Profiles", "Back");
  }
#ifndef _WIN32
  EXPECT_FALSE(recorder_.token.at(platform::Privilege::kBackup));
  EXPECT_FALSE(recorder_.token.at(platform::Privilege::kRestore));
#endif
  EXPECT_EQ(Outcome([&] { ExportProfile(dir_ + "gone.pfl", "Gone", kHiveCurrentUser); }), "Registry 7");
  EXPECT_EQ(Outcome([&] { ExportProfile(dir_ + "all.pfl", "", kHiveCurrentUser); }), "DataSystem 2");
}

TEST_F(ProfilesContract, AFailedImportLeavesNoProfileAndNothingMountedAFailedUnmountKeepsIt) {
  WriteSampleProfile("Work");
  const std::string corrupt = dir_ + "corrupt.pfl";
  { std::ofstream(corrupt, std::ios::binary) << "this is not a saved registry tree"; }
  const std::string good = dir_ + "good.pfl";
  ExportProfile(good, "Work", kHiveCurrentUser);
  const auto work = Profile("Work");
  const std::tuple<std::string, std::string, std::string> cases[] = {  // file, name, outcome
      {corrupt, "Broken", "Registry 10"},
      // The 9x line fails earlier, asking for the short form of the path.
      {dir_ + "missing.pfl", "Missing",
       Vesperon::IsOsVersionAtLeast(0, 100) ? "Registry 10" : "Exception 0/0"},
      {good, "", "DataSystem 2"},
      {good, "work", "DataSystem 1"},  // would be merged into Work
  };
  for (const auto& [file, name, expected] : cases) {
    SCOPED_TRACE(name);
    EXPECT_EQ(Outcome([&] { ImportProfile(file, name, kHiveCurrentUser); }), expected);
    EXPECT_EQ(Profiles(), std::vector<std::string>{"Work"});
    EXPECT_FALSE(testsupport::KeyExists(kTempProfileHive, platform::kUsers));
  }
  EXPECT_EQ(Profile("Work"), work);
  // Nothing stays behind that would block the next import.
  ImportProfile(good, "Fine", kHiveCurrentUser);
  EXPECT_EQ(Profile("Fine"), work);

  // An unmount that fails after a complete copy is reported but keeps the
  // profile; the mount it leaves is cleared by the next import.
  testsupport::FaultyRegistry faulty{platform::DefaultRegistry()};
  faulty.failUnLoad = platform::kErrorAccessDenied;
  {
    const platform::ScopedRegistry installed(faulty);
    EXPECT_EQ(Outcome([&] { ImportProfile(good, "Kept", kHiveCurrentUser); }), "Registry 12");
  }
  EXPECT_EQ(Profile("Kept"), Profile("Work"));
  EXPECT_TRUE(testsupport::KeyExists(kTempProfileHive, platform::kUsers));
  ImportProfile(good, "Next", kHiveCurrentUser);
  EXPECT_EQ(Profile("Next"), Profile("Work"));
  EXPECT_FALSE(testsupport::KeyExists(kTempProfileHive, platform::kUsers));
  EXPECT_EQ(Profiles(), (std::vector<std::string>{"Fine", "Kept", "Next", "Work"}));
}

}  // namespace
