#pragma once
// An in-memory registry with the observable behaviour of the Windows one:
// the host build's registry and the fake that unit tests install. What
// callers can see matches Windows: key and value names compare without
// regard to case and keep the case they were created with, values keep
// their type and exact size, subkeys enumerate in sorted order, handles
// carry the rights they were opened with, and each key has a last write time.
#include <cstddef>
#include <map>
#include <memory>

#include "platform/Registry.h"

namespace platform {

class MemoryRegistry final : public IRegistry {
 public:
  MemoryRegistry();
  ~MemoryRegistry() override;
  MemoryRegistry(const MemoryRegistry&) = delete;
  MemoryRegistry& operator=(const MemoryRegistry&) = delete;
  struct Node;  // a key, with its values and subkeys (defined where it is used)

  // Handles handed out and not closed yet (the predefined roots not counted).
  std::size_t OpenHandleCount() const { return handles_.size() - 3; }

  long CreateKey(RegKey parent, const std::string& path, std::uint32_t access, RegKey& out) override;
  long OpenKey(RegKey parent, const std::string& path, std::uint32_t access, RegKey& out) override;
  long CloseKey(RegKey key) override;
  long QueryValue(RegKey key, const std::string& name, std::uint32_t* type, void* data,
                  std::uint32_t* size) override;
  long SetValue(RegKey key, const std::string& name, std::uint32_t type, const void* data,
                std::uint32_t size) override;
  long DeleteValue(RegKey key, const std::string& name) override;
  long EnumValue(RegKey key, std::uint32_t index, std::string& name, std::uint32_t& type,
                 std::vector<unsigned char>& data) override;
  long QueryInfoKey(RegKey key, std::uint32_t* subkeys, RegFileTime* lastWrite) override;
  long EnumKey(RegKey key, std::uint32_t index, std::string& name, std::uint32_t bufferChars = 260) override;
  long DeleteTree(RegKey parent, const std::string& path) override;
  long CopyTree(RegKey source, const std::string& path, RegKey target) override;
  long SaveKey(RegKey key, const std::string& file) override;
  long LoadKey(RegKey root, const std::string& name, const std::string& file) override;
  long UnLoadKey(RegKey root, const std::string& name) override;
  long SetKeyReadOnly(RegKey parent, const std::string& path, bool readOnly) override;

 private:
  struct Handle {
    std::shared_ptr<Node> node;
    std::uint32_t access = 0;
  };

  long Resolve(RegKey key, std::uint32_t needed, Node*& node, std::uint32_t* granted = nullptr) const;
  long Walk(RegKey parent, const std::string& path, bool create, Node*& node);
  long NewHandle(RegKey parent, const std::string& path, std::uint32_t access, bool create, RegKey& out);

  std::map<RegKey, Handle> handles_;  // the three predefined roots among them, with every right
  RegKey nextHandle_ = 0x100;
};

}  // namespace platform
