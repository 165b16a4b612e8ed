// The registry operations the store and the profile operations rely on,
// against platform::Registry(): both implementations must answer alike.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/RegistryPrivileges.h"
#include "platform/Services.h"
#include "tests/support/RegistryTestSupport.h"

namespace {

using namespace platform;
using testsupport::SettingsPath;

constexpr const char* kMountName = "VESPERON_TEMP_PROFILE";

class RegistryContract : public ::testing::Test {
 protected:
  void SetUp() override { testsupport::DeleteSettingsRoot(); }
  void TearDown() override {
    Close();
    registry.UnLoadKey(kUsers, kMountName);
    testsupport::DeleteSettingsRoot();
    SetBackupRestorePrivileges(false);  // a mount needs them enabled
  }
  RegKey Create(const std::string& below, std::uint32_t access = kKeyAllAccess) {
    RegKey key = 0;
    EXPECT_EQ(registry.CreateKey(kCurrentUser, SettingsPath(below), access, key), kOk) << below;
    opened.push_back(key);
    return key;
  }
  void Close() {
    for (RegKey key : opened) registry.CloseKey(key);
    opened.clear();
  }
  IRegistry& registry = Registry();
  std::vector<RegKey> opened;
};

TEST_F(RegistryContract, QueryValueNegotiatesTheBufferSize) {
  const RegKey key = Create("Global");
  ASSERT_EQ(registry.SetValue(key, "Lang", kRegSz, "hello", 6), kOk);
  std::uint32_t type = 0, size = 0;
  EXPECT_EQ(registry.QueryValue(key, "LANG", &type, nullptr, &size), kOk);
  EXPECT_EQ(type, kRegSz);
  EXPECT_EQ(size, 6u);
  char buffer[8] = "xxxxxxx";
  size = 3;
  EXPECT_EQ(registry.QueryValue(key, "Lang", nullptr, buffer, &size), kErrorMoreData);
  EXPECT_EQ(size, 6u);
  size = sizeof buffer;
  EXPECT_EQ(registry.QueryValue(key, "Lang", nullptr, buffer, &size), kOk);
  EXPECT_EQ(size, 6u);
  EXPECT_STREQ(buffer, "hello");
  EXPECT_EQ(registry.DeleteValue(key, "lang"), kOk);
  EXPECT_EQ(registry.QueryValue(key, "Lang", nullptr, nullptr, &size), kErrorFileNotFound);
}

TEST_F(RegistryContract, HandlesAllowOnlyTheRightsTheyWereOpenedWith) {
  Create("Global");
  const RegKey readOnly = Create("Global", kKeyQueryValue);
  EXPECT_EQ(registry.SetValue(readOnly, "x", kRegDword, "\0\0\0\0", 4), kErrorAccessDenied);
  std::string name;
  EXPECT_EQ(registry.EnumKey(readOnly, 0, name), kErrorAccessDenied);
  // The profile copy must open its target for writing: a key opened without
  // rights takes no values.
  testsupport::WriteSampleProfile("Work");
  const RegKey noRights = Create("Profiles\\Home", 0);
  EXPECT_EQ(registry.CopyTree(kCurrentUser, SettingsPath("Profiles\\Work"), noRights), kErrorAccessDenied);
}

// What the profile import cannot show: an open handle on the mounted tree
// keeps it mounted. (Windows also counts handles on keys below it; Wine does
// not, so only the fake checks that.) A foreign file, a save over a file and
// the round trip are the profile contract's.
TEST_F(RegistryContract, AnOpenHandleKeepsAMount) {
  ASSERT_TRUE(SetBackupRestorePrivileges(true));
  testsupport::WriteSampleProfile("Work");
  const RegKey work = Create("Profiles\\Work", kKeyRead);
  const std::string file = testsupport::FreshTempFile("vesperon-contract.pfl");
  ASSERT_EQ(registry.SaveKey(work, file), kOk);
  ASSERT_EQ(registry.LoadKey(kUsers, kMountName, file), kOk);
  RegKey inside = 0;
  ASSERT_EQ(registry.OpenKey(kUsers, kMountName, kKeyRead, inside), kOk);
  EXPECT_EQ(registry.UnLoadKey(kUsers, kMountName), kErrorAccessDenied);
  registry.CloseKey(inside);
  // A handle still open on a key whose tree is gone keeps nothing mounted.
  Create("Gone\\Below", kKeyRead);
  ASSERT_EQ(registry.DeleteTree(kCurrentUser, SettingsPath("Gone")), kOk);
  EXPECT_EQ(registry.UnLoadKey(kUsers, kMountName), kOk);
  EXPECT_EQ(registry.UnLoadKey(kUsers, kMountName), kErrorFileNotFound);
  std::filesystem::remove(file);
}

}  // namespace
