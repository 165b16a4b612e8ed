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
// alignment of this build; the records are read through the layout
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

// rasapi32 is loaded at the first listing or hang-up and stays loaded, so
// that a connection handle listed is hung up through the same library.
HMODULE Rasapi() {
  static const HMODULE rasapi = LoadSystemLibrary("RASAPI32.DLL");
  return rasapi;
}

template <typename Function>
Function BindRas(const char* name) {
  if (Rasapi() == nullptr) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(Rasapi(), name)));
}

class Win32DialUpSystem final : public IDialUpSystem {
 public:
  std::uint32_t ListConnections(std::vector<DialUpConnection>& out) override {
    out.clear();
    using EnumFn = DWORD(WINAPI*)(void*, DWORD*, DWORD*);
    const auto enumerate = BindRas<EnumFn>("RasEnumConnectionsA");
    if (enumerate == nullptr) return 0;
    return ReadDialUpRecords(
        kLayout,
        [enumerate](unsigned char* buffer, std::uint32_t& bufferBytes, std::uint32_t& count) {
          DWORD bytes = bufferBytes;
          DWORD connections = 0;
          const DWORD result = enumerate(buffer, &bytes, &connections);
          bufferBytes = bytes;
          count = connections;
          return static_cast<std::uint32_t>(result);
        },
        out);
  }

  void HangUp(const DialUpConnection& connection) override {
    using HangUpFn = DWORD(WINAPI*)(HANDLE);
    if (const auto hangUp = BindRas<HangUpFn>("RasHangUpA")) {
      hangUp(reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(connection.handle)));
    }
  }
};

}  // namespace

IDialUpSystem& DefaultDialUpSystem() {
  static Win32DialUpSystem system;
  return system;
}

}  // namespace platform
