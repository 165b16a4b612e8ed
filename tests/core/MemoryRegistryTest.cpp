// The in-memory registry where Wine cannot show the Windows behaviour it models.
#include <gtest/gtest.h>

#include "platform/memory/MemoryRegistry.h"

namespace {

using namespace platform;

// Windows sorts by the upper-case form, so "_" (after "Z") follows the
// letters; Wine folds to lower case and would put "_x" first. Letters of the
// ANSI code page fold too: one key, first spelling kept.
TEST(MemoryRegistryTest, SubkeysEnumerateInWindowsOrder) {
  MemoryRegistry registry;
  RegKey key = 0;
  for (const char* name : {"b", "A", "a_", "aZ", "a[", "_x", "Ab1", "a0", "a~", "ab", "\xC4rger",
                           "\xE4RGER", "a\\Below"}) {
    ASSERT_EQ(registry.CreateKey(kCurrentUser, std::string("S\\") + name, kKeyRead, key), kOk);
    registry.CloseKey(key);
  }
  ASSERT_EQ(registry.OpenKey(kCurrentUser, "S", kKeyRead, key), kOk);
  std::vector<std::string> names;
  std::string name;
  for (std::uint32_t i = 0; registry.EnumKey(key, i, name) == kOk; ++i) names.push_back(name);
  EXPECT_EQ(names, (std::vector<std::string>{"A", "a0", "ab", "Ab1", "aZ", "a[", "a_", "a~", "b",
                                             "_x", "\xC4rger"}));
}

TEST(MemoryRegistryTest, ReadOnlyKeysRefuseEveryKindOfWriteAccess) {
  MemoryRegistry registry;
  RegKey key = 0;
  ASSERT_EQ(registry.CreateKey(kCurrentUser, "S\\R", kKeyRead, key), kOk);
  ASSERT_EQ(registry.SetKeyReadOnly(kCurrentUser, "S\\r", true), kOk);
  for (std::uint32_t access : {+kKeySetValue, +kKeyCreateSubKey, +kKeyAllAccess, +kKeyWrite,
                               0x40000000u /* GENERIC_WRITE */}) {
    EXPECT_EQ(registry.OpenKey(kCurrentUser, "S\\R", access, key), kErrorAccessDenied) << access;
  }
  // Creating a subkey writes to the key (Wine allows it, Windows does not).
  EXPECT_EQ(registry.CreateKey(kCurrentUser, "S\\R\\New", kKeyRead, key), kErrorAccessDenied);
  EXPECT_EQ(registry.OpenKey(kCurrentUser, "S\\R", kKeyRead, key), kOk);
  ASSERT_EQ(registry.SetKeyReadOnly(kCurrentUser, "S\\R", false), kOk);
  EXPECT_EQ(registry.OpenKey(kCurrentUser, "S\\R", kKeyAllAccess, key), kOk);
}

}  // namespace
