#pragma once
// Every Windows call with an effect that the power, log-off and lock actions
// make, and the run-time binding of optional system functions:
// ending the session, window messages to other programs, starting a program,
// the process token and its privileges, loading a library and looking a
// function up in it, and calling a function so found.
//
// The decisions (which flags, which reason code, in which order, after which
// version test, which library and function name) are all made in actions/;
// this layer only carries out one call each and reports its result. The
// Win32 build's default is the real system (platform/win32); the host
// build's refuses every call (platform/host); tests install the recording
// fake of platform/memory/RecordingPowerSystem.h.
#include <cstdint>

#include "platform/Registry.h"
#include "platform/ServiceSlot.h"

namespace platform {

// Windows handles, as opaque numbers (HWND, HMODULE, HANDLE,
// SERVICE_STATUS_HANDLE). 0 is "none".
using WindowHandle = std::uintptr_t;
using ModuleHandle = std::uintptr_t;
using TokenHandle = std::uintptr_t;
using ServiceStatusHandle = std::uintptr_t;
// The address GetProcAddress found; 0 when the library has no such function.
using ProcAddress = std::uintptr_t;

// LUID: the locally unique identifier of a privilege (64 bits).
struct Luid {
  std::uint32_t lowPart = 0;
  std::int32_t highPart = 0;
  friend bool operator==(const Luid&, const Luid&) = default;
};

// TOKEN_PRIVILEGES with its one entry: {count = 1, identifier, attributes}.
struct PrivilegeRecord {
  std::uint32_t count = 0;
  Luid luid;
  std::uint32_t attributes = 0;
  friend bool operator==(const PrivilegeRecord&, const PrivilegeRecord&) = default;
};

// SERVICE_STATUS, field for field.
struct ServiceStatusRecord {
  std::uint32_t serviceType = 0;
  std::uint32_t currentState = 0;
  std::uint32_t controlsAccepted = 0;
  std::uint32_t win32ExitCode = 0;
  std::uint32_t serviceSpecificExitCode = 0;
  std::uint32_t checkPoint = 0;
  std::uint32_t waitHint = 0;
  friend bool operator==(const ServiceStatusRecord&, const ServiceStatusRecord&) = default;
};

class IPowerSystem {
 public:
  virtual ~IPowerSystem() = default;

  // --- The session, windows and programs (user32, kernel32).
  // ExitWindowsEx(flags, reason).
  virtual bool ExitWindowsEx(std::uint32_t flags, std::uint32_t reason) = 0;
  // FindWindowA; a null title matches any title. 0 when no window matches.
  virtual WindowHandle FindWindowA(const char* className, const char* title) = 0;
  // SendMessageTimeoutA(window, message, wParam, lParam, flags, timeout,
  // result): false when it failed or timed out (for a broadcast, as Windows
  // reports it).
  virtual bool SendMessageTimeoutA(WindowHandle window, std::uint32_t message,
                                   std::uintptr_t wParam, std::intptr_t lParam, std::uint32_t flags,
                                   std::uint32_t timeoutMs) = 0;
  virtual bool PostMessageA(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                            std::intptr_t lParam) = 0;
  // WinExec: above 31 when the program started.
  virtual std::uint32_t WinExec(const char* commandLine, std::uint32_t showCommand) = 0;

  // --- The process token (advapi32, kernel32).
  // OpenProcessToken(GetCurrentProcess(), access, &token).
  virtual bool OpenCurrentProcessToken(std::uint32_t access, TokenHandle& token) = 0;
  virtual bool CloseHandle(TokenHandle handle) = 0;
  // The calling thread's last error.
  virtual std::uint32_t GetLastError() = 0;

  // --- Run-time binding (kernel32).
  // LoadLibraryA: 0 when the library cannot be loaded.
  virtual ModuleHandle LoadLibraryA(const char* name) = 0;
  // GetProcAddress by name: 0 when the library has no such function.
  virtual ProcAddress GetProcAddress(ModuleHandle module, const char* name) = 0;
  // FreeLibrary. It leaves the thread's last error as it was, so that a
  // caller that reads it after a bound call sees the bound function's.
  virtual bool FreeLibrary(ModuleHandle module) = 0;

  // --- Calls through an address GetProcAddress returned for the function
  // named; each passes its arguments on unchanged and returns the result.
  // BOOL LockWorkStation(void)
  virtual bool CallLockWorkStation(ProcAddress function) = 0;
  // BOOLEAN SetSuspendState(BOOLEAN hibernate, BOOLEAN forceCritical,
  //                         BOOLEAN disableWakeEvent)
  virtual bool CallSetSuspendState(ProcAddress function, bool hibernate, bool forceCritical,
                                   bool disableWakeEvent) = 0;
  // BOOL SetLayeredWindowAttributes(HWND, COLORREF key, BYTE alpha, DWORD flags)
  virtual bool CallSetLayeredWindowAttributes(ProcAddress function, WindowHandle window,
                                              std::uint32_t colorKey, std::uint8_t alpha,
                                              std::uint32_t flags) = 0;
  // BOOL SetServiceStatus(SERVICE_STATUS_HANDLE, LPSERVICE_STATUS)
  virtual bool CallSetServiceStatus(ProcAddress function, ServiceStatusHandle handle,
                                    ServiceStatusRecord& status) = 0;
  // BOOL LookupPrivilegeValueA(LPCSTR system, LPCSTR name, PLUID out); a null
  // system name is the local system.
  virtual bool CallLookupPrivilegeValue(ProcAddress function, const char* systemName,
                                        const char* name, Luid& luid) = 0;
  // BOOL AdjustTokenPrivileges(HANDLE, BOOL disableAll, PTOKEN_PRIVILEGES new,
  //                            DWORD bufferLength, PTOKEN_PRIVILEGES previous,
  //                            PDWORD returnLength); previous and returnLength
  // may be null.
  virtual bool CallAdjustTokenPrivileges(ProcAddress function, TokenHandle token, bool disableAll,
                                         const PrivilegeRecord* newState,
                                         std::uint32_t bufferLength, PrivilegeRecord* previous,
                                         std::uint32_t* returnLength) = 0;
  // LSTATUS SHCopyKey(HKEY source, LPCSTR subkey, HKEY target, DWORD reserved):
  // the system error code. Keys are those of the Win32 registry
  // (platform::Registry() of the Win32 build) or its predefined roots.
  virtual long CallSHCopyKey(ProcAddress function, RegKey source, const char* subkey, RegKey target,
                             std::uint32_t reserved) = 0;
};

// The build's default: the real Windows calls in the Win32 build, a system
// that refuses every call (and so never has an effect) in the host build.
// Defined once per build by platform/win32 or platform/host.
IPowerSystem& DefaultPowerSystem();

using PowerSystemSlot = ServiceSlot<IPowerSystem, DefaultPowerSystem>;
inline IPowerSystem& PowerSystem() { return PowerSystemSlot::Get(); }
using ScopedPowerSystem = PowerSystemSlot::Scoped;

}  // namespace platform
