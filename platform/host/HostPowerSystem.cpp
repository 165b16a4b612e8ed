// The host build has no Windows session to end and no libraries to bind: every
// call fails without an effect (no library loads, no window is found, the
// token cannot be opened). Tests install the recording fake instead.
#include "platform/PowerSystem.h"

namespace platform {
namespace {

constexpr std::uint32_t kErrorCallNotImplemented = 120;  // ERROR_CALL_NOT_IMPLEMENTED

class RefusingPowerSystem final : public IPowerSystem {
 public:
  bool ExitWindowsEx(std::uint32_t, std::uint32_t) override { return false; }
  WindowHandle FindWindowA(const char*, const char*) override { return 0; }
  bool SendMessageTimeoutA(WindowHandle, std::uint32_t, std::uintptr_t, std::intptr_t,
                           std::uint32_t, std::uint32_t) override {
    return false;
  }
  bool PostMessageA(WindowHandle, std::uint32_t, std::uintptr_t, std::intptr_t) override {
    return false;
  }
  std::uint32_t WinExec(const char*, std::uint32_t) override { return 0; }
  bool OpenCurrentProcessToken(std::uint32_t, TokenHandle&) override { return false; }
  bool CloseHandle(TokenHandle) override { return false; }
  std::uint32_t GetLastError() override { return kErrorCallNotImplemented; }
  ModuleHandle LoadLibraryA(const char*) override { return 0; }
  ProcAddress GetProcAddress(ModuleHandle, const char*) override { return 0; }
  bool FreeLibrary(ModuleHandle) override { return false; }
  bool CallLockWorkStation(ProcAddress) override { return false; }
  bool CallSetSuspendState(ProcAddress, bool, bool, bool) override { return false; }
  bool CallSetLayeredWindowAttributes(ProcAddress, WindowHandle, std::uint32_t, std::uint8_t,
                                      std::uint32_t) override {
    return false;
  }
  bool CallSetServiceStatus(ProcAddress, ServiceStatusHandle, ServiceStatusRecord&) override {
    return false;
  }
  bool CallLookupPrivilegeValue(ProcAddress, const char*, const char*, Luid&) override {
    return false;
  }
  bool CallAdjustTokenPrivileges(ProcAddress, TokenHandle, bool, const PrivilegeRecord*,
                                 std::uint32_t, PrivilegeRecord*, std::uint32_t*) override {
    return false;
  }
  long CallSHCopyKey(ProcAddress, RegKey, const char*, RegKey, std::uint32_t) override {
    return static_cast<long>(kErrorCallNotImplemented);
  }
};

}  // namespace

IPowerSystem& DefaultPowerSystem() {
  static RefusingPowerSystem system;
  return system;
}

}  // namespace platform
