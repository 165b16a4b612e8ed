// The store on a scripted registry: every key closed, failure codes.
#include <gtest/gtest.h>

#include <functional>
#include <utility>

#include "platform/Services.h"
#include "platform/memory/MemoryRegistry.h"
#include "settings/SettingsStore.h"

namespace {

using namespace DataSystem;
using platform::RegKey;

// The in-memory registry with switchable failures.
class ScriptedRegistry final : public platform::IRegistry {
 public:
  using S = const std::string&;
  platform::MemoryRegistry inner;
  long failInfo = 0, failEnum = 0, failClose = 0;
  std::function<void(RegKey)> beforeRead;  // runs before a QueryValue with a buffer

  long CreateKey(RegKey p, S path, std::uint32_t a, RegKey& o) override { return inner.CreateKey(p, path, a, o); }
  long OpenKey(RegKey p, S path, std::uint32_t a, RegKey& o) override { return inner.OpenKey(p, path, a, o); }
  long CloseKey(RegKey k) override {
    const long result = inner.CloseKey(k);
    return failClose ? failClose : result;
  }
  long QueryValue(RegKey k, S n, std::uint32_t* t, void* d, std::uint32_t* s) override {
    if (d != nullptr && beforeRead) std::exchange(beforeRead, nullptr)(k);
    return inner.QueryValue(k, n, t, d, s);
  }
  long SetValue(RegKey k, S n, std::uint32_t t, const void* d, std::uint32_t s) override {
    return inner.SetValue(k, n, t, d, s);
  }
  long DeleteValue(RegKey k, S n) override { return inner.DeleteValue(k, n); }
  long EnumValue(RegKey k, std::uint32_t i, std::string& n, std::uint32_t& t,
                 std::vector<unsigned char>& d) override {
    return inner.EnumValue(k, i, n, t, d);
  }
  long QueryInfoKey(RegKey k, std::uint32_t* c, platform::RegFileTime* w) override {
    return failInfo ? failInfo : inner.QueryInfoKey(k, c, w);
  }
  long EnumKey(RegKey k, std::uint32_t i, std::string& n, std::uint32_t b) override {
    return failEnum ? failEnum : inner.EnumKey(k, i, n, b);
  }
  long DeleteTree(RegKey p, S path) override { return inner.DeleteTree(p, path); }
  long CopyTree(RegKey s, S path, RegKey t) override { return inner.CopyTree(s, path, t); }
  long SaveKey(RegKey k, S f) override { return inner.SaveKey(k, f); }
  long LoadKey(RegKey r, S n, S f) override { return inner.LoadKey(r, n, f); }
  long UnLoadKey(RegKey r, S n) override { return inner.UnLoadKey(r, n); }
  long SetKeyReadOnly(RegKey p, S path, bool r) override { return inner.SetKeyReadOnly(p, path, r); }
};

class SettingsStoreTest : public ::testing::Test {
 protected:
  void TearDown() override {
    registry.failClose = 0;
    EXPECT_EQ(registry.inner.OpenHandleCount(), 0u) << "a key was left open";
  }
  ScriptedRegistry registry;
  platform::ScopedRegistry installed{registry};
  const HiveSelector hive = kHiveCurrentUser;
  std::vector<std::uint32_t> numbers;
  std::vector<std::string> texts;
};

// The code of the RegistryException a call throws, -1 for none, -2 for another exception.
int RegistryCode(const std::function<void()>& call) {
  try {
    call();
  } catch (const RegistryException& e) {
    return e.code;
  } catch (const Vesperon::Exception&) {
    return -2;
  }
  return -1;
}

TEST_F(SettingsStoreTest, RegistryFailuresBecomeTheirCodesAndCloseTheKey) {
  const struct {
    const char* what;
    long ScriptedRegistry::*failure;
    std::function<void()> call;
    int code;
  } cases[] = {
      {"count", &ScriptedRegistry::failInfo, [&] { ListSubkeys("Profiles", texts, hive); }, 3},
      {"enumerate", &ScriptedRegistry::failEnum, [&] { ListSubkeys("Profiles", texts, hive); }, 4},
      {"failed close is ignored", &ScriptedRegistry::failClose, [&] { ReadNumbers({kExpireDelay}, numbers, "Global", hive); }, -1},
  };
  RegKey profile = 0;  // something to enumerate
  ASSERT_EQ(registry.inner.CreateKey(platform::kCurrentUser,
                                     std::string(RootKeyPath) + "\\Profiles\\P", 0, profile), 0);
  registry.inner.CloseKey(profile);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    registry.*c.failure = platform::kErrorAccessDenied;
    EXPECT_EQ(RegistryCode(c.call), c.code);
    registry.*c.failure = 0;
    EXPECT_EQ(registry.inner.OpenHandleCount(), 0u);
  }
  EXPECT_EQ(RegistryCode([] { OpenExistingSettingsKey("SOFTWARE\\Missing", kHiveCurrentUser, 1); }), 7);
  EXPECT_EQ(RegistryCode([] { OpenSettingsKey("SOFTWARE\\X", kHiveLocalMachine, 1).Close(); }), -1);
  registry.failClose = platform::kErrorInvalidHandle;
  EXPECT_EQ(RegistryCode([] { OpenSettingsKey("SOFTWARE\\X", kHiveLocalMachine, 1).Close(); }), 13);
}

// A text that grows between asking its size and reading it is read whole
// rather than taken for missing (which would overwrite it with a default).
TEST_F(SettingsStoreTest, ATextThatGrowsWhileReadIsReadWhole) {
  ScopedKey key = OpenSettingsKey("SOFTWARE\\T", hive, platform::kKeyAllAccess);
  WriteStringValue(key, "v", "short");
  registry.beforeRead = [&](RegKey k) { registry.inner.SetValue(k, "v", 1, "much longer", 12); };
  EXPECT_EQ(ReadStringValue(key, "v"), "much longer");
}

}  // namespace
