// The power actions, the privileges around them and the bound functions,
// against the recording power system.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "actions/PowerActions.h"
#include "platform/memory/LogText.h"
#include "platform/memory/MemoryRegistry.h"
#include "platform/memory/RecordingPowerSystem.h"
#include "settings/BoundFunctions.h"
#include "settings/Privileges.h"
#include "settings/Profiles.h"
#include "settings/SettingsStore.h"
#include "tests/support/FakeOsVersion.h"
#include "tests/support/RegistryTestSupport.h"
#include "tests/support/Thrown.h"

using namespace Vesperon;
using namespace testing_support;
using platform::Privilege;
using platform::PrivilegeChange;
using platform::PrivilegeResult;
using platform::HexText;

namespace {

using Log = std::vector<std::string>;

// Every system the program knows; platform 2 is the NT line.
const std::pair<const char*, platform::OsVersionRecord> kSystems[] = {
    {"95", kWin95}, {"98", kWin98}, {"Me", kWinMe}, {"NT 3.51", kNT351}, {"NT 4.0", kNT4},
    {"2000", kWin2000}, {"XP", kWinXP}, {"2003", kServer2003}, {"Vista", kVista}, {"10", kWin10}};

// An in-memory registry with the recording power system installed (nothing
// reaches the real one, also under Wine).
class PowerActionsTest : public ::testing::Test {
 protected:
  static void SetNumbers(const std::vector<DataSystem::SettingId>& ids,
                         const std::vector<std::uint32_t>& values, const std::string& profile) {
    DataSystem::WriteNumbers(ids, values, "Profiles\\" + profile, DataSystem::kHiveCurrentUser);
  }
  static void SetShutdownOptions(std::uint32_t forced, std::uint32_t forceHung, std::uint32_t reason,
                                 const std::string& profile = "Default") {
    SetNumbers({DataSystem::kSDPropForced, DataSystem::kForceHung, DataSystem::kReason},
               {forced, forceHung, reason}, profile);
  }

  platform::MemoryRegistry registry;
  platform::ScopedRegistry registryGuard{registry};
  FakeOsVersion os{kWinXP};
  platform::RecordingPowerSystem power;
  platform::ScopedPowerSystem powerGuard{power};
};

std::string EndSession(std::uint32_t flags, std::uint32_t reason) {
  return "EndSession(" + HexText(flags) + ", " + HexText(reason) + ")";
}

// One exit request on the NT line: the privilege around the request.
Log NtExitLog(std::uint32_t flags, std::uint32_t reason) {
  return {"Privilege(shutdown, enable)", EndSession(flags, reason), "Privilege(shutdown, remove)"};
}

// Every request and force setting, with reasons in the table (its ends, and the
// planned one) and outside it ("other, unplanned": the request still goes
// ahead), on every system the program knows.
TEST_F(PowerActionsTest, FlagAndReasonMatrixOnBothLines) {
  for (const auto& [name, record] : kSystems) {
    os.Set(record);
    for (std::uint32_t request : {0u, 1u, 2u, 8u}) {
      for (std::uint32_t force = 0; force < 4; ++force) {  // forced, then hung applications
        const std::uint32_t forced = force & 1, forceHung = force >> 1;
        for (const auto& [reason, code] : {std::pair{0u, 0x40005u}, {2u, 0x80040001u}, {10u, 0x5000Fu},
                                           {11u, 0u}, {0x80000000u, 0u}, {~0u, 0u}}) {
          SCOPED_TRACE(testing::Message() << name << " request " << request << " forced " << forced
                                          << " hung " << forceHung << " reason " << reason);
          SetShutdownOptions(forced, forceHung, reason);
          power.log.clear();
          power.token[Privilege::kShutdown] = false;
          ExitWindowsWithSettings(request);

          const std::uint32_t flags = request | (forced ? 0x4u : forceHung ? 0x10u : 0u);
          // The 9x line has no privileges; a forced logoff quits the shell first.
          Log expected9x{EndSession(flags, code)};
          if (flags == 4) expected9x.insert(expected9x.begin(), "QuitShell");
          EXPECT_EQ(power.log, record.platformId == 2 ? NtExitLog(flags, code) : expected9x);
        }
      }
    }
  }
}

// A refusal is silent, and the privilege still leaves the token (removed, not
// merely disabled); suspend and lock are refused as silently.
TEST_F(PowerActionsTest, RefusalsAreSilentAndThePrivilegeStillLeaves) {
  power.refuses = true;
  ExitWindowsWithSettings(kExitReboot);
  EXPECT_EQ(power.token.count(Privilege::kShutdown), 0u);
  EXPECT_NO_THROW(SuspendWithSettings(false));
  EXPECT_NO_THROW(LockWorkStationNow());
  power.log.resize(3);
  EXPECT_EQ(power.log, NtExitLog(0x12, 0x80040001));
}

// A privilege that cannot be enabled stops the request, each failed step with
// its code; one that cannot be removed fails after it; settings that cannot
// be read (missing, and the key refuses the repair) fail before any call.
TEST_F(PowerActionsTest, PrivilegeAndSettingsFailuresThrowTheirCodes) {
  using enum PrivilegeChange;
  using enum PrivilegeResult;
  const std::tuple<PrivilegeChange, PrivilegeResult, std::int32_t> rows[] = {
      {kEnable, kNotHeld, kPrivilegeNotAssigned},
      {kEnable, kTokenNotOpened, kPrivilegeOpenToken},
      {kEnable, kUnknownPrivilege, kPrivilegeLookup},
      {kEnable, kAdjustFailed, kPrivilegeAdjust},
      {kRemove, kAdjustFailed, kPrivilegeAdjust},
  };
  for (const auto& [change, result, code] : rows) {
    SCOPED_TRACE(testing::Message() << static_cast<int>(result) << " on " << static_cast<int>(change));
    power = platform::RecordingPowerSystem();
    power.failingChanges[change] = result;
    const auto e = ThrownBy<Exception>([] { ExitWindowsWithSettings(kExitReboot); });
    EXPECT_TRUE(e && e->code == code && e->category == 0 && !e->inner);
    EXPECT_EQ(power.log,
              change == kEnable ? Log{"Privilege(shutdown, enable)"} : NtExitLog(0x12, 0x80040001));
  }
  const std::string path = testsupport::SettingsPath("Profiles\\Default\\SDProp");
  registry.DeleteTree(platform::kCurrentUser, path);
  testsupport::CreateKey(path);
  registry.SetKeyReadOnly(platform::kCurrentUser, path, true);
  power.log.clear();
  EXPECT_EQ(CodeOf<Exception>([] { ExitWindowsWithSettings(kExitReboot); }, kCategorySystem),
            DataSystem::RegistryException::kSetValue);
  EXPECT_EQ(power.log, Log{});
}

// Stand by and hibernate: SetSuspendState with the HNProp options, each alone
// so that swapped arguments show. Exits read the active profile's options.
TEST_F(PowerActionsTest, SettingsComeFromTheActiveProfile) {
  for (const auto& [hibernate, forced] : {std::pair{0, 0u}, {0, 1u}, {1, 0u}, {1, 1u}}) {
    SetNumbers({DataSystem::kHNPropForced, DataSystem::kDisableWake}, {forced, 1 - forced}, "Default");
    power.log.clear();
    SuspendWithSettings(hibernate != 0);
    EXPECT_EQ(power.log, Log{"Suspend(" + std::to_string(hibernate) + ", " + std::to_string(forced) + ", " +
                             std::to_string(1 - forced) + ")"});
  }
  SetShutdownOptions(0, 0, 0, "Default");
  SetShutdownOptions(1, 0, 9, "Work");
  DataSystem::SetActiveProfileName("Profiles", "Work", DataSystem::kHiveCurrentUser);
  power.log.clear();
  ExitWindowsWithSettings(kExitShutDown);
  EXPECT_EQ(power.log, NtExitLog(0x5, 0x6000C));
}

// The system's intents behind the other power actions (exits and suspends: above).
TEST_F(PowerActionsTest, EachActionAsksTheSystemForItsIntent) {
  PowerSystemActions actions{InertSystemActions()};
  const std::pair<void (ISystemActions::*)(), Log> rows[] = {
      {&ISystemActions::LockWorkStation, {"LockWorkStation"}},
      {&ISystemActions::MonitorOff, {"MonitorPower(off, 2000)"}},  // slow windows: given up after 2 s
      {&ISystemActions::MonitorOn, {"MonitorPower(on, 2000)"}},
      {&ISystemActions::RunScreenSaver, {"ScreenSaver"}},
      {&ISystemActions::RebootShell, {"QuitShell", "StartShell"}},
  };
  for (const auto& [action, log] : rows) {
    power.log.clear();
    (actions.*action)();
    EXPECT_EQ(power.log, log) << log[0];
  }
}

// The bound functions: where each is offered, what it asks for, its failure codes.

// Where each is offered; elsewhere nothing is asked of the system. Where it
// is, the system's answer passes through, and a function the platform could
// not bind is code 2 (library) or 3 (function). (Translucency, bound as lock
// is: AppearanceTest.)
TEST_F(PowerActionsTest, EachBoundFunctionIsOfferedExactlyWhereItsRowSays) {
  using platform::Binding;
  // Where it is offered (per row of kSystems, 1: offered), a call with sample arguments and its
  // result as text, what the fake writes for that call, and the result when the system says no.
  using Call = std::function<std::string()>;
  const std::tuple<const char*, const char*, Call, std::string, const char*> wrappers[] = {
      {"lock", "0000011111", [] { return std::to_string(DynLockWorkStation()); }, "LockWorkStation", "0"},
      {"suspend", "0110011111", [] { return std::to_string(DynSetSuspendState(true, false, true)); },
       "Suspend(1, 0, 1)", "0"},
      {"privilege", "0001111111",
       [] {
         EnablePrivilege(Privilege::kBackup);
         return std::string("1");
       },
       "Privilege(backup, enable)", "1"},
  };
  for (const auto& [name, offeredOn, call, line, refused] : wrappers) {
    for (const auto& system : kSystems) {
      os.Set(system.second);
      for (int state = 0; state < 4; ++state) {
        SCOPED_TRACE(std::string(name) + " on " + system.first + " state " + std::to_string(state));
        power.log.clear();
        power.refuses = state == 1;
        power.binding =
            state == 2 ? Binding::kLibraryMissing : state == 3 ? Binding::kFunctionMissing : Binding::kBound;
        const std::int32_t code = offeredOn[&system - kSystems] == '0' ? AttachableAPIException::kNotOffered
                                  : state == 2 ? AttachableAPIException::kLoadLibraryFailed
                                  : state == 3 ? AttachableAPIException::kFunctionMissing
                                               : -1;
        if (code == -1) {
          EXPECT_EQ(call(), state == 1 ? refused : "1");
        } else {
          const auto e = ThrownBy<AttachableAPIException>(call);
          EXPECT_TRUE(e && e->code == code && e->category == 7 && e->inner == nullptr);
        }
        EXPECT_EQ(power.log, code == AttachableAPIException::kNotOffered ? Log{} : Log{line});
      }
    }
  }
}

// The privileges profile export and import hold are dropped again whatever
// happens. (Both held, and the 9x line that asks for none: ProfilesContract.)
TEST_F(PowerActionsTest, ProfileOperationsDropWhatTheyEnabled) {
  using DataSystem::kHiveCurrentUser;
  testsupport::WriteRaw(testsupport::SettingsPath("Profiles\\Work\\MainForm"), "Trigger", platform::kRegDword,
                        testsupport::Dword(3));
  const std::string file = testsupport::FreshTempFile("vesperon-privileges.pfl");
  const std::map<Privilege, bool> backupOnly{{Privilege::kBackup, false}};
  const std::map<Privilege, bool> restoreOnly{{Privilege::kRestore, false}};
  // Saving needs only the backup privilege.
  power.token = backupOnly;
  DataSystem::ExportProfile(file, "Work", kHiveCurrentUser);
  EXPECT_EQ(power.token, backupOnly);
  // Loading needs both; backup was enabled first.
  EXPECT_THROW(DataSystem::ImportProfile(file, "Copy", kHiveCurrentUser), Exception);
  EXPECT_EQ(power.token, backupOnly);
  EXPECT_FALSE(testsupport::KeyExists(testsupport::SettingsPath("Profiles\\Copy")));
  std::filesystem::remove(file);
  power.token = restoreOnly;
  EXPECT_THROW(DataSystem::ExportProfile(file, "Work", kHiveCurrentUser), Exception);
  EXPECT_EQ(power.token, restoreOnly);
  EXPECT_FALSE(std::filesystem::exists(file));
}

}  // namespace
