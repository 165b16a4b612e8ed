// The tweaks dialog's shutdown settings: what each value shows, what OK stores, in which order.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "platform/Services.h"
#include "platform/memory/MemoryRegistry.h"
#include "settings/StoreExceptions.h"
#include "system/SystemTweaks.h"
#include "tests/support/FakeOsVersion.h"
#include "tests/support/RegistryTestSupport.h"

using namespace Vesperon;
using namespace testing_support;

namespace {

struct Value {
  TweakRow setting;
  std::uint32_t type;
  testsupport::Bytes data;
  bool operator==(const Value&) const = default;
};
Value Sz(TweakRow setting, const char* text) {
  return {setting, platform::kRegSz, testsupport::Text(text)};
}
Value Dw(TweakRow setting, std::uint32_t number) {
  return {setting, platform::kRegDword, testsupport::Dword(number)};
}

class SystemTweaksTest : public ::testing::Test {
 protected:
  static void Put(const Value& value) {
    const TweakStorage& s = StorageOf(value.setting);
    testsupport::WriteRaw(s.keyPath, s.valueName, value.type, value.data, DataSystem::HiveRoot(s.hive));
  }
  // What the seven settings hold, in row order; those never written are left out.
  static std::vector<Value> Stored() {
    std::vector<Value> values;
    for (int row = 0; row < kTweakRowCount; ++row) {
      const TweakStorage& s = StorageOf(static_cast<TweakRow>(row));
      const auto raw = testsupport::ReadRaw(s.keyPath, s.valueName, DataSystem::HiveRoot(s.hive));
      if (raw.result == platform::kOk) values.push_back({static_cast<TweakRow>(row), raw.type, raw.data});
    }
    return values;
  }

  FakeOsVersion os{kWinXP};
};

TEST_F(SystemTweaksTest, StoredValuesShowAsTheMappingSays) {
  const std::tuple<platform::OsVersionRecord, std::vector<Value>, TweakRow, std::int32_t> rows[] = {
      {kWinXP, {}, kTweakWaitToKill, 20},
      {kWinXP, {Sz(kTweakWaitToKill, "7000ms")}, kTweakWaitToKill, 20},
      {kWinXP, {Sz(kTweakWaitToKill, "99999999999")}, kTweakWaitToKill, 20},
      {kWinXP, {Dw(kTweakClearPageFile, 1)}, kTweakClearPageFile, 1},
      {kWinXP, {Sz(kTweakClearPageFile, "1")}, kTweakClearPageFile, 0},  // no REG_DWORD
      {kWinXP, {Dw(kTweakStatusMessages, 0)}, kTweakStatusMessages, 1},
      {kWinXP, {Dw(kTweakVerboseStatus, 2)}, kTweakVerboseStatus, 1},
      {kWinXP, {Sz(kTweakLogonShutdown, "0")}, kTweakLogonShutdown, 1},
      {kWin98, {}, kTweakFastReboot, 0},
      {kWin98, {Sz(kTweakFastReboot, "0")}, kTweakFastReboot, 1},
      {kWin98, {Sz(kTweakFastReboot, "")}, kTweakFastReboot, 0},  // no number: the default
      // The DHCP row is checked only while fast shutdown is off.
      {kWin98, {Dw(kTweakReleaseLease, 1)}, kTweakReleaseLease, 0},
      {kWin98, {Dw(kTweakReleaseLease, 1), Sz(kTweakFastReboot, "0")}, kTweakReleaseLease, 1},
      // A system without the setting does not read it.
      {kWin98, {Sz(kTweakWaitToKill, "7000")}, kTweakWaitToKill, 0},
      {kWinXP, {Sz(kTweakFastReboot, "0")}, kTweakFastReboot, 0},
  };
  for (const auto& r : rows) {
    const auto& [system, stored, row, shown] = r;
    platform::MemoryRegistry fresh;
    platform::ScopedRegistry guard(fresh);
    os.Set(system);
    for (const Value& v : stored) Put(v);
    const std::string label = std::string(StorageOf(row).valueName) + " #" + std::to_string(&r - rows);
    EXPECT_EQ(LoadTweakState().value[row], shown) << label;
    EXPECT_EQ(fresh.OpenHandleCount(), 0u) << label;
  }
}

// What OK stores: only touched rows, the fast shutdown value rewritten after
// the DHCP release, and nothing after a refused key (the order shows there).
TEST_F(SystemTweaksTest, OkWritesOnlyTouchedRowsInItsOrderAndStopsAtARefusal) {
  // The rows touched, control states other than `all`'s, whether the key of the status message
  // settings is read-only, and what is stored, in row order.
  using Row = std::tuple<const char*, platform::OsVersionRecord, std::vector<TweakRow>,
                         std::vector<TweakWrite>, bool, std::vector<Value>>;
  EXPECT_EQ(WritesForTweak(kTweakReleaseLease, 1),
            (std::vector<TweakWrite>{{kTweakReleaseLease, 1}, {kTweakFastReboot, 0}}));
  // Values of a state where every box is checked, "Verbose" chosen, 30 s.
  TweakState all;
  all.value.fill(1);
  all.value[kTweakWaitToKill] = 30;
  const Row rows[] = {
      {"all on XP", kWinXP,
       {kTweakVerboseStatus, kTweakWaitToKill, kTweakLogonShutdown, kTweakStatusMessages,
        kTweakClearPageFile, kTweakReleaseLease, kTweakFastReboot}, {}, false,
       {Dw(kTweakClearPageFile, 1), Sz(kTweakWaitToKill, "30000"), Dw(kTweakStatusMessages, 0),
        Dw(kTweakVerboseStatus, 1), Sz(kTweakLogonShutdown, "0")}},
      {"all on 98", kWin98, {kTweakReleaseLease, kTweakFastReboot, kTweakClearPageFile, kTweakWaitToKill}, {},
       false, {Dw(kTweakReleaseLease, 1), Sz(kTweakFastReboot, "0")}},
      // Fast shutdown left on but the DHCP release checked: the release wins.
      {"DHCP after fast shutdown", kWinMe, {kTweakFastReboot, kTweakReleaseLease}, {{kTweakFastReboot, 0}},
       false, {Dw(kTweakReleaseLease, 1), Sz(kTweakFastReboot, "0")}},
      {"zeros on XP", kWinXP, {kTweakWaitToKill, kTweakClearPageFile, kTweakLogonShutdown},
       {{kTweakWaitToKill, 0}, {kTweakClearPageFile, 0}, {kTweakLogonShutdown, 0}}, false,
       {Dw(kTweakClearPageFile, 0), Sz(kTweakWaitToKill, "0"), Sz(kTweakLogonShutdown, "1")}},
      {"zeros on 98", kWin98, {kTweakReleaseLease, kTweakFastReboot},
       {{kTweakReleaseLease, 0}, {kTweakFastReboot, 0}}, false,
       {Dw(kTweakReleaseLease, 0), Sz(kTweakFastReboot, "1")}},
      {"refused policy key", kWinXP, {kTweakWaitToKill, kTweakStatusMessages, kTweakClearPageFile}, {}, true,
       {Dw(kTweakClearPageFile, 1)}},
  };
  for (const auto& [label, system, touched, changed, policiesRefused, stored] : rows) {
    platform::MemoryRegistry fresh;
    platform::ScopedRegistry guard(fresh);
    os.Set(system);
    TweakState state = all;
    for (TweakRow row : touched) state.touched[row] = true;
    for (const TweakWrite& change : changed) state.value[change.setting] = change.value;
    if (policiesRefused) {
      const char* policies = StorageOf(kTweakStatusMessages).keyPath;
      platform::RegKey key = 0;
      fresh.CreateKey(platform::kLocalMachine, policies, platform::kKeyAllAccess, key);
      fresh.CloseKey(key);
      fresh.SetKeyReadOnly(platform::kLocalMachine, policies, true);
      EXPECT_THROW(SaveTweakState(state), DataSystem::RegistryException) << label;
    } else {
      SaveTweakState(state);
    }
    EXPECT_EQ(Stored(), stored) << label;
    EXPECT_EQ(fresh.OpenHandleCount(), 0u) << label;
  }
}

TEST_F(SystemTweaksTest, EachVersionShowsTheRowsOfItsSettings) {
  // 98, 2000 and XP: SystemTweaksE2eTest.
  const std::pair<platform::OsVersionRecord, std::vector<TweakRow>> rows[] = {
      {kWin95, {kTweakFastReboot}},
      {kNT351, {}},
      {kNT4, {kTweakWaitToKill, kTweakLogonShutdown}},
  };
  for (const auto& [system, shown] : rows) {
    os.Set(system);
    EXPECT_EQ(ShownTweakRows(), shown) << system.major << "." << system.minor;
  }
}

TEST_F(SystemTweaksTest, TimeoutFieldTextAndArrows) {
  using Text = std::tuple<const char*, bool, std::int32_t>;
  // A refused text leaves the seconds alone (-1 here).
  const Text texts[] = {{" 12 ", true, 12}, {"", false, -1}, {"abc", false, -1}, {"-3", true, 0},
                        {"2147484", true, kMaxTimeoutSeconds}, {"99999999999", true, kMaxTimeoutSeconds}};
  for (const auto& [text, ok, expected] : texts) {
    std::int32_t seconds = -1;
    EXPECT_EQ(ParseTimeoutSeconds(text, seconds), ok) << text;
    EXPECT_EQ(seconds, expected) << text;
  }
  const std::tuple<std::int32_t, std::int32_t, std::int32_t> arrows[] = {
      {20, 1, 19}, {0, 1, 0}, {5, -10, 15}, {kMaxTimeoutSeconds, -1, kMaxTimeoutSeconds}};
  for (const auto& [seconds, step, after] : arrows) {
    EXPECT_EQ(TimeoutAfterSpin(seconds, step), after) << seconds << " " << step;
  }
}

}  // namespace
