// Start-up entries and the service entry against the recording service manager.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/Services.h"
#include "settings/StoreExceptions.h"
#include "system/Autostart.h"
#include "model/ModulePath.h"
#include "system/Service.h"
#include "tests/support/RegistryTestSupport.h"
#include "tests/support/StartupTestWorld.h"
#include "tests/support/Thrown.h"

using namespace Vesperon;
using namespace testing_support;

namespace {

using Value = std::optional<std::string>;

class AutostartTest : public ::testing::Test, protected StartupTestWorld {
 protected:
  static Value Read(platform::RegKey root, const char* path) {
    const testsupport::RawValue raw = testsupport::ReadRaw(path, "Vesperon", root);
    if (raw.result != platform::kOk) return {};
    return std::string(raw.data.begin(), raw.data.end()).c_str();
  }
  static void Write(platform::RegKey root, const char* path, const Value& value) {
    if (value) testsupport::WriteText(path, "Vesperon", *value, root);
  }
  void Install(const std::string& path) { scm.services["Vesperon"] = path; }
};

TEST_F(AutostartTest, StartupChoicesOnBothLines) {
  struct Row {
    const char* name;
    platform::OsVersionRecord system;
    bool service, startUp;
    bool installedBefore;
    Value runBefore, runServicesBefore;
    bool installedAfter;
    Value runAfter, runServicesAfter;  // "*" stands for the program's path, "\"*\"" quoted
  };
  const Value none, self_ = "*";
  const std::vector<Row> rows = {
      // The NT line's own entries, removal: ServiceWineTest.
      {"NT service leaves another Run value alone", kWinXP, true, true, false, "old", none, true, "old", none},
      {"NT leaves a 9x entry alone", kWinXP, false, false, false, none, "*", false, none, "*"},
      {"9x service leaves Run alone", kWin98, true, true, false, none, none, false, none, "*"},
      {"9x drops RunServices, adds Run", kWinMe, false, true, false, none, "*", false, "\"*\"", none},
      {"9x leaves the NT service alone", kWin98, false, false, true, none, none, true, none, none},
  };
  auto expand = [&](const Value& v) {
    if (v && *v == "\"*\"") return Value("\"" + self + "\"");
    return v && *v == "*" ? Value(self) : v;
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    registry.DeleteTree(platform::kCurrentUser, "SOFTWARE\\Microsoft");
    registry.DeleteTree(platform::kLocalMachine, "Software\\Microsoft");
    scm.services.clear();
    os.Set(row.system);
    if (row.installedBefore) Install("C:\\old\\Vesperon.exe");
    Write(platform::kCurrentUser, kRunKeyPath, expand(row.runBefore));
    Write(platform::kLocalMachine, kRunServicesKeyPath, expand(row.runServicesBefore));

    EXPECT_NO_THROW(ApplyStartupChoices(row.service, row.startUp));

    EXPECT_EQ(scm.services.count("Vesperon") == 1, row.installedAfter);
    EXPECT_EQ(Read(platform::kCurrentUser, kRunKeyPath), expand(row.runAfter));
    EXPECT_EQ(Read(platform::kLocalMachine, kRunServicesKeyPath), expand(row.runServicesAfter));
    EXPECT_EQ(registry.OpenHandleCount(), 0u);
  }
}

TEST_F(AutostartTest, EntryTestsCompareThePathExactly) {
  const std::string path = "C:\\Tools\\Vesperon.exe";
  struct Row {
    const char* name;
    Value stored;
    bool expected;
  } const rows[] = {
      {"same", path, true},
      {"same, quoted", "\"" + path + "\"", true},
      {"other letter case", "C:\\TOOLS\\Vesperon.exe", false},
      {"longer", path + " ", false},
      {"quote at one end only", "\"" + path, false},
      {"missing value", Value(), false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    registry.DeleteTree(platform::kCurrentUser, "SOFTWARE\\Microsoft");
    registry.DeleteTree(platform::kLocalMachine, "Software\\Microsoft");
    Write(platform::kCurrentUser, kRunKeyPath, row.stored);
    Write(platform::kLocalMachine, kRunKeyPath, row.stored);
    Write(platform::kLocalMachine, kRunServicesKeyPath, row.stored);
    EXPECT_EQ(IsRunEntry(path, DataSystem::kHiveCurrentUser), row.expected);
    EXPECT_EQ(IsRunEntry(path, DataSystem::kHiveLocalMachine), row.expected);
    EXPECT_EQ(IsRunServicesEntry(path), row.expected);
  }
}

TEST_F(AutostartTest, ServiceEntrySteps) {
  struct Row {
    const char* name;
    bool installed, refuses;
    std::function<void()> call;
    int thrown;  // ServiceException code, -1 none
    std::vector<std::string> log;
  };
  const std::vector<Row> rows = {
      {"install, spaces quoted", false, false,
       [] { InstallService("C:\\Program Files\\Vesperon\\Vesperon.exe"); }, -1,
       {"Install(Vesperon, \"C:\\Program Files\\Vesperon\\Vesperon.exe\")"}},
      {"install refused: nothing reported", false, true, [] { InstallService("C:\\V.exe"); }, -1,
       {"Install(Vesperon, C:\\V.exe)"}},
      {"remove", true, false, [] { RemoveService(); }, -1, {"Remove(Vesperon)"}},
      {"remove refused", true, true, [] { RemoveService(); }, 3, {"Remove(Vesperon)"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    scm.services.clear();
    if (row.installed) Install("C:\\V.exe");
    scm.refuses = row.refuses;
    scm.log.clear();
    EXPECT_EQ(CodeOf<ServiceException>(row.call, kCategoryService), row.thrown);
    EXPECT_EQ(scm.log, row.log);
  }
}

}  // namespace
