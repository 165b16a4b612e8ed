// The remote access service of Windows, bound from rasapi32 at the moment of
// use: the library is an optional component, and a system without it simply
// has no dial-up connection.
#include <windows.h>

#include <cstddef>

#include "platform/DialUpSystem.h"
#include "platform/win32/SystemLibrary.h"

namespace platform {
namespace {

// The connection structure in its Windows XP form, with the natural
// alignment of this build; the core reads the records through the layout
// constants, which must agree with it.
struct RasConnXp {
  DWORD dwSize;
  HANDLE hrasconn;
  CHAR szEntryName[kDialUpEntryNameChars];
  CHAR szDeviceType[kDialUpDeviceTypeChars];
  CHAR szDeviceName[kDialUpDeviceNameChars];
  CHAR szPhonebook[MAX_PATH];
  DWORD dwSubEntry;
  GUID guidEntry;
  DWORD dwFlags;
  LUID luid;
};

#if defined(_WIN64)
constexpr DialUpRecordLayout kLayout = kDialUpRecord64;
#else
constexpr DialUpRecordLayout kLayout = kDialUpRecord32;
#endif
static_assert(sizeof(RasConnXp) == kLayout.size);
static_assert(offsetof(RasConnXp, hrasconn) == kLayout.handleOffset);
static_assert(sizeof(HANDLE) == kLayout.handleBytes);
static_assert(offsetof(RasConnXp, szEntryName) == kLayout.entryNameOffset);
static_assert(offsetof(RasConnXp, szDeviceType) == kLayout.deviceTypeOffset);
static_assert(offsetof(RasConnXp, szDeviceName) == kLayout.deviceNameOffset);

class Win32RasApi final : public IRasApi {
 public:
  Win32RasApi() : module_(LoadSystemLibrary("RASAPI32.DLL")) {
    if (module_ == nullptr) return;
    enum_ = reinterpret_cast<EnumFn>(
        reinterpret_cast<void*>(GetProcAddress(module_, "RasEnumConnectionsA")));
    hangUp_ = reinterpret_cast<HangUpFn>(
        reinterpret_cast<void*>(GetProcAddress(module_, "RasHangUpA")));
  }
  ~Win32RasApi() override {
    if (module_ != nullptr) FreeLibrary(module_);
  }
  Win32RasApi(const Win32RasApi&) = delete;
  Win32RasApi& operator=(const Win32RasApi&) = delete;

  bool CanEnumerate() const { return enum_ != nullptr; }

  DialUpRecordLayout Layout() const override { return kLayout; }

  std::uint32_t EnumConnections(unsigned char* buffer, std::uint32_t& bufferBytes,
                                std::uint32_t& count) override {
    DWORD bytes = bufferBytes;
    DWORD connections = 0;
    const DWORD result = enum_(buffer, &bytes, &connections);
    bufferBytes = bytes;
    count = connections;
    return result;
  }

  void HangUp(std::uint64_t connection) override {
    if (hangUp_ != nullptr) hangUp_(reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(connection)));
  }

 private:
  using EnumFn = DWORD(WINAPI*)(void*, DWORD*, DWORD*);
  using HangUpFn = DWORD(WINAPI*)(HANDLE);
  HMODULE module_;
  EnumFn enum_ = nullptr;
  HangUpFn hangUp_ = nullptr;
};

class Win32DialUpSystem final : public IDialUpSystem {
 public:
  std::unique_ptr<IRasApi> Bind() override {
    auto api = std::make_unique<Win32RasApi>();
    if (!api->CanEnumerate()) return nullptr;
    return api;
  }
};

}  // namespace

IDialUpSystem& DefaultDialUpSystem() {
  static Win32DialUpSystem system;
  return system;
}

}  // namespace platform
