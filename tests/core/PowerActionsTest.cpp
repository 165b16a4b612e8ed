// The power actions, the privileges around them and the bound functions,
// against the recording power system.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "actions/ActionDispatcher.h"
#include "actions/PowerActions.h"
#include "platform/memory/LogText.h"
#include "platform/memory/MemoryRegistry.h"
#include "platform/memory/RecordingPowerSystem.h"
#include "settings/BoundFunctions.h"
#include "settings/Privileges.h"
#include "settings/Profiles.h"
#include "settings/SettingsStore.h"
#include "tests/support/FakeOsVersion.h"
#include "tests/support/RecordingActions.h"
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

struct NamedSystem {
  const char* name;
  platform::OsVersionRecord record;
  bool ntLine;
};
const NamedSystem kSystems[] = {
    {"95", kWin95, false},  {"98", kWin98, false},         {"Me", kWinMe, false},       {"NT 3.51", kNT351, true},
    {"NT 4.0", kNT4, true}, {"2000", kWin2000, true},       {"XP", kWinXP, true},        {"2003", kServer2003, true},
    {"Vista", kVista, true}, {"10", kWin10, true}};

// An in-memory registry with the recording power system installed (nothing
// reaches the real one, also under Wine).
class PowerFixture : public ::testing::Test {
 protected:
  static void SetNumbers(const std::vector<DataSystem::SettingId>& ids, const std::vector<std::uint32_t>& values,
                         const std::string& profile) {
    DataSystem::WriteNumbers(ids, values, "Profiles\\" + profile, DataSystem::kHiveCurrentUser);
  }
  static void SetShutdownOptions(std::uint32_t forced, std::uint32_t forceHung, std::uint32_t reason,
                                 const std::string& profile = "Default") {
    SetNumbers({DataSystem::kSDPropForced, DataSystem::kForceHung, DataSystem::kReason}, {forced, forceHung, reason},
               profile);
  }

  platform::MemoryRegistry registry;
  platform::ScopedRegistry registryGuard{registry};
  FakeOsVersion os{kWinXP};
  platform::RecordingPowerSystem power;
  platform::ScopedPowerSystem powerGuard{power};
};
using PowerActionsTest = PowerFixture;

// The shutdown reason table, index by index; outside it "other, unplanned".
std::uint32_t ReasonCode(std::uint32_t index) {
  constexpr std::uint32_t kCodes[11] = {0x40005, 0x40001, 0x80040001, 0x40006, 0x10002, 0x10001,
                                        0x20004, 5,       0x6000B,    0x6000C, 0x5000F};
  return index < 11 ? kCodes[index] : 0;
}

// One exit request on the NT line: the privilege around the request.
Log NtExitLog(std::uint32_t flags, std::uint32_t reason) {
  return {"Privilege(shutdown, enable)", "EndSession(" + HexText(flags) + ", " + HexText(reason) + ")",
          "Privilege(shutdown, remove)"};
}

// Every request, force setting and reason (in the table and outside it: the
// request still goes ahead) on every system the program knows.
TEST_F(PowerActionsTest, FlagAndReasonMatrixOnBothLines) {
  for (const NamedSystem& system : kSystems) {
    os.Set(system.record);
    for (std::uint32_t request : {0u, 1u, 2u, 8u}) {
      for (std::uint32_t forced : {0u, 1u}) {
        for (std::uint32_t forceHung : {0u, 1u}) {
          for (std::uint32_t reason : {0u, 1u, 2u, 3u, 4u, 5u, 6u, 7u, 8u, 9u, 10u, 11u,
                                       0x80000000u, 0xFFFFFFFFu}) {
            SCOPED_TRACE(std::string(system.name) + " request " + std::to_string(request) +
                         " forced " + std::to_string(forced) + " hung " +
                         std::to_string(forceHung) + " reason " + std::to_string(reason));
            SetShutdownOptions(forced, forceHung, reason);
            power.log.clear();
            power.token[Privilege::kShutdown] = false;
            ExitWindowsWithSettings(request);

            const std::uint32_t flags = request | (forced ? 0x4u : forceHung ? 0x10u : 0u);
            Log expected;
            if (system.ntLine) {
              expected = NtExitLog(flags, ReasonCode(reason));
            } else {
              if (flags == 4) expected = {"QuitShell"};
              expected.push_back("EndSession(" + HexText(flags) + ", " + HexText(ReasonCode(reason)) + ")");
            }
            EXPECT_EQ(power.log, expected);
          }
        }
      }
    }
  }
}

TEST_F(PowerActionsTest, SettingsComeFromTheActiveProfile) {
  SetShutdownOptions(0, 0, 0, "Default");
  SetShutdownOptions(1, 0, 9, "Work");
  DataSystem::SetActiveProfileName("Profiles", "Work", DataSystem::kHiveCurrentUser);
  ExitWindowsWithSettings(kExitShutDown);
  EXPECT_EQ(power.log, NtExitLog(0x5, 0x6000C));
}

// Refusals are silent and the privilege is still removed (from the token,
// not merely disabled); a privilege that cannot be enabled stops the
// request, each failed step with its code; one that cannot be removed
// fails after it; settings that cannot be read fail before any call.
TEST_F(PowerActionsTest, RefusedRequestsAndPrivilegeFailures) {
  const Log enableOnly{"Privilege(shutdown, enable)"};
  const auto failing = [](PrivilegeChange change, PrivilegeResult result) {
    return [=](platform::RecordingPowerSystem& p) { p.failingChanges[change] = result; };
  };
  const struct {
    const char* name;
    std::function<void(platform::RecordingPowerSystem&)> arrange;
    std::int32_t category, code;  // code -1: no failure
    Log log;
  } rows[] = {
      {"refused", [](auto& p) { p.refuses = true; }, 0, -1, NtExitLog(0x12, 0x80040001)},
      {"not held", [](auto& p) { p.token.erase(Privilege::kShutdown); }, 0, kPrivilegeNotAssigned,
       enableOnly},
      {"no token", failing(PrivilegeChange::kEnable, PrivilegeResult::kTokenNotOpened), 0,
       kPrivilegeOpenToken, enableOnly},
      {"unknown", failing(PrivilegeChange::kEnable, PrivilegeResult::kUnknownPrivilege), 0,
       kPrivilegeLookup, enableOnly},
      {"adjustment", failing(PrivilegeChange::kEnable, PrivilegeResult::kAdjustFailed), 0,
       kPrivilegeAdjust, enableOnly},
      {"no library", failing(PrivilegeChange::kEnable, PrivilegeResult::kLibraryMissing), 7,
       AttachableAPIException::kLoadLibraryFailed, enableOnly},
      {"no function", failing(PrivilegeChange::kEnable, PrivilegeResult::kFunctionMissing), 7,
       AttachableAPIException::kFunctionMissing, enableOnly},
      {"removal refused", failing(PrivilegeChange::kRemove, PrivilegeResult::kAdjustFailed), 0,
       kPrivilegeAdjust, NtExitLog(0x12, 0x80040001)},
      // The values are missing and the key refuses the repair; last, as the key stays locked.
      {"settings unreadable",
       [this](auto&) {
         const std::string path = testsupport::SettingsPath("Profiles\\Default\\SDProp");
         registry.DeleteTree(platform::kCurrentUser, path);
         testsupport::CreateKey(path);
         registry.SetKeyReadOnly(platform::kCurrentUser, path, true);
       },
       kCategorySystem, DataSystem::RegistryException::kSetValue, {}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    power = platform::RecordingPowerSystem();
    row.arrange(power);
    if (row.code == -1) {
      ExitWindowsWithSettings(kExitReboot);
      EXPECT_EQ(power.token.count(Privilege::kShutdown), 0u);
      EXPECT_NO_THROW(SuspendWithSettings(false));
      EXPECT_NO_THROW(LockWorkStationNow());
      power.log.resize(3);
    } else {
      const auto e = ThrownBy<Exception>([] { ExitWindowsWithSettings(kExitReboot); });
      EXPECT_TRUE(e && e->code == row.code && e->category == row.category && !e->inner);
    }
    EXPECT_EQ(power.log, row.log);
  }
}

// Stand by and hibernate: SetSuspendState with the HNProp options.
TEST_F(PowerActionsTest, SuspendArgumentsFollowTheSettings) {
  // Each option alone, so that swapped arguments show.
  for (const auto& [hibernate, forced] : {std::pair{0, 0u}, {0, 1u}, {1, 0u}, {1, 1u}}) {
    SetNumbers({DataSystem::kHNPropForced, DataSystem::kDisableWake}, {forced, 1 - forced}, "Default");
    power.log.clear();
    SuspendWithSettings(hibernate != 0);
    EXPECT_EQ(power.log, Log{"Suspend(" + std::to_string(hibernate) + ", " + std::to_string(forced) + ", " +
                             std::to_string(1 - forced) + ")"});
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

// From the dispatcher's action ids to the system's intents (exits and suspends: above).
TEST_F(PowerDispatchTest, DispatcherIdsEndInTheirWindowsCalls) {
  const struct {
    ActionId id;
    Log log;
  } rows[] = {
      {kActionLock, {"LockWorkStation"}},
      // Slow windows are given up after two seconds.
      {kActionMonitorOff, {"MonitorPower(off, 2000)"}},
      {kActionMonitorOn, {"MonitorPower(on, 2000)"}},
      {kActionScreenSaver, {"ScreenSaver"}},
      {kActionRebootShell, {"QuitShell", "StartShell"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.id);
    power.log.clear();
    dispatcher.ExecuteAction(row.id);
    EXPECT_EQ(power.log, row.log);
  }
  EXPECT_TRUE(delegated.empty());
}

// The bound functions: where each is offered, what it asks for, its failure codes.
using BoundFunctionsTest = PowerFixture;

struct Wrapper {
  const char* name;
  std::set<std::string> offeredOn;    // names of kSystems
  std::function<std::string()> call;  // with sample arguments; the result as text
  std::string line;                   // what the fake writes for that call
  const char* refused;                // the result when the system says no
};

std::vector<Wrapper> Wrappers() {
  const std::set<std::string> k2000AndLater = {"2000", "XP", "2003", "Vista", "10"};
  const std::set<std::string> kNtLine = {"NT 3.51", "NT 4.0", "2000", "XP", "2003", "Vista", "10"};
  return {
      {"lock", k2000AndLater, [] { return std::to_string(DynLockWorkStation()); },
       "LockWorkStation", "0"},
      {"suspend", {"98", "Me", "2000", "XP", "2003", "Vista", "10"},
       [] { return std::to_string(DynSetSuspendState(true, false, true)); }, "Suspend(1, 0, 1)",
       "0"},
      {"translucency", k2000AndLater,
       [] { return std::to_string(DynSetLayeredWindowAttributes(0x3003A, 217)); },
       "LayeredAlpha(0x3003A, 217)", "0"},
      {"privilege", kNtLine,
       [] {
         EnablePrivilege(Privilege::kBackup);
         return std::string("1");
       },
       "Privilege(backup, enable)", "1"},
  };
}

// Where each is offered; elsewhere nothing is asked of the system. Where it
// is, the system's answer passes through, and a function the platform could
// not bind is code 2 (library) or 3 (function).
TEST_F(BoundFunctionsTest, EachIsOfferedExactlyWhereItsRowSays) {
  using platform::Binding;
  for (const Wrapper& w : Wrappers()) {
    for (const NamedSystem& system : kSystems) {
      os.Set(system.record);
      for (int state = 0; state < 4; ++state) {
        SCOPED_TRACE(std::string(w.name) + " on " + system.name + " state " + std::to_string(state));
        power.log.clear();
        power.refuses = state == 1;
        power.binding = state == 2 ? Binding::kLibraryMissing
                        : state == 3 ? Binding::kFunctionMissing
                                     : Binding::kBound;
        const std::int32_t code = !w.offeredOn.count(system.name) ? AttachableAPIException::kNotOffered
                                  : state == 2 ? AttachableAPIException::kLoadLibraryFailed
                                  : state == 3 ? AttachableAPIException::kFunctionMissing
                                               : -1;
        if (code == -1) {
          EXPECT_EQ(w.call(), state == 1 ? w.refused : "1");
        } else {
          const auto e = ThrownBy<AttachableAPIException>(w.call);
          EXPECT_TRUE(e && e->code == code && e->category == 7 && e->inner == nullptr);
        }
        EXPECT_EQ(power.log, code == AttachableAPIException::kNotOffered ? Log{} : Log{w.line});
      }
    }
  }
}

// The privileges profile export and import hold are dropped again whatever happens.
class ProfilesPrivileges : public PowerFixture {
 protected:
  ProfilesPrivileges() {
    testsupport::WriteRaw(testsupport::SettingsPath("Profiles\\Work\\MainForm"), "Trigger",
                          platform::kRegDword, testsupport::Dword(3));
  }
  ~ProfilesPrivileges() override { std::filesystem::remove(file_); }

  std::string file_ = testsupport::FreshTempFile("vesperon-privileges.pfl");
};

TEST_F(ProfilesPrivileges, EachOperationDropsWhatItEnabled) {
  const struct {
    Privilege missing;  // a privilege the token lacks
    bool import;
    bool succeeds;
  } cases[] = {  // both held: ProfilesContract
      {Privilege::kBackup, false, false},
      {Privilege::kRestore, false, true},  // saving needs only the backup privilege
      {Privilege::kRestore, true, false},  // loading needs both; backup was enabled first
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.import ? "import" : "export") + " without " +
                 std::to_string(static_cast<int>(c.missing)));
    power.token = {{Privilege::kBackup, false}, {Privilege::kRestore, false}};
    std::filesystem::remove(file_);
    if (c.import) {
      registry.DeleteTree(platform::kCurrentUser, testsupport::SettingsPath("Profiles\\Copy"));
      DataSystem::ExportProfile(file_, "Work", DataSystem::kHiveCurrentUser);
    }
    power.token.erase(c.missing);
    const auto failure = ThrownBy<Exception>([&] {
      if (c.import) {
        DataSystem::ImportProfile(file_, "Copy", DataSystem::kHiveCurrentUser);
      } else {
        DataSystem::ExportProfile(file_, "Work", DataSystem::kHiveCurrentUser);
      }
    });
    EXPECT_EQ(failure.has_value(), !c.succeeds);
    for (const auto& [privilege, enabled] : power.token) {
      EXPECT_FALSE(enabled) << static_cast<int>(privilege);
    }
    if (c.import) {
      EXPECT_EQ(testsupport::KeyExists(testsupport::SettingsPath("Profiles\\Copy")), c.succeeds);
    } else {
      EXPECT_EQ(std::filesystem::exists(file_), c.succeeds);
    }
  }
}

TEST_F(ProfilesPrivileges, TheNinetyXLineAsksForNoPrivilegeAndHasNoLastChange) {
  os.Set(kWin98);
  power.token.clear();
  DataSystem::ExportProfile(file_, "Work", DataSystem::kHiveCurrentUser);
  DataSystem::ImportProfile(file_, "Copy", DataSystem::kHiveCurrentUser);
  EXPECT_TRUE(testsupport::KeyExists(testsupport::SettingsPath("Profiles\\Copy\\MainForm")));
  EXPECT_TRUE(power.log.empty());
  EXPECT_THROW(DataSystem::GetProfileLastModified("Work", DataSystem::kHiveCurrentUser), Exception);
}

}  // namespace
