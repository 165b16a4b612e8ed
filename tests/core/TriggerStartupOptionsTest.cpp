// The "Trigger / Startup" page's rules without its window.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>

#include "platform/Services.h"
#include "app/TriggerStartupOptions.h"
#include "settings/SettingsRecords.h"
#include "settings/SettingsStore.h"
#include "settings/StoreExceptions.h"
#include "system/Autostart.h"
#include "tests/support/StartupTestWorld.h"

using namespace Vesperon;
using namespace testing_support;

namespace {

TEST(ExpireDelayTest, SplitAndJoin) {
  // The seconds stored, their parts, and what writing the parts back stores.
  const std::tuple<std::uint32_t, DelayParts, std::uint32_t> rows[] = {
      {86399, {0, 23, 59, 59}, 86399},
      {86400, {1, 0, 0, 0}, 86400},
      {864086399, {10000, 23, 59, 59}, 864086399},
      // Stored by hand beyond the field: the longest delay the page holds.
      {864086400, {10000, 23, 59, 59}, 864086399},
      {4294967295u, {10000, 23, 59, 59}, 864086399},
  };
  for (const auto& [seconds, parts, joined] : rows) {
    EXPECT_EQ(SplitExpireDelay(UsableExpireDelay(seconds)), parts) << seconds;
    EXPECT_EQ(JoinExpireDelay(parts), joined) << seconds;
  }
  const std::pair<std::int64_t, std::int32_t> clamps[] = {
      {-1, 0}, {10000, 10000}, {10001, 10000}, {5000000000LL, 10000}};
  for (const auto& [typed, kept] : clamps) EXPECT_EQ(ClampDelayDays(typed), kept) << typed;
}

using DataSystem::StartupSettings;

class TriggerStartupPageTest : public ::testing::Test, protected StartupTestWorld {
 protected:
  static bool Stored(const StartupSettings& expected) {
    StartupSettings stored;
    stored.Load();
    return stored == expected;
  }
};

TEST_F(TriggerStartupPageTest, BoxesAsShown) {
  // The system; its service installed (NT) or entry present (9x); a Run entry; then the service,
  // start-up and minimized boxes shown checked, and the service and start-up boxes enabled.
  using System = platform::OsVersionRecord;
  const std::tuple<const char*, System, bool, bool, bool, bool, bool, bool, bool> rows[] = {
      // The NT line without its service (the Run box): StartupPageE2eTest.
      {"NT service implies both", kWinXP, true, false, true, true, true, false, false},
      {"9x plain", kWin98, false, true, false, true, false, true, true},
      {"9x service implies both", kWinMe, true, false, true, true, true, true, false},
  };
  for (const auto& [name, system, service, runEntry, shownService, shownStartUp, shownMinimized,
                    serviceEnabled, startUpEnabled] : rows) {
    SCOPED_TRACE(name);
    registry.DeleteTree(platform::kCurrentUser, "SOFTWARE");
    registry.DeleteTree(platform::kLocalMachine, "Software");
    scm.services.clear();
    os.Set(system);
    if (service) {
      scm.services["Vesperon"] = {};
      AddRunServicesEntry(self);
    }
    if (runEntry) AddRunEntry(self, DataSystem::kHiveCurrentUser);
    StartupSettings{true, false, false, true, 90061, false, true, 700}.Save();

    const TriggerStartupPage page = LoadTriggerStartupPage();
    EXPECT_EQ(page.values, (TriggerStartupValues{shownService, shownStartUp, true, shownMinimized, false,
                                                 true, {1, 1, 1, 1}, false, true, 600}));
    EXPECT_EQ(std::pair(page.serviceBoxEnabled, page.startUpBoxesEnabled),
              std::pair(serviceEnabled, startUpEnabled));
  }
  // The service box's own rule, on the 9x line where it can change.
  TriggerStartupPage page;
  OnServiceBoxChanged(page, true);
  EXPECT_TRUE(page.values.runAtStartUp && page.values.startMinimized);
  EXPECT_FALSE(page.startUpBoxesEnabled);
  page.values.startMinimized = false;
  OnServiceBoxChanged(page, false);  // unchecking leaves the boxes as they are
  EXPECT_TRUE(page.startUpBoxesEnabled && page.values.runAtStartUp);
}

TEST_F(TriggerStartupPageTest, SavingAppliesTheChoicesFirst) {
  const TriggerStartupValues values{false, true, false, true, true, false, {2, 3, 4, 5}, true, true, 3};
  SaveTriggerStartupPage(values);
  EXPECT_TRUE(IsRunEntry(self, DataSystem::kHiveCurrentUser));
  EXPECT_TRUE(Stored({false, true, true, false, 2 * 86400 + 3 * 3600 + 4 * 60 + 5, true, true, 5}));

  // A start-up entry that cannot be written stops the save before the
  // settings are touched.
  const StartupSettings before{true, false, false, true, 60, false};
  before.Save();
  registry.SetKeyReadOnly(platform::kCurrentUser, kRunKeyPath, true);
  EXPECT_THROW(SaveTriggerStartupPage(values), DataSystem::RegistryException);
  EXPECT_TRUE(Stored(before));
}

}  // namespace
