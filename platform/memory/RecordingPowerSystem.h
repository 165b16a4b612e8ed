#pragma once
// A stand-in for the power system that carries nothing out: it writes every
// call with its arguments into `log`, in order, and answers from a small
// scripted world (which libraries load and what they export, which windows
// exist, which privileges the process token holds). Its defaults are those
// of a Windows XP machine. Nothing it does reaches the real system.
#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/PowerSystem.h"

namespace platform {

// Windows' privilege attributes and errors, as the fake reports them.
inline constexpr std::uint32_t kSePrivilegeEnabledByDefault = 0x1;
inline constexpr std::uint32_t kSePrivilegeEnabled = 0x2;
inline constexpr std::uint32_t kSePrivilegeRemoved = 0x4;
inline constexpr std::uint32_t kErrorNotAllAssigned = 1300;
inline constexpr std::uint32_t kErrorNoSuchPrivilege = 1313;

class RecordingPowerSystem final : public IPowerSystem {
 public:
  RecordingPowerSystem();

  // Every call, in order, as one readable line each (see the .cpp).
  std::vector<std::string> log;

  // --- The scripted world.
  // Libraries LoadLibraryA finds (names compared without regard to case, as
  // Windows does) with the function names each exports (compared exactly).
  std::map<std::string, std::set<std::string>> libraries;
  // Top-level windows by class name.
  std::map<std::string, WindowHandle> windows;
  // Privilege names LookupPrivilegeValueA knows, with their identifiers.
  std::map<std::string, Luid> privilegeNames;
  // Privileges the process token holds, with their attributes; a privilege
  // adjusted with kSePrivilegeRemoved leaves the map.
  std::map<std::string, std::uint32_t> tokenPrivileges;
  bool tokenOpens = true;
  // AdjustTokenPrivileges fails outright (FALSE, last error 5).
  bool adjustFails = false;
  // Results the bound functions and the session calls report.
  bool exitResult = true, lockResult = true, suspendResult = true, layeredResult = true,
       serviceResult = true;
  long copyKeyResult = 0;
  // Runs at the start of every call through a bound address, with the
  // function's name; a test may throw from it.
  std::function<void(const std::string& function)> onBoundCall;

  // Libraries loaded and not yet freed; tokens opened and not yet closed.
  int LoadedModuleCount() const;
  int OpenTokenCount() const { return static_cast<int>(openTokens_.size()); }

  // --- IPowerSystem
  bool ExitWindowsEx(std::uint32_t flags, std::uint32_t reason) override;
  WindowHandle FindWindowA(const char* className, const char* title) override;
  bool SendMessageTimeoutA(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                           std::intptr_t lParam, std::uint32_t flags,
                           std::uint32_t timeoutMs) override;
  bool PostMessageA(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                    std::intptr_t lParam) override;
  std::uint32_t WinExec(const char* commandLine, std::uint32_t showCommand) override;
  bool OpenCurrentProcessToken(std::uint32_t access, TokenHandle& token) override;
  bool CloseHandle(TokenHandle handle) override;
  std::uint32_t GetLastError() override;
  ModuleHandle LoadLibraryA(const char* name) override;
  ProcAddress GetProcAddress(ModuleHandle module, const char* name) override;
  bool FreeLibrary(ModuleHandle module) override;
  bool CallLockWorkStation(ProcAddress function) override;
  bool CallSetSuspendState(ProcAddress function, bool hibernate, bool forceCritical,
                           bool disableWakeEvent) override;
  bool CallSetLayeredWindowAttributes(ProcAddress function, WindowHandle window,
                                      std::uint32_t colorKey, std::uint8_t alpha,
                                      std::uint32_t flags) override;
  bool CallSetServiceStatus(ProcAddress function, ServiceStatusHandle handle,
                            ServiceStatusRecord& status) override;
  bool CallLookupPrivilegeValue(ProcAddress function, const char* systemName, const char* name,
                                Luid& luid) override;
  bool CallAdjustTokenPrivileges(ProcAddress function, TokenHandle token, bool disableAll,
                                 const PrivilegeRecord* newState, std::uint32_t bufferLength,
                                 PrivilegeRecord* previous, std::uint32_t* returnLength) override;
  long CallSHCopyKey(ProcAddress function, RegKey source, const char* subkey, RegKey target,
                     std::uint32_t reserved) override;

 private:
  struct Module {
    std::string name;  // as the caller spelled it
    int loads = 0;
  };
  struct Function {
    ModuleHandle module;
    std::string name;
  };

  std::string WindowName(WindowHandle window) const;
  std::string TokenName(TokenHandle token) const;
  std::string PrivilegeName(const Luid& luid) const;
  // "Library!Function" for an address GetProcAddress gave out; the call is
  // logged with it, so a call through the wrong or a released address shows.
  std::string BoundCall(ProcAddress function);

  std::map<ModuleHandle, Module> modules_;
  std::map<ProcAddress, Function> functions_;
  std::set<TokenHandle> openTokens_;
  ModuleHandle nextModule_ = 0x10000000;
  ProcAddress nextFunction_ = 0x7FF00000;
  TokenHandle nextToken_ = 0x1A0;
  std::uint32_t lastError_ = 0;
};

}  // namespace platform
