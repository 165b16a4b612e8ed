#pragma once
// An in-memory registry with the observable behaviour of the Windows one:
// the host build's registry and the fake that unit tests install. One map
// from a key's full path (compared without regard to case) to its values;
// a key's subkeys are the paths one level below it. Names keep the case
// they were created with, values keep their type and exact size, subkeys
// enumerate in sorted order, handles carry the rights they were opened with,
// and each key has a last write time.
#include <cstddef>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/Registry.h"

namespace platform {

class MemoryRegistry final : public IRegistry {
 public:
  MemoryRegistry();

  // Handles handed out and not closed yet (the predefined roots not counted).
  std::size_t OpenHandleCount() const { return handles_.size(); }

  long CreateKey(RegKey parent, const std::string& path, std::uint32_t access,
                 RegKey& out) override;
  long OpenKey(RegKey parent, const std::string& path, std::uint32_t access,
               RegKey& out) override;
  long CloseKey(RegKey key) override;
  long QueryValue(RegKey key, const std::string& name, std::uint32_t* type, void* data,
                  std::uint32_t* size) override;
  long SetValue(RegKey key, const std::string& name, std::uint32_t type, const void* data,
                std::uint32_t size) override;
  long DeleteValue(RegKey key, const std::string& name) override;
  long EnumValue(RegKey key, std::uint32_t index, std::string& name, std::uint32_t& type,
                 std::vector<unsigned char>& data) override;
  long QueryInfoKey(RegKey key, std::uint32_t* subkeys, RegFileTime* lastWrite) override;
  long EnumKey(RegKey key, std::uint32_t index, std::string& name,
               std::uint32_t bufferChars = 260) override;
  long DeleteTree(RegKey parent, const std::string& path) override;
  long CopyTree(RegKey source, const std::string& path, RegKey target) override;
  long SaveKey(RegKey key, const std::string& file) override;
  long LoadKey(RegKey root, const std::string& name, const std::string& file) override;
  long UnLoadKey(RegKey root, const std::string& name) override;
  long SetKeyReadOnly(RegKey parent, const std::string& path, bool readOnly) override;

  struct Value {
    std::string name;
    std::uint32_t type = kRegNone;
    std::vector<unsigned char> data;
  };
  struct Key {
    std::string name;           // the last component, as first spelled
    std::vector<Value> values;  // in creation order
    RegFileTime lastWrite = 0;
    bool readOnly = false;
    bool mounted = false;       // the root of a loaded file
    std::uint64_t id = 0;       // a handle to a deleted key must not reach its successor
  };
  // A subtree below some key: its path relative to that key ("" for the key).
  using Tree = std::vector<std::pair<std::string, std::vector<Value>>>;

 private:
  struct Handle {
    std::string path;  // folded
    std::uint64_t id = 0;
    std::uint32_t access = 0;
  };

  // A key reached through a handle or a path, with the rights it was opened with.
  struct Found {
    Found(long failure = kOk, std::string at = {}) : result(failure), path(std::move(at)) {}
    long result;
    std::string path;  // folded
    Key* key = nullptr;
    std::uint32_t access = kKeyAllAccess;
  };
  Found Resolve(RegKey key, std::uint32_t needed);
  Found Walk(RegKey parent, const std::string& path, bool create);
  Key& Add(const std::string& parentPath, const std::string& name);
  std::vector<std::string> Below(const std::string& path, bool directOnly) const;
  Tree Snapshot(const std::string& path) const;
  long Apply(const Tree& tree, const std::string& target, std::uint32_t granted);
  void Erase(const std::string& path);

  std::map<std::string, Key> keys_;  // by folded full path, separators as '\0'
  std::map<RegKey, Handle> handles_;
  RegKey nextHandle_ = 0x100;
  std::uint64_t nextId_ = 1;
};

}  // namespace platform
