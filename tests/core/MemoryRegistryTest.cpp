// The in-memory registry where Wine cannot show the Windows behaviour it models.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/memory/MemoryRegistry.h"
#include "tests/support/RegistryTestSupport.h"

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
  std::string WriteFile(const std::string& text) {
    const std::string file = testsupport::FreshTempFile("vesperon-memory-registry.tree");
    std::ofstream(file, std::ios::binary) << text;
    return file;
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

TEST_F(MemoryRegistryTest, HandlesAreCheckedLikeWindowsDoes) {
  const RegKey key = Create("S\\K");
  const RegKey enumOnly = Create("S\\K", kKeyEnumerateSubKeys);
  EXPECT_EQ(registry.QueryInfoKey(enumOnly, nullptr, nullptr), kErrorAccessDenied);
  EXPECT_EQ(registry.CloseKey(kCurrentUser), kOk);
  EXPECT_EQ(registry.CloseKey(0x1234), kErrorInvalidHandle);
  EXPECT_EQ(registry.CloseKey(enumOnly), kOk);
  EXPECT_EQ(registry.CloseKey(enumOnly), kErrorInvalidHandle);
  EXPECT_EQ(registry.SetValue(enumOnly, "v", kRegDword, "\0\0\0\0", 4), kErrorInvalidHandle);
  ASSERT_EQ(registry.DeleteTree(kCurrentUser, "S"), kOk);
  std::uint32_t size = 0;
  EXPECT_EQ(registry.QueryValue(key, "v", nullptr, nullptr, &size), kErrorKeyDeleted);
  EXPECT_EQ(registry.CloseKey(key), kOk);
  EXPECT_EQ(registry.OpenHandleCount(), 0u);
}

TEST_F(MemoryRegistryTest, ReadOnlyKeysRefuseEveryKindOfWriteAccess) {
  registry.CloseKey(Create("S\\R"));
  ASSERT_EQ(registry.SetKeyReadOnly(kCurrentUser, "S\\r", true), kOk);
  RegKey key = 0;
  const std::uint32_t writeRights[] = {kKeySetValue, kKeyCreateSubKey, kKeyAllAccess, kKeyWrite,
                                       0x40000000 /* GENERIC_WRITE */};
  for (std::uint32_t access : writeRights) {
    EXPECT_EQ(registry.OpenKey(kCurrentUser, "S\\R", access, key), kErrorAccessDenied) << access;
  }
  // Creating a subkey writes to the key (Wine allows it, Windows does not).
  EXPECT_EQ(registry.CreateKey(kCurrentUser, "S\\R\\New", kKeyRead, key), kErrorAccessDenied);
  EXPECT_EQ(registry.OpenKey(kCurrentUser, "S\\R", kKeyRead, key), kOk);
  ASSERT_EQ(registry.SetKeyReadOnly(kCurrentUser, "S\\R", false), kOk);
  EXPECT_EQ(registry.OpenKey(kCurrentUser, "S\\R", kKeyAllAccess, key), kOk);
}

TEST_F(MemoryRegistryTest, AKeyOpenBelowAMountedTreeKeepsItMounted) {
  const RegKey source = Create("S");
  registry.CloseKey(Create("S\\Sub"));
  const std::string file = testsupport::FreshTempFile("vesperon-memory-mount.tree");
  ASSERT_EQ(registry.SaveKey(source, file), kOk);
  ASSERT_EQ(registry.LoadKey(kUsers, "M", file), kOk);
  RegKey below = 0;
  ASSERT_EQ(registry.OpenKey(kUsers, "M\\Sub", kKeyRead, below), kOk);
  EXPECT_EQ(registry.UnLoadKey(kUsers, "M"), kErrorAccessDenied);
  EXPECT_EQ(registry.DeleteTree(kUsers, "M"), kErrorAccessDenied);  // only unloading removes it
  registry.CloseKey(below);
  EXPECT_EQ(registry.UnLoadKey(kUsers, "M"), kOk);
  EXPECT_EQ(registry.LoadKey(kCurrentUser, "M", file), kErrorInvalidParameter);
  std::filesystem::remove(file);
}

TEST_F(MemoryRegistryTest, AnyByteSurvivesASavedTree) {
  const RegKey source = Create("S\\Odd name \n-K");
  const std::string name("a b\nc\0d", 7);
  const testsupport::Bytes data{'\n', 0, ' ', 0xFF, '-'};
  ASSERT_EQ(registry.SetValue(source, name, 0xFFFFFFFFu, data.data(), 5), kOk);
  const std::string file = testsupport::FreshTempFile("vesperon-memory-bytes.tree");
  ASSERT_EQ(registry.SaveKey(Create("S"), file), kOk);
  ASSERT_EQ(registry.LoadKey(kUsers, "M", file), kOk);
  const RegKey loaded = [&] {
    RegKey key = 0;
    EXPECT_EQ(registry.OpenKey(kUsers, "M\\odd NAME \n-k", kKeyRead, key), kOk);
    return key;
  }();
  std::string readName;
  std::uint32_t type = 0;
  testsupport::Bytes readData;
  ASSERT_EQ(registry.EnumValue(loaded, 0, readName, type, readData), kOk);
  EXPECT_EQ(readName, name);
  EXPECT_EQ(type, 0xFFFFFFFFu);
  EXPECT_EQ(readData, data);
  std::filesystem::remove(file);
}

TEST_F(MemoryRegistryTest, ADamagedSavedTreeMountsNothing) {
  const std::string header = "VESPERON-REGISTRY-TREE 1\n";
  const struct {
    const char* what;
    std::string text;
    long expected;
  } cases[] = {
      {"sound file", header + "K -\nV 4 41 01000000\nK 41\nK 415C42\nV 3 - -\nEND\n", kOk},
      {"other header", "VESPERON-REGISTRY-TREE 2\nK -\nEND\n", kErrorNotRegistryFile},
      {"cut short", header + "K -\nV 4 41 01000000\n", kErrorNotRegistryFile},
      {"text after the end", header + "K -\nEND\nK 41\n", kErrorNotRegistryFile},
      {"child before its parent", header + "K -\nK 415C42\nEND\n", kErrorNotRegistryFile},
      {"key twice", header + "K -\nK 41\nK 61\nEND\n", kErrorNotRegistryFile},
      {"value twice", header + "K -\nV 4 41 00\nV 1 61 00\nEND\n", kErrorNotRegistryFile},
      {"odd hex", header + "K -\nV 4 41 010\nEND\n", kErrorNotRegistryFile},
      {"type too large", header + "K -\nV 4294967296 41 00\nEND\n", kErrorNotRegistryFile},
      {"empty key name", header + "K -\nK 415C5C42\nEND\n", kErrorNotRegistryFile},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string file = WriteFile(c.text);
    EXPECT_EQ(registry.LoadKey(kUsers, "M", file), c.expected);
    RegKey key = 0;
    EXPECT_EQ(registry.OpenKey(kUsers, "M", kKeyRead, key) == kOk, c.expected == kOk);
    registry.CloseKey(key);
    registry.UnLoadKey(kUsers, "M");
    std::filesystem::remove(file);
  }
}

TEST_F(MemoryRegistryTest, CopyingATreeIntoItselfCopiesItOnce) {
  registry.CloseKey(Create("S\\A\\B"));
  const RegKey inside = Create("S\\A\\B");
  ASSERT_EQ(registry.CopyTree(kCurrentUser, "S\\A", inside), kOk);
  EXPECT_EQ(Subkeys(inside), std::vector<std::string>{"B"});
  RegKey key = 0;
  EXPECT_EQ(registry.OpenKey(kCurrentUser, "S\\A\\B\\B", kKeyRead, key), kOk);
  EXPECT_EQ(registry.OpenKey(kCurrentUser, "S\\A\\B\\B\\B", kKeyRead, key), kErrorFileNotFound);
}

}  // namespace
