#pragma once
// Helpers for tests that look at the registry below the store, through
// platform::Registry() (the in-memory one on the host, the real one on Windows).
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/Registry.h"

namespace testsupport {

using Bytes = std::vector<unsigned char>;

// The program's root below HKEY_CURRENT_USER, and a key path below it.
std::string SettingsPath(const std::string& below = std::string());

// Removes the program's whole tree from HKEY_CURRENT_USER.
void DeleteSettingsRoot();

struct RawValue {
  long result = 0;
  std::uint32_t type = 0;
  Bytes data;
};
RawValue ReadRaw(const std::string& path, const std::string& name,
                 platform::RegKey root = platform::kCurrentUser);
void WriteRaw(const std::string& path, const std::string& name, std::uint32_t type,
              const Bytes& data, platform::RegKey root = platform::kCurrentUser);
void WriteNumber(const std::string& path, const std::string& name, std::uint32_t value);
void WriteText(const std::string& path, const std::string& name, const std::string& text,
               platform::RegKey root = platform::kCurrentUser);
void CreateKey(const std::string& path);
// The browser's "Version" below HKEY_LOCAL_MACHINE; forgets the cached version.
void WriteBrowserVersion(const std::string& text);
bool KeyExists(const std::string& path, platform::RegKey root = platform::kCurrentUser);
Bytes Dword(std::uint32_t value);
Bytes Text(const std::string& text);  // with its terminating zero
platform::RegFileTime LastWriteTime(const std::string& path);

// A whole key tree: relative key path -> value name -> (type, data), with
// names folded to upper case so that two trees compare as the registry sees them.
using Tree = std::map<std::string, std::map<std::string, std::pair<std::uint32_t, Bytes>>>;
Tree DumpTree(platform::RegKey root, const std::string& path);

// A file path in the temporary folder that does not exist yet.
std::string FreshTempFile(const std::string& name);

// Makes a key read-only for the guard's lifetime.
class ReadOnlyKey {
 public:
  explicit ReadOnlyKey(std::string path);
  ~ReadOnlyKey();
  ReadOnlyKey(const ReadOnlyKey&) = delete;
  ReadOnlyKey& operator=(const ReadOnlyKey&) = delete;

 private:
  std::string path_;
};

}  // namespace testsupport
