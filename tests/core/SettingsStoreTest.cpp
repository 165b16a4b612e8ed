// The store on a scripted registry: every key closed, failure codes.
#include <gtest/gtest.h>

#include <functional>

#include "platform/Services.h"
#include "platform/memory/MemoryRegistry.h"
#include "settings/SettingsStore.h"
#include "tests/support/FaultyRegistry.h"
#include "tests/support/Thrown.h"

namespace {

using namespace DataSystem;
using platform::RegKey;
using testing_support::CodeOf;
using Faulty = testsupport::FaultyRegistry;

class SettingsStoreTest : public ::testing::Test {
 protected:
  void TearDown() override {
    registry.failClose = 0;
    EXPECT_EQ(memory.OpenHandleCount(), 0u) << "a key was left open";
  }
  platform::MemoryRegistry memory;
  Faulty registry{memory};
  platform::ScopedRegistry installed{registry};
  const HiveSelector hive = kHiveCurrentUser;
  std::vector<std::uint32_t> numbers;
  std::vector<std::string> texts;
};

TEST_F(SettingsStoreTest, RegistryFailuresBecomeTheirCodesAndCloseTheKey) {
  const struct {
    const char* what;
    long Faulty::*failure;
    std::function<void()> call;
    int code;
  } cases[] = {
      {"count", &Faulty::failInfo, [&] { ListSubkeys("Profiles", texts, hive); }, 3},
      {"enumerate", &Faulty::failEnum, [&] { ListSubkeys("Profiles", texts, hive); }, 4},
      {"failed close is ignored", &Faulty::failClose, [&] { ReadNumbers({kExpireDelay}, numbers, "Global", hive); }, -1},
  };
  RegKey profile = 0;  // something to enumerate
  ASSERT_EQ(memory.CreateKey(platform::kCurrentUser, std::string(RootKeyPath) + "\\Profiles\\P", 0, profile), 0);
  memory.CloseKey(profile);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    registry.*c.failure = platform::kErrorAccessDenied;
    EXPECT_EQ(CodeOf<RegistryException>(c.call), c.code);
    registry.*c.failure = 0;
    EXPECT_EQ(memory.OpenHandleCount(), 0u);
  }
  EXPECT_EQ(CodeOf<RegistryException>([] { OpenExistingSettingsKey("SOFTWARE\\Missing", kHiveCurrentUser, 1); }), 7);
  EXPECT_EQ(CodeOf<RegistryException>([] { OpenSettingsKey("SOFTWARE\\X", kHiveLocalMachine, 1).Close(); }), -1);
  registry.failClose = platform::kErrorInvalidHandle;
  EXPECT_EQ(CodeOf<RegistryException>([] { OpenSettingsKey("SOFTWARE\\X", kHiveLocalMachine, 1).Close(); }), 13);
}

// A text that grows between asking its size and reading it is read whole
// rather than taken for missing (which would overwrite it with a default).
TEST_F(SettingsStoreTest, ATextThatGrowsWhileReadIsReadWhole) {
  ScopedKey key = OpenSettingsKey("SOFTWARE\\T", hive, platform::kKeyAllAccess);
  WriteStringValue(key, "v", "short");
  registry.beforeRead = [&](RegKey k) { memory.SetValue(k, "v", 1, "much longer", 12); };
  EXPECT_EQ(ReadStringValue(key, "v"), "much longer");
}

}  // namespace
