#pragma once
// The hierarchical key/value store the settings live in. The operations and
// their result codes are those of the Windows registry, so the store above
// behaves the same on the real registry and on the in-memory one: each call
// returns 0 on success or a Windows error code (see RegResult).
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// An open key. The three predefined roots are fixed values; every other
// handle is whatever the implementation hands out.
using RegKey = std::uintptr_t;
inline constexpr RegKey kLocalMachine = 0x80000002u;
inline constexpr RegKey kCurrentUser = 0x80000001u;
inline constexpr RegKey kUsers = 0x80000003u;

enum RegType : std::uint32_t {
  kRegNone = 0,
  kRegSz = 1,
  kRegExpandSz = 2,
  kRegBinary = 3,
  kRegDword = 4,
  kRegMultiSz = 7,
};

// Access rights, with the Windows values.
enum RegAccess : std::uint32_t {
  kKeyQueryValue = 0x0001,
  kKeySetValue = 0x0002,
  kKeyCreateSubKey = 0x0004,
  kKeyEnumerateSubKeys = 0x0008,
  kKeyRead = 0x20019,
  kKeyWrite = 0x20006,
  kKeyAllAccess = 0xF003F,
};

// Windows error codes the implementations return.
enum RegResult : long {
  kOk = 0,
  kErrorFileNotFound = 2,
  kErrorPathNotFound = 3,
  kErrorAccessDenied = 5,
  kErrorInvalidHandle = 6,
  kErrorBadFormat = 11,
  kErrorInvalidParameter = 87,
  kErrorProcNotFound = 127,
  kErrorBadPathname = 161,
  kErrorAlreadyExists = 183,
  kErrorMoreData = 234,
  kErrorNoMoreItems = 259,
  kErrorRegistryIoFailed = 1016,
  kErrorNotRegistryFile = 1017,
  kErrorKeyDeleted = 1018,
  kErrorPrivilegeNotHeld = 1314,
};

// Last write time of a key as a Windows FILETIME (100 ns units since 1601, UTC).
using RegFileTime = std::uint64_t;

class IRegistry {
 public:
  virtual ~IRegistry() = default;

  // Key paths are relative to `parent`, components joined by one backslash;
  // a leading backslash is kErrorBadPathname, an empty path names `parent`
  // itself (a new handle). Names compare without regard to case and keep the
  // case they were created with.
  //
  // RegCreateKeyExA: opens or creates every key along `path` below `parent`.
  virtual long CreateKey(RegKey parent, const std::string& path, std::uint32_t access,
                         RegKey& out) = 0;
  // RegOpenKeyExA: opens an existing key.
  virtual long OpenKey(RegKey parent, const std::string& path, std::uint32_t access,
                       RegKey& out) = 0;
  virtual long CloseKey(RegKey key) = 0;

  // RegQueryValueExA: `data` may be null to ask only for type and size; with a
  // buffer smaller than the value the result is kErrorMoreData and `size` is
  // set to the size needed.
  virtual long QueryValue(RegKey key, const std::string& name, std::uint32_t* type, void* data,
                          std::uint32_t* size) = 0;
  virtual long SetValue(RegKey key, const std::string& name, std::uint32_t type,
                        const void* data, std::uint32_t size) = 0;
  virtual long DeleteValue(RegKey key, const std::string& name) = 0;
  // RegEnumValueA: the value at `index` with its type and data (index past
  // the end: kErrorNoMoreItems). Needs KEY_QUERY_VALUE.
  virtual long EnumValue(RegKey key, std::uint32_t index, std::string& name,
                         std::uint32_t& type, std::vector<unsigned char>& data) = 0;

  // RegQueryInfoKeyA, the two fields the program uses. The last write time
  // moves when a value of the key is set or deleted, or a direct subkey is
  // created or deleted; changes further down leave it alone.
  virtual long QueryInfoKey(RegKey key, std::uint32_t* subkeys, RegFileTime* lastWrite) = 0;
  // RegEnumKeyExA into a buffer of `bufferChars` characters (zero included);
  // a longer name gives kErrorMoreData. Subkeys come in the registry's
  // order: sorted by name, compared without regard to case.
  virtual long EnumKey(RegKey key, std::uint32_t index, std::string& name,
                       std::uint32_t bufferChars = 260) = 0;

  // SHDeleteKeyA: removes `path` below `parent` with everything beneath it.
  virtual long DeleteTree(RegKey parent, const std::string& path) = 0;
  // SHCopyKey: copies the tree at `path` below `source` (all of `source` when
  // `path` is empty) into the open key `target`.
  virtual long CopyTree(RegKey source, const std::string& path, RegKey target) = 0;

  // RegSaveKeyA: writes the tree of an open key to a new file; an existing
  // file is kErrorAlreadyExists and stays untouched. On the NT line the
  // process needs the backup privilege (see RegistryPrivileges.h).
  virtual long SaveKey(RegKey key, const std::string& file) = 0;
  // RegLoadKeyA / RegUnLoadKeyA: mounts a saved file as `name` below a root
  // (kUsers). A file that is not a saved tree is kErrorNotRegistryFile and
  // mounts nothing. Unloading fails with kErrorAccessDenied while a key of
  // the mounted tree is open. Loading needs the restore privilege.
  virtual long LoadKey(RegKey root, const std::string& name, const std::string& file) = 0;
  virtual long UnLoadKey(RegKey root, const std::string& name) = 0;

  // For tests of the read-only paths (the program never calls it): makes the
  // key at `path` below `parent` refuse every open or create that asks for
  // write access (kErrorAccessDenied), as a key whose security grants only
  // reading does; `readOnly` false gives the key its usual rights back.
  virtual long SetKeyReadOnly(RegKey parent, const std::string& path, bool readOnly) = 0;
};

}  // namespace platform
