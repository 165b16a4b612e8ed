// The power, log-off and binding calls on the real system. Each member makes
// exactly the one Windows call it is named after; functions bound at run time
// are called through the address the caller looked up, cast to their
// documented signature (x86_64 has one calling convention; WINAPI keeps the
// declarations right for a 32-bit build too).
#include <windows.h>

#include <cstring>
#include <string>

#include "platform/PowerSystem.h"
#include "platform/win32/SystemLibrary.h"

namespace platform {
namespace {

HWND ToHwnd(WindowHandle window) { return reinterpret_cast<HWND>(window); }
HANDLE ToHandle(TokenHandle handle) { return reinterpret_cast<HANDLE>(handle); }
HMODULE ToHmodule(ModuleHandle module) { return reinterpret_cast<HMODULE>(module); }

// The registry interface's roots are the documented 32-bit values; the real
// predefined handles are those values sign-extended (as in Win32Registry).
HKEY ToHkey(RegKey key) {
  switch (key) {
    case kCurrentUser: return HKEY_CURRENT_USER;
    case kLocalMachine: return HKEY_LOCAL_MACHINE;
    case kUsers: return HKEY_USERS;
    default: return reinterpret_cast<HKEY>(key);
  }
}

TOKEN_PRIVILEGES ToTokenPrivileges(const PrivilegeRecord& record) {
  TOKEN_PRIVILEGES out{};
  out.PrivilegeCount = record.count;
  out.Privileges[0].Luid.LowPart = record.luid.lowPart;
  out.Privileges[0].Luid.HighPart = record.luid.highPart;
  out.Privileges[0].Attributes = record.attributes;
  return out;
}

PrivilegeRecord FromTokenPrivileges(const TOKEN_PRIVILEGES& in) {
  PrivilegeRecord out;
  out.count = in.PrivilegeCount;
  out.luid = {in.Privileges[0].Luid.LowPart, in.Privileges[0].Luid.HighPart};
  out.attributes = in.Privileges[0].Attributes;
  return out;
}

template <typename Function>
Function As(ProcAddress address) {
  return reinterpret_cast<Function>(address);
}

using LockWorkStationFn = BOOL(WINAPI*)();
using SetSuspendStateFn = BOOLEAN(WINAPI*)(BOOLEAN, BOOLEAN, BOOLEAN);
using SetLayeredWindowAttributesFn = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);
using SetServiceStatusFn = BOOL(WINAPI*)(SERVICE_STATUS_HANDLE, LPSERVICE_STATUS);
using LookupPrivilegeValueFn = BOOL(WINAPI*)(LPCSTR, LPCSTR, PLUID);
using AdjustTokenPrivilegesFn = BOOL(WINAPI*)(HANDLE, BOOL, PTOKEN_PRIVILEGES, DWORD,
                                              PTOKEN_PRIVILEGES, PDWORD);
using ShCopyKeyFn = LONG(WINAPI*)(HKEY, LPCSTR, HKEY, DWORD);

class Win32PowerSystem final : public IPowerSystem {
 public:
  bool ExitWindowsEx(std::uint32_t flags, std::uint32_t reason) override {
    return ::ExitWindowsEx(flags, reason) != FALSE;
  }
  WindowHandle FindWindowA(const char* className, const char* title) override {
    return reinterpret_cast<WindowHandle>(::FindWindowA(className, title));
  }
  bool SendMessageTimeoutA(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                           std::intptr_t lParam, std::uint32_t flags,
                           std::uint32_t timeoutMs) override {
    DWORD_PTR result = 0;
    return ::SendMessageTimeoutA(ToHwnd(window), message, wParam, lParam, flags, timeoutMs,
                                 &result) != 0;
  }
  bool PostMessageA(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                    std::intptr_t lParam) override {
    return ::PostMessageA(ToHwnd(window), message, wParam, lParam) != FALSE;
  }
  std::uint32_t WinExec(const char* commandLine, std::uint32_t showCommand) override {
    // A bare program name would be looked for beside Vesperon first, where
    // anyone who can write to that folder could plant it.
    const std::string path =
        std::strpbrk(commandLine, "\\/: ") ? std::string() : WindowsFolderPath(commandLine);
    return ::WinExec(path.empty() ? commandLine : path.c_str(), showCommand);
  }

  bool OpenCurrentProcessToken(std::uint32_t access, TokenHandle& token) override {
    HANDLE handle = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), access, &handle)) return false;
    token = reinterpret_cast<TokenHandle>(handle);
    return true;
  }
  bool CloseHandle(TokenHandle handle) override { return ::CloseHandle(ToHandle(handle)) != FALSE; }
  std::uint32_t GetLastError() override { return ::GetLastError(); }

  ModuleHandle LoadLibraryA(const char* name) override {
    return reinterpret_cast<ModuleHandle>(LoadSystemLibrary(name));
  }
  ProcAddress GetProcAddress(ModuleHandle module, const char* name) override {
    return reinterpret_cast<ProcAddress>(::GetProcAddress(ToHmodule(module), name));
  }
  bool FreeLibrary(ModuleHandle module) override {
    const DWORD lastError = ::GetLastError();
    const BOOL freed = ::FreeLibrary(ToHmodule(module));
    ::SetLastError(lastError);
    return freed != FALSE;
  }

  bool CallLockWorkStation(ProcAddress function) override {
    return As<LockWorkStationFn>(function)() != FALSE;
  }
  bool CallSetSuspendState(ProcAddress function, bool hibernate, bool forceCritical,
                           bool disableWakeEvent) override {
    return As<SetSuspendStateFn>(function)(hibernate ? TRUE : FALSE, forceCritical ? TRUE : FALSE,
                                           disableWakeEvent ? TRUE : FALSE) != FALSE;
  }
  bool CallSetLayeredWindowAttributes(ProcAddress function, WindowHandle window,
                                      std::uint32_t colorKey, std::uint8_t alpha,
                                      std::uint32_t flags) override {
    return As<SetLayeredWindowAttributesFn>(function)(ToHwnd(window), colorKey, alpha, flags) !=
           FALSE;
  }
  bool CallSetServiceStatus(ProcAddress function, ServiceStatusHandle handle,
                            ServiceStatusRecord& status) override {
    SERVICE_STATUS record{status.serviceType,
                          status.currentState,
                          status.controlsAccepted,
                          status.win32ExitCode,
                          status.serviceSpecificExitCode,
                          status.checkPoint,
                          status.waitHint};
    return As<SetServiceStatusFn>(function)(reinterpret_cast<SERVICE_STATUS_HANDLE>(handle),
                                            &record) != FALSE;
  }
  bool CallLookupPrivilegeValue(ProcAddress function, const char* systemName, const char* name,
                                Luid& luid) override {
    LUID found{};
    if (!As<LookupPrivilegeValueFn>(function)(systemName, name, &found)) return false;
    luid = {found.LowPart, found.HighPart};
    return true;
  }
  bool CallAdjustTokenPrivileges(ProcAddress function, TokenHandle token, bool disableAll,
                                 const PrivilegeRecord* newState, std::uint32_t bufferLength,
                                 PrivilegeRecord* previous, std::uint32_t* returnLength) override {
    TOKEN_PRIVILEGES next{};
    if (newState != nullptr) next = ToTokenPrivileges(*newState);
    TOKEN_PRIVILEGES before{};
    DWORD length = 0;
    const BOOL adjusted = As<AdjustTokenPrivilegesFn>(function)(
        ToHandle(token), disableAll ? TRUE : FALSE, newState != nullptr ? &next : nullptr,
        // One entry is all a PrivilegeRecord holds.
        previous != nullptr && bufferLength > sizeof before ? DWORD{sizeof before} : bufferLength,
        previous != nullptr ? &before : nullptr, returnLength != nullptr ? &length : nullptr);
    // Converting back must not touch the adjustment's last error.
    if (previous != nullptr) *previous = FromTokenPrivileges(before);
    if (returnLength != nullptr) *returnLength = length;
    return adjusted != FALSE;
  }
  long CallSHCopyKey(ProcAddress function, RegKey source, const char* subkey, RegKey target,
                     std::uint32_t reserved) override {
    return As<ShCopyKeyFn>(function)(ToHkey(source), subkey, ToHkey(target), reserved);
  }
};

}  // namespace

IPowerSystem& DefaultPowerSystem() {
  static Win32PowerSystem system;
  return system;
}

}  // namespace platform
