// The power, log-off, privilege and service intents on the real system.
// Functions older systems lack are bound for each call: the library is
// loaded from the system folder, the function looked up and called, and the
// library released again; nothing is cached.
#include <windows.h>

#include "platform/PowerSystem.h"
#include "platform/win32/PowerFunctions.h"
#include "platform/win32/SystemLibrary.h"

namespace platform {
namespace {

constexpr char kShellWindowClass[] = "Progman";
constexpr char kShellProgram[] = "Explorer.exe";
constexpr LPARAM kMonitorPowerOff = 2;
constexpr LPARAM kMonitorPowerOn = -1;
const HWND kEveryTopLevelWindow = HWND_BROADCAST;

// One function bound for the length of one call. Releasing the library
// leaves the thread's last error as the bound function set it.
template <typename Function>
class Bound {
 public:
  explicit Bound(const SystemFunction& function) : module_(LoadSystemLibrary(function.library)) {
    if (module_ != nullptr) {
      function_ = reinterpret_cast<Function>(
          reinterpret_cast<void*>(::GetProcAddress(module_, function.name)));
    }
  }
  ~Bound() {
    if (module_ == nullptr) return;
    const DWORD lastError = ::GetLastError();
    ::FreeLibrary(module_);
    ::SetLastError(lastError);
  }
  Bound(const Bound&) = delete;
  Bound& operator=(const Bound&) = delete;

  Binding State() const {
    if (module_ == nullptr) return Binding::kLibraryMissing;
    return function_ == nullptr ? Binding::kFunctionMissing : Binding::kBound;
  }
  Function operator*() const { return function_; }

 private:
  HMODULE module_;
  Function function_ = nullptr;
};

// Binds `function`, and when that worked runs `call` with it; `call`
// returns whether the function succeeded.
template <typename Function, typename Call>
BoundResult CallBound(const SystemFunction& function, Call call) {
  const Bound<Function> bound(function);
  if (bound.State() != Binding::kBound) return {bound.State(), false};
  return {Binding::kBound, call(*bound)};
}

PrivilegeResult FromBinding(Binding binding) {
  return binding == Binding::kLibraryMissing ? PrivilegeResult::kLibraryMissing
                                             : PrivilegeResult::kFunctionMissing;
}

const char* PrivilegeName(Privilege privilege) {
  switch (privilege) {
    case Privilege::kShutdown: return "SeShutdownPrivilege";
    case Privilege::kBackup: return "SeBackupPrivilege";
    case Privilege::kRestore: return "SeRestorePrivilege";
  }
  return "";
}

DWORD PrivilegeAttributes(PrivilegeChange change) {
  switch (change) {
    case PrivilegeChange::kEnable: return SE_PRIVILEGE_ENABLED;
    case PrivilegeChange::kDisable: return 0;
    case PrivilegeChange::kRemove: return SE_PRIVILEGE_REMOVED;
  }
  return 0;
}

class ScopedKernelHandle {
 public:
  explicit ScopedKernelHandle(HANDLE handle) : handle_(handle) {}
  ~ScopedKernelHandle() { ::CloseHandle(handle_); }
  ScopedKernelHandle(const ScopedKernelHandle&) = delete;
  ScopedKernelHandle& operator=(const ScopedKernelHandle&) = delete;

 private:
  HANDLE handle_;
};

using LockWorkStationFn = BOOL(WINAPI*)();
using SetSuspendStateFn = BOOLEAN(WINAPI*)(BOOLEAN, BOOLEAN, BOOLEAN);
using SetLayeredWindowAttributesFn = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);
using LookupPrivilegeValueFn = BOOL(WINAPI*)(LPCSTR, LPCSTR, PLUID);
using AdjustTokenPrivilegesFn = BOOL(WINAPI*)(HANDLE, BOOL, PTOKEN_PRIVILEGES, DWORD,
                                              PTOKEN_PRIVILEGES, PDWORD);

class Win32PowerSystem final : public IPowerSystem {
 public:
  bool EndSession(std::uint32_t flags, std::uint32_t reason) override {
    return ::ExitWindowsEx(flags, reason) != FALSE;
  }
  bool QuitShell() override {
    const HWND shell = ::FindWindowA(kShellWindowClass, nullptr);
    return shell != nullptr && ::PostMessageA(shell, WM_QUIT, 0, 0) != FALSE;
  }
  bool StartShell() override { return StartWindowsProgram(kShellProgram, SW_SHOWDEFAULT); }
  // A plain SendMessage broadcast waits for every top-level window, so one
  // hung program would stop the program's timers, hot keys and due actions.
  bool BroadcastMonitorPower(bool on, std::uint32_t timeoutMs) override {
    DWORD_PTR result = 0;
    return ::SendMessageTimeoutA(kEveryTopLevelWindow, WM_SYSCOMMAND, SC_MONITORPOWER,
                                 on ? kMonitorPowerOn : kMonitorPowerOff, SMTO_ABORTIFHUNG,
                                 timeoutMs, &result) != 0;
  }
  bool StartScreenSaver() override {
    return ::PostMessageA(kEveryTopLevelWindow, WM_SYSCOMMAND, SC_SCREENSAVE, 0) != FALSE;
  }

  BoundResult LockWorkStation() override {
    return CallBound<LockWorkStationFn>(kLockWorkStationFunction,
                                        [](LockWorkStationFn lock) { return lock() != FALSE; });
  }
  BoundResult Suspend(bool hibernate, bool forceCritical, bool disableWakeEvent) override {
    return CallBound<SetSuspendStateFn>(kSetSuspendStateFunction, [&](SetSuspendStateFn suspend) {
      return suspend(hibernate ? TRUE : FALSE, forceCritical ? TRUE : FALSE,
                     disableWakeEvent ? TRUE : FALSE) != FALSE;
    });
  }
  BoundResult SetLayeredWindowAlpha(WindowHandle window, std::uint8_t alpha) override {
    return CallBound<SetLayeredWindowAttributesFn>(
        kSetLayeredWindowAttributesFunction, [&](SetLayeredWindowAttributesFn set) {
          return set(reinterpret_cast<HWND>(window), 0, alpha, LWA_ALPHA) != FALSE;
        });
  }

  PrivilegeResult ChangePrivilege(Privilege privilege, PrivilegeChange change) override {
    HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY | TOKEN_ADJUST_PRIVILEGES,
                            &token)) {
      return PrivilegeResult::kTokenNotOpened;
    }
    const ScopedKernelHandle tokenGuard(token);
    TOKEN_PRIVILEGES record{};
    record.PrivilegeCount = 1;
    record.Privileges[0].Attributes = PrivilegeAttributes(change);
    {
      const Bound<LookupPrivilegeValueFn> lookup(kLookupPrivilegeValueFunction);
      if (lookup.State() != Binding::kBound) return FromBinding(lookup.State());
      if (!(*lookup)(nullptr, PrivilegeName(privilege), &record.Privileges[0].Luid)) {
        return PrivilegeResult::kUnknownPrivilege;
      }
    }
    const Bound<AdjustTokenPrivilegesFn> adjust(kAdjustTokenPrivilegesFunction);
    if (adjust.State() != Binding::kBound) return FromBinding(adjust.State());
    if (!(*adjust)(token, FALSE, &record, 0, nullptr, nullptr)) {
      return PrivilegeResult::kAdjustFailed;
    }
    // It succeeds without assigning a privilege the token does not hold;
    // only the last error tells.
    return ::GetLastError() == ERROR_SUCCESS ? PrivilegeResult::kDone : PrivilegeResult::kNotHeld;
  }
};

}  // namespace

Binding ProbeSystemFunction(const SystemFunction& function) {
  return Bound<FARPROC>(function).State();
}

IPowerSystem& DefaultPowerSystem() {
  static Win32PowerSystem system;
  return system;
}

}  // namespace platform
