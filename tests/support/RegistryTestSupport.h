#pragma once
// Helpers for tests that look at the registry below the store, through
// platform::Registry() (the in-memory one on the host, the real one on Windows).
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/Registry.h"
#include "platform/Services.h"
#include "platform/TextCase.h"
#include "settings/InternetExplorerVersion.h"
#include "settings/SettingsKey.h"
#include "tests/support/RegistryValues.h"

namespace testsupport {

// The program's root below HKEY_CURRENT_USER, and a key path below it.
inline std::string SettingsPath(const std::string& below = std::string()) {
  return DataSystem::JoinKeyPath(DataSystem::RootKeyPath, below);
}

// Removes the program's whole tree from HKEY_CURRENT_USER.
inline void DeleteSettingsRoot() {
  const long result = platform::Registry().DeleteTree(platform::kCurrentUser, SettingsPath());
  ASSERT_TRUE(result == platform::kOk || result == platform::kErrorFileNotFound) << result;
}

// With its terminating zero.
inline Bytes Text(const std::string& text) { return Bytes(text.c_str(), text.c_str() + text.size() + 1); }

// `result` is kOk, or kErrorFileNotFound when the value or its key is missing.
struct RawValue {
  long result = 0;
  std::uint32_t type = 0;
  Bytes data;
};

inline RawValue ReadRaw(const std::string& path, const std::string& name,
                        platform::RegKey root = platform::kCurrentUser) {
  const std::optional<StoredValue> value = Fetch(path, name, root);
  if (!value) return {platform::kErrorFileNotFound, 0, {}};
  return {platform::kOk, value->type, value->data};
}

inline void WriteRaw(const std::string& path, const std::string& name, std::uint32_t type, const Bytes& data,
                     platform::RegKey root = platform::kCurrentUser) {
  EXPECT_TRUE(Plant({path, name, type, data}, root)) << path << " " << name;
}

inline void WriteNumber(const std::string& path, const std::string& name, std::uint32_t value) {
  WriteRaw(path, name, platform::kRegDword, Dword(value));
}

inline void WriteText(const std::string& path, const std::string& name, const std::string& text,
                      platform::RegKey root = platform::kCurrentUser) {
  WriteRaw(path, name, platform::kRegSz, Text(text), root);
}

inline void CreateKey(const std::string& path) { ASSERT_TRUE(MakeKey(path)) << path; }

// The browser's "Version" below HKEY_LOCAL_MACHINE; forgets the cached version.
inline void WriteBrowserVersion(const std::string& text) {
  WriteText("SOFTWARE\\Microsoft\\Internet Explorer", "Version", text, platform::kLocalMachine);
  Vesperon::ResetInternetExplorerVersionCacheForTesting();
}

// A sample profile below Profiles: every value type the program writes,
// nested keys, an empty key, an empty text and an empty binary value.
inline void WriteSampleProfile(const std::string& name) {
  const std::string base = SettingsPath("Profiles\\" + name);
  WriteRaw(base + "\\MainForm", "Trigger", platform::kRegDword, Dword(3));
  WriteRaw(base + "\\MainForm", "TriggerCmb2", platform::kRegSz, Text(""));
  WriteRaw(base + "\\Reminder", "Txt", platform::kRegSz, Text("Wake up, " + name));
  WriteRaw(base + "\\Reminder\\Deep", "Blob", platform::kRegBinary, {0, 1, 255});
  WriteRaw(base + "\\Reminder\\Deep", "None", platform::kRegBinary, {});
  WriteRaw(base + "\\RAS", "List", platform::kRegMultiSz, {'a', 0, 'b', 0, 0});
  WriteRaw(base, "Own", platform::kRegExpandSz, Text("%TEMP%"));
  CreateKey(base + "\\Empty");
}

// A whole key tree: relative key path -> value name -> (type, data), with
// names folded to upper case so that two trees compare as the registry sees them.
using Tree = std::map<std::string, std::map<std::string, std::pair<std::uint32_t, Bytes>>>;

inline void DumpInto(platform::RegKey parent, const std::string& path, const std::string& relative, Tree& tree) {
  const auto upper = [](std::string text) {
    platform::UpperCaseInPlace(text);
    return text;
  };
  platform::IRegistry& registry = platform::Registry();
  platform::RegKey key = 0;
  ASSERT_EQ(registry.OpenKey(parent, path, platform::kKeyRead, key), platform::kOk) << path;
  auto& values = tree[upper(relative)];
  std::string name;
  std::uint32_t type = 0;
  Bytes data;
  for (std::uint32_t i = 0; registry.EnumValue(key, i, name, type, data) == platform::kOk; ++i) {
    values[upper(name)] = {type, data};
  }
  for (std::uint32_t i = 0; registry.EnumKey(key, i, name) == platform::kOk; ++i) {
    DumpInto(key, name, relative.empty() ? name : relative + "\\" + name, tree);
  }
  registry.CloseKey(key);
}

inline Tree DumpTree(platform::RegKey root, const std::string& path) {
  Tree tree;
  DumpInto(root, path, std::string(), tree);
  return tree;
}

// A file path in the temporary folder that does not exist yet.
inline std::string FreshTempFile(const std::string& name) {
  const std::filesystem::path file = std::filesystem::temp_directory_path() / name;
  std::error_code ignored;
  std::filesystem::remove(file, ignored);
  return file.string();
}

// Makes a key read-only for the guard's lifetime.
class ReadOnlyKey {
 public:
  explicit ReadOnlyKey(std::string path) : path_(std::move(path)) { Set(true); }
  ~ReadOnlyKey() { Set(false); }
  ReadOnlyKey(const ReadOnlyKey&) = delete;
  ReadOnlyKey& operator=(const ReadOnlyKey&) = delete;

 private:
  void Set(bool readOnly) {
    EXPECT_EQ(platform::Registry().SetKeyReadOnly(platform::kCurrentUser, path_, readOnly), platform::kOk);
  }
  std::string path_;
};

}  // namespace testsupport
