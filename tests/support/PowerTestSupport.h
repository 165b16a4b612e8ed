#pragma once
// A fixture on an in-memory registry with the recording power system installed
// (nothing reaches the real one, also under Wine).
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "settings/InternetExplorerVersion.h"
#include "platform/memory/MemoryRegistry.h"
#include "platform/memory/RecordingPowerSystem.h"
#include "settings/SettingsStore.h"
#include "tests/support/FakeOsVersion.h"
#include "tests/support/RegistryTestSupport.h"
#include "tests/support/Thrown.h"

namespace testing_support {

using Log = std::vector<std::string>;

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

  platform::MemoryRegistry registry;
  platform::ScopedRegistry registryGuard{registry};
  FakeOsVersion os{kWinXP};
  platform::RecordingPowerSystem power;
  platform::ScopedPowerSystem powerGuard{power};
};

}  // namespace testing_support
