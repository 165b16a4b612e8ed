// Exit, suspend and lock requests against the recording power system.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "actions/ActionDispatcher.h"
#include "actions/BoundFunctions.h"
#include "actions/PowerActions.h"
#include "actions/Privileges.h"
#include "tests/support/PowerTestSupport.h"
#include "tests/support/RecordingActions.h"

using namespace Vesperon;
using namespace testing_support;

namespace {

class PowerActionsTest : public PowerFixture {};

// The shutdown reason table, index by index.
constexpr std::uint32_t kReasonCodes[11] = {0x40005, 0x40001, 0x80040001, 0x40006, 0x10002, 0x10001,
                                            0x20004, 5,       0x6000B,    0x6000C, 0x5000F};

// The whole exchange of one exit request on the NT line.
Log NtExitLog(std::uint32_t flags, std::uint32_t reason) {
  Log log = EnableLines("SeShutdownPrivilege");
  log.push_back("ExitWindowsEx(" + HexText(flags) + ", " + HexText(reason) + ")");
  Append(log, AdjustLines("SeShutdownPrivilege", 0x4));
  log.push_back("CloseHandle(token)");
  return log;
}

// Every request, force setting and reason on every system the program knows.
TEST_F(PowerActionsTest, FlagAndReasonMatrixOnBothLines) {
  for (const NamedSystem& system : AllSystems()) {
    os.Set(system.record);
    for (std::uint32_t request : {0u, 1u, 2u, 8u}) {
      for (std::uint32_t forced : {0u, 1u}) {
        for (std::uint32_t forceHung : {0u, 1u}) {
          for (std::uint32_t reason = 0; reason < 11; ++reason) {
            SCOPED_TRACE(std::string(system.name) + " request " + std::to_string(request) +
                         " forced " + std::to_string(forced) + " hung " +
                         std::to_string(forceHung) + " reason " + std::to_string(reason));
            SetShutdownOptions(forced, forceHung, reason);
            power.log.clear();
            power.tokenPrivileges["SeShutdownPrivilege"] = 0;
            ExitWindowsWithSettings(request);

            const std::uint32_t flags = request | (forced ? 0x4u : forceHung ? 0x10u : 0u);
            const std::uint32_t code = kReasonCodes[reason];
            Log expected;
            if (system.ntLine) {
              expected = NtExitLog(flags, code);
            } else {
              if (flags == 4)
                expected = {"FindWindowA(Progman, null)", "PostMessageA(Progman, 0x12, 0x0, 0)"};
              expected.push_back("ExitWindowsEx(" + HexText(flags) + ", " + HexText(code) + ")");
            }
            EXPECT_EQ(power.log, expected);
            ExpectNothingHeld();
          }
        }
      }
    }
  }
}

// A message posted to no window would go to our own thread.
TEST_F(PowerActionsTest, WithoutAShellWindowNothingIsPosted) {
  os.Set(kWinMe);
  power.windows.clear();
  SetShutdownOptions(1, 0, 0);
  ExitWindowsWithSettings(kExitLogOff);
  EXPECT_EQ(power.log, (Log{"FindWindowA(Progman, null)", "ExitWindowsEx(0x4, 0x40005)"}));
  power.log.clear();
  RestartShell();
  EXPECT_EQ(power.log, (Log{"FindWindowA(Progman, null)", "WinExec(Explorer.exe, 10)"}));
}

TEST_F(PowerActionsTest, ReasonOutsideTheTableIsOtherUnplannedAndTheRequestGoesAhead) {
  for (std::uint32_t reason : {11u, 0x80000000u, 0xFFFFFFFFu}) {
    SCOPED_TRACE(reason);
    SetShutdownOptions(0, 1, reason);
    power.log.clear();
    power.tokenPrivileges["SeShutdownPrivilege"] = 0;
    ExitWindowsWithSettings(kExitReboot);
    EXPECT_EQ(power.log, NtExitLog(0x12, 0));
  }
}

TEST_F(PowerActionsTest, SettingsComeFromTheActiveProfile) {
  SetShutdownOptions(0, 0, 0, "Default");
  SetShutdownOptions(1, 0, 9, "Work");
  DataSystem::SetActiveProfileName("Profiles", "Work", DataSystem::kHiveCurrentUser);
  ExitWindowsWithSettings(kExitShutDown);
  EXPECT_EQ(power.log, NtExitLog(0x5, 0x6000C));
}

TEST_F(PowerActionsTest, SettingsThatCannotBeReadFailBeforeAnyCall) {
  // The values are missing and the key refuses the repair (code 1).
  const std::string path = testsupport::SettingsPath("Profiles\\Default\\SDProp");
  testsupport::CreateKey(path);
  testsupport::ReadOnlyKey locked(path);
  const auto e = ThrownBy<DataSystem::RegistryException>([] { ExitWindowsWithSettings(kExitReboot); });
  EXPECT_TRUE(e && e->code == DataSystem::RegistryException::kSetValue);
  EXPECT_TRUE(power.log.empty());
}

TEST_F(PowerActionsTest, RefusalsAreSilentAndThePrivilegeIsStillRemoved) {
  power.exitResult = false;
  power.suspendResult = false;
  power.lockResult = false;
  ExitWindowsWithSettings(kExitReboot);
  EXPECT_EQ(power.log, NtExitLog(0x12, 0x80040001));
  // The privilege is gone from the token, not merely disabled.
  EXPECT_EQ(power.tokenPrivileges.count("SeShutdownPrivilege"), 0u);
  EXPECT_NO_THROW(SuspendWithSettings(false));
  EXPECT_NO_THROW(LockWorkStationNow());
}

// A privilege that cannot be enabled (every code: PrivilegesTest) stops the request.
TEST_F(PowerActionsTest, APrivilegeNotHeldStopsTheRequest) {
  power.tokenPrivileges.erase("SeShutdownPrivilege");
  const auto e = ThrownBy<Exception>([] { ExitWindowsWithSettings(kExitPowerOff); });
  EXPECT_TRUE(e && e->code == kPrivilegeNotAssigned && e->category == 0);
  for (const std::string& line : power.log) EXPECT_EQ(line.rfind("ExitWindowsEx", 0), std::string::npos);
  ExpectNothingHeld();
}

TEST_F(PowerActionsTest, AFailedRemovalThrowsAfterTheRequestAndClosesTheToken) {
  int adjustments = 0;
  power.onBoundCall = [&](const std::string& function) {
    if (function == "AdjustTokenPrivileges" && ++adjustments == 2) power.adjustFails = true;
  };
  const auto e = ThrownBy<Exception>([] { ExitWindowsWithSettings(kExitReboot); });
  EXPECT_TRUE(e && e->code == kPrivilegeAdjust && e->category == 0);
  Log expected = EnableLines("SeShutdownPrivilege");
  expected.push_back("ExitWindowsEx(0x12, 0x80040001)");
  Append(expected, BoundCallLines("Advapi32.dll", "AdjustTokenPrivileges",
                                  "token, 0, {1, SeShutdownPrivilege, 0x4}, 0, null, null"));
  expected.push_back("CloseHandle(token)");
  EXPECT_EQ(power.log, expected);
  ExpectNothingHeld();
}

// Stand by and hibernate: SetSuspendState with the HNProp options (where it
// is offered is BoundFunctionsTest's matter).
TEST_F(PowerActionsTest, SuspendArgumentsFollowTheSettings) {
  for (bool hibernate : {false, true}) {
    // Each option alone, so that swapped arguments show.
    for (std::uint32_t forced : {0u, 1u}) {
      const std::uint32_t disableWake = 1 - forced;
      SCOPED_TRACE(std::to_string(hibernate) + " forced " + std::to_string(forced));
      SetSuspendOptions(forced, disableWake);
      power.log.clear();
      SuspendWithSettings(hibernate);
      EXPECT_EQ(power.log, BoundCallLines("Powrprof.dll", "SetSuspendState",
                                          std::to_string(hibernate) + ", " +
                                              std::to_string(forced) + ", " +
                                              std::to_string(disableWake)));
      ExpectNothingHeld();
    }
  }
}

class PowerDispatchTest : public PowerFixture {
 protected:
  CallLog delegated;
  RecordingSystemActions others{delegated};
  PowerSystemActions actions{others};
  ScopedSystemActions installed{actions};
  RecordingActionHost host{delegated};
  ActionDispatcher dispatcher{host};
};

// From the dispatcher's action ids to the Windows calls (exits and suspends: above).
TEST_F(PowerDispatchTest, DispatcherIdsEndInTheirWindowsCalls) {
  os.Set(kWinXP);
  const struct {
    ActionId id;
    Log log;
  } rows[] = {
      {kActionLock, BoundCallLines("User32.dll", "LockWorkStation", "")},
      // Hung windows are skipped, slow ones given up after two seconds.
      {kActionMonitorOff, {"SendMessageTimeoutA(HWND_BROADCAST, 0x112, 0xF170, 2, 0x2, 2000)"}},
      {kActionMonitorOn, {"SendMessageTimeoutA(HWND_BROADCAST, 0x112, 0xF170, -1, 0x2, 2000)"}},
      {kActionScreenSaver, {"PostMessageA(HWND_BROADCAST, 0x112, 0xF140, 0)"}},
      {kActionRebootShell,
       {"FindWindowA(Progman, null)", "PostMessageA(Progman, 0x12, 0x0, 0)",
        "WinExec(Explorer.exe, 10)"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.id);
    power.log.clear();
    power.tokenPrivileges["SeShutdownPrivilege"] = 0;
    dispatcher.ExecuteAction(row.id);
    EXPECT_EQ(power.log, row.log);
    ExpectNothingHeld();
  }
  EXPECT_TRUE(delegated.empty());
}

}  // namespace
