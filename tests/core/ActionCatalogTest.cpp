#include <gtest/gtest.h>

#include <string>

#include "actions/ActionCatalog.h"
#include "tests/support/FakeOsVersion.h"

using namespace Vesperon;
using namespace testing_support;

namespace {

TEST(ActionCatalogTest, AvailableActionsPerWindowsVersion) {
  struct Row {
    const char* system;
    platform::OsVersionRecord record;
    std::vector<ActionId> expected;
  };
  const std::vector<ActionId> tail = {10, 14, 13, 4, 11, 12, 15, 9};
  auto with = [&](std::vector<ActionId> head) {
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
  };
  const Row rows[] = {
      // The gates of 98, 2000 and XP: SystemTweaksE2eTest, in the running program.
      {"NT 3.51", kNT351, with({})},
      {"2003", kServer2003, with({0, 2, 1, 6, 3, 5, 7})},
  };
  FakeOsVersion os;
  for (const Row& r : rows) {
    SCOPED_TRACE(r.system);
    os.Set(r.record);
    EXPECT_EQ(GetAvailableActions(), r.expected);
    std::vector<ActionId> shortcuts = r.expected;
    shortcuts.push_back(16);
    shortcuts.push_back(17);
    EXPECT_EQ(GetShortcutActions(), shortcuts);
    for (ActionId never : {8, 16, 17, -1, 18}) EXPECT_FALSE(IsActionAvailable(never)) << never;
    for (ActionId id : r.expected) EXPECT_TRUE(IsActionAvailable(id)) << id;
  }
}

TEST(ActionCatalogTest, LockNameFollowsFastUserSwitching) {
  const struct {
    platform::OsVersionRecord record;
    const char* name;
  } rows[] = {{kWinXP, "Lock / Switch user"}, {kServer2003, "Lock"}, {kVista, "Lock / Switch user"}};
  FakeOsVersion os;
  for (const auto& r : rows) {
    os.Set(r.record);
    EXPECT_STREQ(GetActionName(kActionLock), r.name) << r.record.major << "." << r.record.minor;
  }
}

}  // namespace
