// Start-up entries, the service entry and the service mode against the
// recording service manager. (The program started by the manager and ended
// by Stop: ServiceWineTest.)
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "settings/StoreExceptions.h"
#include "system/Autostart.h"
#include "model/ModulePath.h"
#include "system/Service.h"
#include "platform/memory/RecordingServiceManager.h"
#include "tests/support/RegistryTestSupport.h"
#include "tests/support/StartupTestWorld.h"
#include "tests/support/Thrown.h"

using namespace Vesperon;
using namespace testing_support;

namespace {

using Value = std::optional<std::string>;
using Log = std::vector<std::string>;

class AutostartTest : public ::testing::Test, protected StartupTestWorld {
 protected:
  AutostartTest() { ResetServiceModeForTesting(); }
  ~AutostartTest() override { ResetServiceModeForTesting(); }

  static Value Read(platform::RegKey root, const char* path) {
    const testsupport::RawValue raw = testsupport::ReadRaw(path, "Vesperon", root);
    if (raw.result != platform::kOk) return {};
    return std::string(raw.data.begin(), raw.data.end()).c_str();
  }
  static void Write(platform::RegKey root, const char* path, const Value& value) {
    if (value) testsupport::WriteText(path, "Vesperon", *value, root);
  }
  static std::string Status(std::uint32_t state) {
    return "SetServiceStatus(0x5E7, " +
           platform::RecordingServiceManager::StatusText({16, state, 7, 0, 0, 0, 0}) + ")";
  }
};
using ServiceModeTest = AutostartTest;

TEST_F(AutostartTest, StartupChoicesOnBothLines) {
  // The choices (service, start-up), then installed, Run and RunServices before and after.
  const Value none, quoted = "\"" + self + "\"";
  const std::tuple<const char*, platform::OsVersionRecord, bool, bool, bool, Value, Value, bool, Value, Value>
      rows[] = {
      // The NT line's own entries: ServiceWineTest.
      {"NT service leaves another Run value", kWinXP, true, true, false, "old", none, true, "old", none},
      {"NT removes its service, not a 9x entry", kWinXP, false, false, true, none, self, false, none, self},
      {"9x service leaves Run alone", kWin98, true, true, false, none, none, false, none, self},
      {"9x drops RunServices, adds Run", kWinMe, false, true, false, none, self, false, quoted, none},
      {"9x leaves the NT service alone", kWin98, false, false, true, none, none, true, none, none},
  };
  for (const auto& [name, system, service, startUp, installedBefore, runBefore, runServicesBefore,
                    installedAfter, runAfter, runServicesAfter] : rows) {
    SCOPED_TRACE(name);
    registry.DeleteTree(platform::kCurrentUser, "SOFTWARE\\Microsoft");
    registry.DeleteTree(platform::kLocalMachine, "Software\\Microsoft");
    scm.services.clear();
    os.Set(system);
    if (installedBefore) scm.services["Vesperon"] = "C:\\old\\Vesperon.exe";
    Write(platform::kCurrentUser, kRunKeyPath, runBefore);
    Write(platform::kLocalMachine, kRunServicesKeyPath, runServicesBefore);

    EXPECT_NO_THROW(ApplyStartupChoices(service, startUp));

    EXPECT_EQ(scm.services.count("Vesperon") == 1, installedAfter);
    EXPECT_EQ(Read(platform::kCurrentUser, kRunKeyPath), runAfter);
    EXPECT_EQ(Read(platform::kLocalMachine, kRunServicesKeyPath), runServicesAfter);
    EXPECT_EQ(registry.OpenHandleCount(), 0u);
  }
}

TEST_F(AutostartTest, EntryTestsCompareThePathExactly) {
  const std::string path = "C:\\Tools\\Vesperon.exe";
  const std::tuple<const char*, Value, bool> rows[] = {
      {"same", path, true},
      {"same, quoted", "\"" + path + "\"", true},
      {"other letter case", "C:\\TOOLS\\Vesperon.exe", false},
      {"longer", path + " ", false},
      {"quote at one end only", "\"" + path, false},
      {"missing value", Value(), false},
  };
  for (const auto& [name, stored, expected] : rows) {
    SCOPED_TRACE(name);
    registry.DeleteTree(platform::kCurrentUser, "SOFTWARE\\Microsoft");
    registry.DeleteTree(platform::kLocalMachine, "Software\\Microsoft");
    Write(platform::kCurrentUser, kRunKeyPath, stored);
    Write(platform::kLocalMachine, kRunServicesKeyPath, stored);
    EXPECT_EQ(IsRunEntry(path, DataSystem::kHiveCurrentUser), expected);
    EXPECT_EQ(IsRunServicesEntry(path), expected);
  }
}

// A path with spaces is quoted; a refused install is not reported, a refused
// removal is. (Creation and removal by the real manager: ServiceWineTest.)
TEST_F(AutostartTest, ServiceEntrySteps) {
  InstallService("C:\\Program Files\\Vesperon\\Vesperon.exe");
  scm.refuses = true;
  EXPECT_NO_THROW(InstallService("C:\\V.exe"));
  EXPECT_EQ(CodeOf<ServiceException>([] { RemoveService(); }, kCategoryService),
            ServiceException::kRemoveFailed);
  EXPECT_EQ(scm.log, (Log{"Install(Vesperon, \"C:\\Program Files\\Vesperon\\Vesperon.exe\")",
                          "Install(Vesperon, C:\\V.exe)", "Remove(Vesperon)"}));
}

std::vector<std::uint32_t> g_seen;  // (code, state when the callback ran) pairs
std::int32_t RecordControl(std::uint32_t control) {
  g_seen.push_back(control);
  g_seen.push_back(Vesperon::ServiceStatusRecord.currentState);
  return 0;
}

TEST_F(ServiceModeTest, HandOverAtStartUp) {
  const Log userStart = {"IsInstalled(Vesperon)", "RunDispatcher"};
  const Log serviceStart = {"IsInstalled(Vesperon)", "RunDispatcher", "RegisterControlHandler(Vesperon)"};
  // Installed, started by the manager, the handler's handle; the calls, prepared, and ran as a
  // service (the program must end once the dispatcher returns).
  using Handle = platform::ServiceStatusHandle;
  const std::tuple<const char*, platform::OsVersionRecord, bool, bool, Handle, Log, bool, bool> rows[] = {
      {"9x line: no manager at all", kWin98, true, true, 0x5E7, {}, false, false},
      {"NT, no service installed", kWinXP, false, true, 0x5E7, {"IsInstalled(Vesperon)"}, false, false},
      {"NT, started by a user", kWinXP, true, false, 0x5E7, userStart, true, false},
      {"NT, handler refused: no report", kWin10, true, true, 0, serviceStart, true, true},
  };
  for (const auto& [name, system, installed, byManager, handle, scmLog, prepared, ranAsService] : rows) {
    SCOPED_TRACE(name);
    ResetServiceModeForTesting();
    os.Set(system);
    scm.services.clear();
    if (installed) scm.services["Vesperon"] = {};
    scm.startedByManager = byManager;
    scm.statusHandle = handle;
    scm.log.clear();
    EXPECT_EQ(HandOverToServiceDispatcher(), ranAsService);
    EXPECT_EQ(scm.log, scmLog);
    EXPECT_EQ(ServiceModePrepared, prepared);
  }
  // The dispatcher refuses to start unprepared.
  ResetServiceModeForTesting();
  EXPECT_EQ(CodeOf<ServiceException>([] { RunServiceDispatcher(); }, 6), ServiceException::kNotPrepared);
}

// Pause, continue, interrogate and stop from the real manager: ServiceWineTest.
// Here: the callback runs first, with the code, before the state changes; a
// control of the service's own range reports nothing; stopping, and the system
// shutting down, report stopped and clear the exit code and counters that a
// failure may have set.
TEST_F(ServiceModeTest, ControlsRunTheCallbackFirstAndStopsClearAFailure) {
  scm.services["Vesperon"] = {};
  scm.startedByManager = true;
  HandOverToServiceDispatcher();
  ASSERT_EQ(scm.log.back(), Status(kServiceRunning));
  SetServiceControlCallback(&RecordControl);
  for (const std::uint32_t control : std::vector<std::uint32_t>{0x80, kControlShutdown, kControlStop}) {
    ServiceStatusRecord = {16, kServicePaused, 7, 1066, 0, 3, 500};
    scm.log.clear();
    g_seen.clear();
    scm.handler(control);
    EXPECT_EQ(g_seen, (std::vector<std::uint32_t>{control, kServicePaused})) << control;
    EXPECT_EQ(scm.log, control == 0x80 ? Log{} : Log{Status(kServiceStopped)}) << control;
  }
}

}  // namespace
