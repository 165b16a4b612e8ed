// The in-memory registry where Wine cannot show the Windows behaviour it models.
#include <gtest/gtest.h>

#include "platform/memory/MemoryRegistry.h"

namespace {

using namespace platform;

class MemoryRegistryTest : public ::testing::Test {
 protected:
  RegKey Create(const std::string& path, std::uint32_t access = kKeyAllAccess) {
    RegKey key = 0;
    EXPECT_EQ(registry.CreateKey(kCurrentUser, path, access, key), kOk) << path;
    return key;
  }
  std::vector<std::string> Subkeys(RegKey key) {
    std::vector<std::string> names;
    std::string name;
    for (std::uint32_t i = 0; registry.EnumKey(key, i, name) == kOk; ++i) names.push_back(name);
    return names;
  }
  MemoryRegistry registry;
};

// Windows sorts by the upper-case form, so "_" (after "Z") follows the
// letters; Wine folds to lower case and would put "_x" first.
TEST_F(MemoryRegistryTest, SubkeysEnumerateInWindowsOrder) {
  const RegKey root = Create("S");
  for (const char* name : {"b", "A", "a_", "aZ", "a[", "_x", "Ab1", "a0", "a~", "ab"}) {
    registry.CloseKey(Create(std::string("S\\") + name));
  }
  EXPECT_EQ(Subkeys(root), (std::vector<std::string>{"A", "a0", "ab", "Ab1", "aZ", "a[", "a_",
                                                     "a~", "b", "_x"}));
  // Letters of the ANSI code page fold too: one key, first spelling kept.
  Create("S\\\xC4rger");
  Create("S\\\xE4RGER");
  EXPECT_EQ(Subkeys(root).back(), "\xC4rger");
  EXPECT_EQ(Subkeys(root).size(), 11u);
}

TEST_F(MemoryRegistryTest, ReadOnlyKeysRefuseEveryKindOfWriteAccess) {
  registry.CloseKey(Create("S\\R"));
  ASSERT_EQ(registry.SetKeyReadOnly(kCurrentUser, "S\\r", true), kOk);
  RegKey key = 0;
  for (std::uint32_t access : {kKeySetValue, kKeyCreateSubKey, kKeyAllAccess, kKeyWrite}) {
    EXPECT_EQ(registry.OpenKey(kCurrentUser, "S\\R", access, key), kErrorAccessDenied) << access;
  }
  // Creating a subkey writes to the key (Wine allows it, Windows does not).
  EXPECT_EQ(registry.CreateKey(kCurrentUser, "S\\R\\New", kKeyRead, key), kErrorAccessDenied);
  EXPECT_EQ(registry.OpenKey(kCurrentUser, "S\\R", kKeyRead, key), kOk);
  ASSERT_EQ(registry.SetKeyReadOnly(kCurrentUser, "S\\R", false), kOk);
  EXPECT_EQ(registry.OpenKey(kCurrentUser, "S\\R", kKeyAllAccess, key), kOk);
}

}  // namespace
