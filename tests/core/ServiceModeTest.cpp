// The service mode: when start-up hands over to the dispatcher, and what each control reports.
// (The program started by the manager and ended by Stop: ServiceWineTest.)
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/memory/RecordingServiceManager.h"
#include "system/Service.h"
#include "tests/support/FakeOsVersion.h"
#include "tests/support/Thrown.h"

using namespace Vesperon;
using namespace testing_support;
using Log = std::vector<std::string>;

namespace {

std::vector<std::uint32_t> g_seen;  // (code, state when the callback ran) pairs
std::int32_t RecordControl(std::uint32_t control) {
  g_seen.push_back(control);
  g_seen.push_back(Vesperon::ServiceStatusRecord.currentState);
  return 0;
}

class ServiceModeTest : public ::testing::Test {
 protected:
  ServiceModeTest() { ResetServiceModeForTesting(); }
  ~ServiceModeTest() override { ResetServiceModeForTesting(); }

  static std::string Status(std::uint32_t state) {
    return "SetServiceStatus(0x5E7, " + platform::RecordingServiceManager::StatusText({16, state, 7, 0, 0, 0, 0}) + ")";
  }

  FakeOsVersion os{kWinXP};
  platform::RecordingServiceManager scm;
  platform::ScopedServiceManager scmGuard{scm};
};

TEST_F(ServiceModeTest, HandOverAtStartUp) {
  const Log userStart = {"IsInstalled(Vesperon)", "RunDispatcher"};
  const Log serviceStart = {"IsInstalled(Vesperon)", "RunDispatcher", "RegisterControlHandler(Vesperon)"};
  struct Row {
    const char* name;
    platform::OsVersionRecord system;
    bool installed, startedByManager;
    platform::ServiceStatusHandle handlerHandle;
    Log scmLog;
    bool prepared;
    bool ranAsService;  // the program must end once the dispatcher returns
  } const rows[] = {
      {"9x line: no manager at all", kWin98, true, true, 0x5E7, {}, false, false},
      {"NT, no service installed", kWinXP, false, true, 0x5E7, {"IsInstalled(Vesperon)"}, false, false},
      {"NT, started by a user", kWinXP, true, false, 0x5E7, userStart, true, false},
      {"NT, handler refused: no report", kWin10, true, true, 0, serviceStart, true, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ResetServiceModeForTesting();
    os.Set(row.system);
    scm.services.clear();
    if (row.installed) scm.services["Vesperon"] = {};
    scm.startedByManager = row.startedByManager;
    scm.statusHandle = row.handlerHandle;
    scm.log.clear();
    EXPECT_EQ(HandOverToServiceDispatcher(), row.ranAsService);
    EXPECT_EQ(scm.log, row.scmLog);
    EXPECT_EQ(ServiceModePrepared, row.prepared);
  }
  // The dispatcher refuses to start unprepared.
  ResetServiceModeForTesting();
  EXPECT_EQ(CodeOf<ServiceException>([] { RunServiceDispatcher(); }, 6), ServiceException::kNotPrepared);
}

TEST_F(ServiceModeTest, ControlsChangeAndReportTheStatus) {
  scm.services["Vesperon"] = {};
  scm.startedByManager = true;
  HandOverToServiceDispatcher();
  ASSERT_EQ(scm.handler, &ServiceControlHandler);
  ASSERT_EQ(scm.log.back(), Status(kServiceRunning));
  SetServiceControlCallback(&RecordControl);

  const struct {
    std::uint32_t control;
    std::uint32_t stateAfter;
    Log scmLog;
  } rows[] = {
      {kControlPause, 7, {Status(7)}},
      {0x80, 7, {}},  // a control of the service's own range
      {kControlContinue, 4, {Status(4)}},
      {kControlInterrogate, 4, {Status(4)}},
  };
  std::uint32_t before = kServiceRunning;
  for (const auto& row : rows) {
    SCOPED_TRACE("control " + std::to_string(row.control));
    scm.log.clear();
    g_seen.clear();
    scm.handler(row.control);
    EXPECT_EQ(ServiceStatusRecord.currentState, row.stateAfter);
    EXPECT_EQ(scm.log, row.scmLog);
    // The callback ran first, with the code, before the state changed.
    EXPECT_EQ(g_seen, (std::vector<std::uint32_t>{row.control, before}));
    before = row.stateAfter;
  }
  // Stopping, and the system shutting down, report stopped and clear the
  // exit code and counters that a failure may have set.
  for (std::uint32_t control : {kControlStop, kControlShutdown}) {
    ServiceStatusRecord = {16, kServiceRunning, 7, 1066, 0, 3, 500};
    scm.log.clear();
    scm.handler(control);
    EXPECT_EQ(scm.log, Log{Status(1)}) << control;
  }
}

}  // namespace
