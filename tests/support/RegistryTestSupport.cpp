#include "tests/support/RegistryTestSupport.h"

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>

#include "settings/InternetExplorerVersion.h"
#include "platform/Services.h"
#include "settings/SettingsKey.h"

namespace testsupport {
namespace {

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

void DumpInto(platform::RegKey key, const std::string& relative, Tree& tree) {
  platform::IRegistry& registry = platform::Registry();
  auto& values = tree[Upper(relative)];
  std::string name;
  std::uint32_t type = 0;
  Bytes data;
  for (std::uint32_t i = 0; registry.EnumValue(key, i, name, type, data) == platform::kOk; ++i) {
    values[Upper(name)] = {type, data};
  }
  for (std::uint32_t i = 0; registry.EnumKey(key, i, name) == platform::kOk; ++i) {
    platform::RegKey child = 0;
    ASSERT_EQ(registry.OpenKey(key, name, platform::kKeyRead, child), platform::kOk) << name;
    DumpInto(child, relative.empty() ? name : relative + "\\" + name, tree);
    registry.CloseKey(child);
  }
}

}  // namespace

std::string SettingsPath(const std::string& below) {
  return DataSystem::JoinKeyPath(DataSystem::RootKeyPath, below);
}

void DeleteSettingsRoot() {
  const long result = platform::Registry().DeleteTree(platform::kCurrentUser, SettingsPath());
  ASSERT_TRUE(result == platform::kOk || result == platform::kErrorFileNotFound) << result;
}

RawValue ReadRaw(const std::string& path, const std::string& name, platform::RegKey root) {
  platform::IRegistry& registry = platform::Registry();
  RawValue raw;
  platform::RegKey key = 0;
  raw.result = registry.OpenKey(root, path, platform::kKeyQueryValue, key);
  if (raw.result != platform::kOk) return raw;
  std::uint32_t size = 0;
  raw.result = registry.QueryValue(key, name, &raw.type, nullptr, &size);
  if (raw.result == platform::kOk) {
    raw.data.resize(size);
    raw.result = registry.QueryValue(key, name, &raw.type, raw.data.data(), &size);
    raw.data.resize(size);
  }
  registry.CloseKey(key);
  return raw;
}

void WriteRaw(const std::string& path, const std::string& name, std::uint32_t type,
              const Bytes& data, platform::RegKey root) {
  platform::IRegistry& registry = platform::Registry();
  platform::RegKey key = 0;
  ASSERT_EQ(registry.CreateKey(root, path, platform::kKeyAllAccess, key), platform::kOk);
  EXPECT_EQ(registry.SetValue(key, name, type, data.data(), static_cast<std::uint32_t>(data.size())),
            platform::kOk);
  registry.CloseKey(key);
}

void WriteNumber(const std::string& path, const std::string& name, std::uint32_t value) {
  WriteRaw(path, name, platform::kRegDword, Dword(value));
}

void WriteText(const std::string& path, const std::string& name, const std::string& text,
               platform::RegKey root) {
  WriteRaw(path, name, platform::kRegSz, Text(text), root);
}

void CreateKey(const std::string& path) {
  platform::RegKey key = 0;
  ASSERT_EQ(platform::Registry().CreateKey(platform::kCurrentUser, path, platform::kKeyAllAccess, key),
            platform::kOk);
  platform::Registry().CloseKey(key);
}

void WriteBrowserVersion(const std::string& text) {
  WriteText("SOFTWARE\\Microsoft\\Internet Explorer", "Version", text, platform::kLocalMachine);
  Vesperon::ResetInternetExplorerVersionCacheForTesting();
}

bool KeyExists(const std::string& path, platform::RegKey root) {
  platform::RegKey key = 0;
  if (platform::Registry().OpenKey(root, path, platform::kKeyQueryValue, key) != platform::kOk) {
    return false;
  }
  platform::Registry().CloseKey(key);
  return true;
}

Bytes Dword(std::uint32_t v) {
  return {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
          static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 24)};
}

Bytes Text(const std::string& text) {
  Bytes bytes(text.begin(), text.end());
  bytes.push_back(0);
  return bytes;
}

platform::RegFileTime LastWriteTime(const std::string& path) {
  platform::IRegistry& registry = platform::Registry();
  platform::RegKey key = 0;
  platform::RegFileTime time = 0;
  EXPECT_EQ(registry.OpenKey(platform::kCurrentUser, path, platform::kKeyQueryValue, key),
            platform::kOk);
  EXPECT_EQ(registry.QueryInfoKey(key, nullptr, &time), platform::kOk);
  registry.CloseKey(key);
  return time;
}

Tree DumpTree(platform::RegKey root, const std::string& path) {
  Tree tree;
  platform::RegKey key = 0;
  EXPECT_EQ(platform::Registry().OpenKey(root, path, platform::kKeyRead, key), platform::kOk);
  DumpInto(key, std::string(), tree);
  platform::Registry().CloseKey(key);
  return tree;
}

std::string FreshTempFile(const std::string& name) {
  const std::filesystem::path file = std::filesystem::temp_directory_path() / name;
  std::error_code ignored;
  std::filesystem::remove(file, ignored);
  return file.string();
}

ReadOnlyKey::ReadOnlyKey(std::string path) : path_(std::move(path)) {
  EXPECT_EQ(platform::Registry().SetKeyReadOnly(platform::kCurrentUser, path_, true),
            platform::kOk);
}

ReadOnlyKey::~ReadOnlyKey() {
  EXPECT_EQ(platform::Registry().SetKeyReadOnly(platform::kCurrentUser, path_, false),
            platform::kOk);
}

}  // namespace testsupport
