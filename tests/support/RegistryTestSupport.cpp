#include "tests/support/RegistryTestSupport.h"

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>

#include "platform/Services.h"
#include "settings/InternetExplorerVersion.h"
#include "settings/SettingsKey.h"

namespace testsupport {
namespace {

using platform::kOk;

// A key opened (or created) for the holder's lifetime.
struct OpenKey {
  OpenKey(platform::RegKey root, const std::string& path, std::uint32_t access, bool create = false)
      : result(create ? registry.CreateKey(root, path, access, key)
                      : registry.OpenKey(root, path, access, key)) {}
  ~OpenKey() {
    if (result == kOk) registry.CloseKey(key);
  }
  platform::IRegistry& registry = platform::Registry();
  platform::RegKey key = 0;
  long result;
};

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
  for (std::uint32_t i = 0; registry.EnumValue(key, i, name, type, data) == kOk; ++i) {
    values[Upper(name)] = {type, data};
  }
  for (std::uint32_t i = 0; registry.EnumKey(key, i, name) == kOk; ++i) {
    OpenKey child(key, name, platform::kKeyRead);
    ASSERT_EQ(child.result, kOk) << name;
    DumpInto(child.key, relative.empty() ? name : relative + "\\" + name, tree);
  }
}

}  // namespace

std::string SettingsPath(const std::string& below) {
  return DataSystem::JoinKeyPath(DataSystem::RootKeyPath, below);
}

void DeleteSettingsRoot() {
  const long result = platform::Registry().DeleteTree(platform::kCurrentUser, SettingsPath());
  ASSERT_TRUE(result == kOk || result == platform::kErrorFileNotFound) << result;
}

RawValue ReadRaw(const std::string& path, const std::string& name, platform::RegKey root) {
  OpenKey open(root, path, platform::kKeyQueryValue);
  RawValue raw{open.result, 0, {}};
  std::uint32_t size = 0;
  if (raw.result == kOk) raw.result = open.registry.QueryValue(open.key, name, &raw.type, nullptr, &size);
  raw.data.resize(size);
  if (raw.result == kOk) {
    raw.result = open.registry.QueryValue(open.key, name, &raw.type, raw.data.data(), &size);
  }
  raw.data.resize(size);
  return raw;
}

void WriteRaw(const std::string& path, const std::string& name, std::uint32_t type,
              const Bytes& data, platform::RegKey root) {
  OpenKey open(root, path, platform::kKeyAllAccess, true);
  ASSERT_EQ(open.result, kOk);
  EXPECT_EQ(open.registry.SetValue(open.key, name, type, data.data(),
                                   static_cast<std::uint32_t>(data.size())),
            kOk);
}

void WriteNumber(const std::string& path, const std::string& name, std::uint32_t value) {
  WriteRaw(path, name, platform::kRegDword, Dword(value));
}

void WriteText(const std::string& path, const std::string& name, const std::string& text,
               platform::RegKey root) {
  WriteRaw(path, name, platform::kRegSz, Text(text), root);
}

void CreateKey(const std::string& path) {
  EXPECT_EQ(OpenKey(platform::kCurrentUser, path, platform::kKeyAllAccess, true).result, kOk);
}

void WriteBrowserVersion(const std::string& text) {
  WriteText("SOFTWARE\\Microsoft\\Internet Explorer", "Version", text, platform::kLocalMachine);
  Vesperon::ResetInternetExplorerVersionCacheForTesting();
}

bool KeyExists(const std::string& path, platform::RegKey root) {
  return OpenKey(root, path, platform::kKeyQueryValue).result == kOk;
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
  OpenKey open(platform::kCurrentUser, path, platform::kKeyQueryValue);
  platform::RegFileTime time = 0;
  EXPECT_EQ(open.registry.QueryInfoKey(open.key, nullptr, &time), kOk);
  return time;
}

Tree DumpTree(platform::RegKey root, const std::string& path) {
  Tree tree;
  OpenKey open(root, path, platform::kKeyRead);
  EXPECT_EQ(open.result, kOk);
  if (open.result == kOk) DumpInto(open.key, std::string(), tree);
  return tree;
}

std::string FreshTempFile(const std::string& name) {
  const std::filesystem::path file = std::filesystem::temp_directory_path() / name;
  std::error_code ignored;
  std::filesystem::remove(file, ignored);
  return file.string();
}

ReadOnlyKey::ReadOnlyKey(std::string path) : path_(std::move(path)) {
  EXPECT_EQ(platform::Registry().SetKeyReadOnly(platform::kCurrentUser, path_, true), kOk);
}

ReadOnlyKey::~ReadOnlyKey() {
  EXPECT_EQ(platform::Registry().SetKeyReadOnly(platform::kCurrentUser, path_, false), kOk);
}

}  // namespace testsupport
