// The service mode: when start-up hands over to the dispatcher, and what each control reports.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/memory/RecordingServiceManager.h"
#include "system/Service.h"
#include "tests/support/PowerTestSupport.h"

using namespace Vesperon;
using namespace testing_support;

namespace {

std::vector<std::uint32_t> g_seen;  // (code, state when the callback ran) pairs
std::int32_t RecordControl(std::uint32_t control) {
  g_seen.push_back(control);
  g_seen.push_back(Vesperon::ServiceStatusRecord.currentState);
  return 0;
}

class ServiceModeTest : public PowerFixture {
 protected:
  ServiceModeTest() { ResetServiceModeForTesting(); }
  ~ServiceModeTest() override { ResetServiceModeForTesting(); }

  static std::string Status(std::uint32_t state) {
    return "SetServiceStatus(0x5E7, " + platform::RecordingServiceManager::StatusText({16, state, 7, 0, 0, 0, 0}) + ")";
  }

  platform::RecordingServiceManager scm;
  platform::ScopedServiceManager scmGuard{scm};
};

TEST_F(ServiceModeTest, HandOverAtStartUp) {
  struct Row {
    const char* name;
    platform::OsVersionRecord system;
    bool installed, startedByManager;
    platform::ServiceStatusHandle handlerHandle;
    Log scmLog;
    bool prepared;
    bool ranAsService;  // the program must end once the dispatcher returns
  };
  const Log notInstalled = {"IsInstalled(Vesperon)"};
  const Log userStart = {"IsInstalled(Vesperon)", "RunDispatcher"};
  const Log serviceStart = {"IsInstalled(Vesperon)", "RunDispatcher", "RegisterControlHandler(Vesperon)"};
  Log reportedStart = serviceStart;
  reportedStart.push_back(Status(4));
  const std::vector<Row> rows = {
      {"9x line: no manager at all", kWin98, true, false, 0x5E7, {}, false, false},
      {"NT, no service installed", kWinXP, false, false, 0x5E7, notInstalled, false, false},
      {"NT, started by a user", kWinXP, true, false, 0x5E7, userStart, true, false},
      {"NT, started by the manager", kNT4, true, true, 0x5E7, reportedStart, true, true},
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
    power.log.clear();

    EXPECT_EQ(HandOverToServiceDispatcher(), row.ranAsService);

    EXPECT_EQ(scm.log, row.scmLog);
    EXPECT_TRUE(power.log.empty());
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
  ASSERT_EQ(ServiceStatusRecord.currentState, kServiceRunning);
  SetServiceControlCallback(&RecordControl);

  struct Row {
    std::uint32_t control;
    std::uint32_t stateAfter;
    Log scmLog;
  };
  const std::vector<Row> rows = {
      {kControlInterrogate, 4, {Status(4)}},
      {kControlPause, 7, {Status(7)}},
      {kControlPause, 7, {Status(7)}},
      {kControlContinue, 4, {Status(4)}},
      {0x80, 4, {}},  // a control of the service's own range
      {kControlPause, 7, {Status(7)}},
      {kControlStop, 1, {Status(1)}},
  };
  std::uint32_t before = kServiceRunning;
  for (const Row& row : rows) {
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
