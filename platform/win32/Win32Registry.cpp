// The Windows registry through the ANSI registry functions of advapi32 and
// the tree helpers of shlwapi.
#include <windows.h>
#include <sddl.h>
#include <shlwapi.h>

#include <memory>
#include <vector>

#include "platform/RegistryPrivileges.h"
#include "platform/Services.h"
#include "platform/win32/SystemLibrary.h"

namespace platform {
namespace {

// The interface's root constants are the documented 32-bit values; on 64-bit
// Windows the predefined handles are those values sign-extended, so they are
// mapped here rather than cast.
HKEY ToHkey(RegKey key) {
  switch (key) {
    case kCurrentUser: return HKEY_CURRENT_USER;
    case kLocalMachine: return HKEY_LOCAL_MACHINE;
    case kUsers: return HKEY_USERS;
    default: return reinterpret_cast<HKEY>(key);
  }
}

RegKey FromHkey(HKEY key) { return reinterpret_cast<RegKey>(key); }

// SHCopyKeyA is missing from the shlwapi of old systems, so it is looked up
// when first needed instead of being imported.
using ShCopyKeyFn = LONG(WINAPI*)(HKEY, LPCSTR, HKEY, DWORD);

ShCopyKeyFn BindShCopyKey() {
  HMODULE shlwapi = LoadSystemLibrary("shlwapi.dll");
  if (shlwapi == nullptr) return nullptr;
  return reinterpret_cast<ShCopyKeyFn>(
      reinterpret_cast<void*>(GetProcAddress(shlwapi, "SHCopyKeyA")));
}

struct LocalFreeDeleter {
  void operator()(void* p) const { LocalFree(p); }
};

class Win32Registry final : public IRegistry {
 public:
  long CreateKey(RegKey parent, const std::string& path, std::uint32_t access,
                 RegKey& out) override {
    HKEY key = nullptr;
    char emptyClass[] = "";
    const LONG result = RegCreateKeyExA(ToHkey(parent), path.c_str(), 0, emptyClass, 0, access,
                                        nullptr, &key, nullptr);
    if (result == ERROR_SUCCESS) out = FromHkey(key);
    return result;
  }

  long OpenKey(RegKey parent, const std::string& path, std::uint32_t access,
               RegKey& out) override {
    HKEY key = nullptr;
    const LONG result = RegOpenKeyExA(ToHkey(parent), path.c_str(), 0, access, &key);
    if (result == ERROR_SUCCESS) out = FromHkey(key);
    return result;
  }

  long CloseKey(RegKey key) override { return RegCloseKey(ToHkey(key)); }

  long QueryValue(RegKey key, const std::string& name, std::uint32_t* type, void* data,
                  std::uint32_t* size) override {
    DWORD t = 0;
    DWORD n = size != nullptr ? *size : 0;
    const LONG result = RegQueryValueExA(ToHkey(key), name.c_str(), nullptr, &t,
                                         static_cast<BYTE*>(data), size != nullptr ? &n : nullptr);
    if (result == ERROR_SUCCESS || result == ERROR_MORE_DATA) {
      if (type != nullptr) *type = t;
      if (size != nullptr) *size = n;
    }
    return result;
  }

  long SetValue(RegKey key, const std::string& name, std::uint32_t type, const void* data,
                std::uint32_t size) override {
    return RegSetValueExA(ToHkey(key), name.c_str(), 0, type, static_cast<const BYTE*>(data),
                          size);
  }

  long DeleteValue(RegKey key, const std::string& name) override {
    return RegDeleteValueA(ToHkey(key), name.c_str());
  }

  long EnumValue(RegKey key, std::uint32_t index, std::string& name, std::uint32_t& type,
                 std::vector<unsigned char>& data) override {
    DWORD maxName = 0, maxData = 0;
    LONG result = RegQueryInfoKeyA(ToHkey(key), nullptr, nullptr, nullptr, nullptr, nullptr,
                                   nullptr, nullptr, &maxName, &maxData, nullptr, nullptr);
    if (result != ERROR_SUCCESS) return result;
    // The maximums can grow between the two calls; try again with more room.
    for (int attempt = 0; attempt < 4; ++attempt) {
      std::vector<char> nameBuffer(maxName + 2);
      std::vector<unsigned char> dataBuffer(maxData + 2);
      DWORD nameChars = static_cast<DWORD>(nameBuffer.size());
      DWORD dataBytes = static_cast<DWORD>(dataBuffer.size());
      DWORD t = 0;
      result = RegEnumValueA(ToHkey(key), index, nameBuffer.data(), &nameChars, nullptr, &t,
                             dataBuffer.data(), &dataBytes);
      if (result == ERROR_MORE_DATA) {
        maxName = maxName * 2 + 64;
        maxData = (dataBytes > maxData ? dataBytes : maxData) * 2 + 64;
        continue;
      }
      if (result != ERROR_SUCCESS) return result;
      name.assign(nameBuffer.data(), nameChars);
      type = t;
      data.assign(dataBuffer.begin(), dataBuffer.begin() + dataBytes);
      return ERROR_SUCCESS;
    }
    return result;
  }

  long QueryInfoKey(RegKey key, std::uint32_t* subkeys, RegFileTime* lastWrite) override {
    DWORD count = 0;
    FILETIME written{};
    const LONG result = RegQueryInfoKeyA(ToHkey(key), nullptr, nullptr, nullptr, &count, nullptr,
                                         nullptr, nullptr, nullptr, nullptr, nullptr, &written);
    if (result == ERROR_SUCCESS) {
      if (subkeys != nullptr) *subkeys = count;
      if (lastWrite != nullptr) {
        *lastWrite = static_cast<RegFileTime>(written.dwHighDateTime) << 32 |
                     written.dwLowDateTime;
      }
    }
    return result;
  }

  long EnumKey(RegKey key, std::uint32_t index, std::string& name,
               std::uint32_t bufferChars) override {
    std::vector<char> buffer(bufferChars + 1, '\0');
    DWORD chars = bufferChars;
    const LONG result = RegEnumKeyExA(ToHkey(key), index, buffer.data(), &chars, nullptr, nullptr,
                                      nullptr, nullptr);
    if (result == ERROR_SUCCESS) name.assign(buffer.data(), chars);
    return result;
  }

  long DeleteTree(RegKey parent, const std::string& path) override {
    return static_cast<long>(SHDeleteKeyA(ToHkey(parent), path.c_str()));
  }

  long CopyTree(RegKey source, const std::string& path, RegKey target) override {
    static const ShCopyKeyFn copy = BindShCopyKey();
    if (copy == nullptr) return ERROR_PROC_NOT_FOUND;
    return copy(ToHkey(source), path.empty() ? nullptr : path.c_str(), ToHkey(target), 0);
  }

  long SaveKey(RegKey key, const std::string& file) override {
    // Windows refuses to save over a file; Wine would overwrite it. Checking
    // here gives both the Windows answer.
    if (GetFileAttributesA(file.c_str()) != INVALID_FILE_ATTRIBUTES) return ERROR_ALREADY_EXISTS;
    return RegSaveKeyA(ToHkey(key), file.c_str(), nullptr);
  }

  long LoadKey(RegKey root, const std::string& name, const std::string& file) override {
    const bool existed = Exists(ToHkey(root), name);
    const LONG result = RegLoadKeyA(ToHkey(root), name.c_str(), file.c_str());
    // Wine leaves an empty key of that name behind when the file does not
    // load; a failed load must mount nothing, or the next one would find
    // the name taken.
    if (result != ERROR_SUCCESS && !existed && Exists(ToHkey(root), name)) {
      RegUnLoadKeyA(ToHkey(root), name.c_str());
    }
    return result;
  }

  long UnLoadKey(RegKey root, const std::string& name) override {
    return RegUnLoadKeyA(ToHkey(root), name.c_str());
  }

  long SetKeyReadOnly(RegKey parent, const std::string& path, bool readOnly) override {
    HKEY key = nullptr;
    LONG result = RegOpenKeyExA(ToHkey(parent), path.c_str(), 0, WRITE_DAC | READ_CONTROL, &key);
    if (result != ERROR_SUCCESS) return result;
    if (readOnly) {
      // Everyone may read; delete and change the security so that the key
      // can be made writable again and removed, but nobody may write.
      PSECURITY_DESCRIPTOR raw = nullptr;
      if (!ConvertStringSecurityDescriptorToSecurityDescriptorA("D:P(A;;KR;;;WD)(A;;SDWD;;;WD)",
                                                                SDDL_REVISION_1, &raw, nullptr)) {
        result = static_cast<LONG>(GetLastError());
      } else {
        std::unique_ptr<void, LocalFreeDeleter> descriptor(raw);
        result = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor.get());
      }
    } else {
      // Give the key the rights of its parent again.
      result = CopyParentSecurity(ToHkey(parent), path, key);
    }
    RegCloseKey(key);
    return result;
  }

 private:
  static bool Exists(HKEY root, const std::string& name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, name.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
  }

  static LONG CopyParentSecurity(HKEY parent, const std::string& path, HKEY key) {
    HKEY owner = nullptr;
    const std::string::size_type slash = path.find_last_of('\\');
    const std::string ownerPath = slash == std::string::npos ? std::string() : path.substr(0, slash);
    LONG result = RegOpenKeyExA(parent, ownerPath.c_str(), 0, READ_CONTROL, &owner);
    if (result != ERROR_SUCCESS) return result;
    DWORD size = 0;
    result = RegGetKeySecurity(owner, DACL_SECURITY_INFORMATION, nullptr, &size);
    if (result == ERROR_INSUFFICIENT_BUFFER) {
      std::vector<unsigned char> descriptor(size);
      result = RegGetKeySecurity(owner, DACL_SECURITY_INFORMATION, descriptor.data(), &size);
      if (result == ERROR_SUCCESS) {
        result = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor.data());
      }
    }
    RegCloseKey(owner);
    return result;
  }
};

bool SetPrivilege(HANDLE token, const char* name, bool enable) {
  TOKEN_PRIVILEGES privileges{};
  privileges.PrivilegeCount = 1;
  if (!LookupPrivilegeValueA(nullptr, name, &privileges.Privileges[0].Luid)) return false;
  privileges.Privileges[0].Attributes = enable ? SE_PRIVILEGE_ENABLED : 0;
  // AdjustTokenPrivileges succeeds without assigning a privilege the token
  // lacks; only the last error tells.
  SetLastError(ERROR_SUCCESS);
  if (!AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr)) return false;
  return GetLastError() == ERROR_SUCCESS;
}

}  // namespace

IRegistry& DefaultRegistry() {
  static Win32Registry registry;
  return registry;
}

bool SetBackupRestorePrivileges(bool enable) {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
    return false;
  }
  const bool backup = SetPrivilege(token, "SeBackupPrivilege", enable);
  const bool restore = SetPrivilege(token, "SeRestorePrivilege", enable);
  CloseHandle(token);
  return backup && restore;
}

}  // namespace platform
