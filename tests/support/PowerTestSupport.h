#pragma once
// A fixture on an in-memory registry with the recording power system installed
// (nothing reaches the real one, also under Wine), and builders for its log lines.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "actions/InternetExplorerVersion.h"
#include "platform/PowerSystem.h"
#include "platform/Services.h"
#include "platform/memory/MemoryRegistry.h"
#include "platform/memory/RecordingPowerSystem.h"
#include "settings/SettingsStore.h"
#include "tests/support/FakeOsVersion.h"
#include "tests/support/RegistryTestSupport.h"

namespace testing_support {

using Log = std::vector<std::string>;

inline std::string HexText(std::uint64_t value) {
  char text[32];
  std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(value));
  return text;
}

// One bound call: load, look up, call, release.
inline Log BoundCallLines(const std::string& library, const std::string& function,
                          const std::string& arguments) {
  return {"LoadLibraryA(" + library + ")", "GetProcAddress(" + library + ", " + function + ")",
          library + "!" + function + "(" + arguments + ")", "FreeLibrary(" + library + ")"};
}

inline void Append(Log& log, const Log& more) { log.insert(log.end(), more.begin(), more.end()); }

// A privilege adjusted through DynAdjustTokenPrivileges, then the last error.
inline Log AdjustLines(const std::string& privilege, std::uint32_t attributes,
                       std::uint32_t lastError = 0) {
  Log log = BoundCallLines(
      "Advapi32.dll", "AdjustTokenPrivileges",
      "token, 0, {1, " + privilege + ", " + HexText(attributes) + "}, 0, null, null");
  log.push_back("GetLastError() = " + std::to_string(lastError));
  return log;
}

// EnablePrivilege(privilege) on a token that holds it.
inline Log EnableLines(const std::string& privilege) {
  Log log{"OpenProcessToken(current process, 0x28)"};
  Append(log, BoundCallLines("Advapi32.dll", "LookupPrivilegeValueA", "null, " + privilege));
  Append(log, AdjustLines(privilege, 0x2));
  return log;
}

// The E a call throws; nothing, and a failure, when it throws none.
template <typename E, typename Fn>
std::optional<E> ThrownBy(Fn call) {
  try {
    call();
  } catch (const E& e) {
    return e;
  }
  ADD_FAILURE() << "no exception";
  return std::nullopt;
}

struct NamedSystem {
  const char* name;
  platform::OsVersionRecord record;
  bool ntLine;
};

inline const std::vector<NamedSystem>& AllSystems() {
  static const std::vector<NamedSystem> systems = {
      {"95", kWin95, false},     {"98", kWin98, false},       {"Me", kWinMe, false},
      {"NT 3.51", kNT351, true}, {"NT 4.0", kNT4, true},      {"2000", kWin2000, true},
      {"XP", kWinXP, true},      {"2003", kServer2003, true}, {"Vista", kVista, true},
      {"10", kWin10, true}};
  return systems;
}

class PowerFixture : public ::testing::Test {
 protected:
  PowerFixture() { Vesperon::ResetInternetExplorerVersionCacheForTesting(); }
  ~PowerFixture() override { Vesperon::ResetInternetExplorerVersionCacheForTesting(); }

  static void SetNumbers(const std::vector<DataSystem::SettingId>& ids,
                         const std::vector<std::uint32_t>& values, const std::string& profile) {
    DataSystem::WriteNumbers(ids, values, "Profiles\\" + profile, DataSystem::kHiveCurrentUser);
  }
  void SetShutdownOptions(std::uint32_t forced, std::uint32_t forceHung, std::uint32_t reason,
                          const std::string& profile = "Default") {
    SetNumbers({DataSystem::kSDPropForced, DataSystem::kForceHung, DataSystem::kReason},
               {forced, forceHung, reason}, profile);
  }
  void SetSuspendOptions(std::uint32_t forced, std::uint32_t disableWake) {
    SetNumbers({DataSystem::kHNPropForced, DataSystem::kDisableWake}, {forced, disableWake},
               "Default");
  }
  void SetBrowserVersion(const std::string& text) { testsupport::WriteBrowserVersion(text); }
  // Nothing is left loaded or open.
  void ExpectNothingHeld() {
    EXPECT_EQ(power.LoadedModuleCount(), 0);
    EXPECT_EQ(power.OpenTokenCount(), 0);
  }

  platform::MemoryRegistry registry;
  platform::ScopedRegistry registryGuard{registry};
  FakeOsVersion os{kWinXP};
  platform::RecordingPowerSystem power;
  platform::ScopedPowerSystem powerGuard{power};
};

}  // namespace testing_support
