// Log lines, one per call:
//   ExitWindowsEx(0x12, 0x80040001)
//   FindWindowA(Progman, null)              PostMessageA(Progman, 0x12, 0x0, 0)
//   SendMessageTimeoutA(HWND_BROADCAST, 0x112, 0xF170, -1, 0x2, 2000)
//   WinExec(Explorer.exe, 10)
//   OpenProcessToken(current process, 0x28)  CloseHandle(token)   GetLastError() = 0
//   LoadLibraryA(User32.dll)  GetProcAddress(User32.dll, LockWorkStation)
//   FreeLibrary(User32.dll)   User32.dll!LockWorkStation()
// Windows are named by class, the broadcast handle as HWND_BROADCAST, tokens
// as "token", privileges by name; other numbers in hexadecimal except counts,
// show commands and signed message parameters.
#include "platform/memory/RecordingPowerSystem.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace platform {
namespace {

// The Windows error codes of Registry.h (kErrorAccessDenied 5,
// kErrorInvalidHandle 6, kErrorProcNotFound 127) and this one.
constexpr std::uint32_t kErrorModNotFound = 126;
constexpr WindowHandle kBroadcast = 0xFFFF;

std::string Hex(std::uint64_t value) {
  char text[32];
  std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(value));
  return text;
}

std::string Text(const char* text) { return text != nullptr ? text : "null"; }

std::string Upper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return text;
}

}  // namespace

RecordingPowerSystem::RecordingPowerSystem() {
  libraries = {
      {"User32.dll", {"LockWorkStation", "SetLayeredWindowAttributes"}},
      {"Powrprof.dll", {"SetSuspendState"}},
      {"Advapi32.dll", {"SetServiceStatus", "LookupPrivilegeValueA", "AdjustTokenPrivileges"}},
      // The export names of the real library: SHCopyKey is a header macro.
      {"shlwapi.dll", {"SHCopyKeyA", "SHCopyKeyW"}},
  };
  windows = {{"Progman", 0x10010}};
  // The identifiers Windows gives these privileges.
  privilegeNames = {{"SeTcbPrivilege", {7, 0}},       {"SeSystemtimePrivilege", {12, 0}},
                    {"SeBackupPrivilege", {17, 0}},   {"SeRestorePrivilege", {18, 0}},
                    {"SeShutdownPrivilege", {19, 0}}, {"SeChangeNotifyPrivilege", {23, 0}}};
  // An administrator's token: held, mostly disabled.
  tokenPrivileges = {
      {"SeBackupPrivilege", 0},
      {"SeRestorePrivilege", 0},
      {"SeShutdownPrivilege", 0},
      {"SeChangeNotifyPrivilege", kSePrivilegeEnabled | kSePrivilegeEnabledByDefault}};
}

int RecordingPowerSystem::LoadedModuleCount() const {
  int count = 0;
  for (const auto& [handle, module] : modules_) count += module.loads;
  return count;
}

std::string RecordingPowerSystem::WindowName(WindowHandle window) const {
  if (window == kBroadcast) return "HWND_BROADCAST";
  for (const auto& [name, handle] : windows) {
    if (handle == window) return name;
  }
  return Hex(window);
}

std::string RecordingPowerSystem::TokenName(TokenHandle token) const {
  return openTokens_.count(token) ? "token" : "closed token " + Hex(token);
}

std::string RecordingPowerSystem::PrivilegeName(const Luid& luid) const {
  for (const auto& [name, id] : privilegeNames) {
    if (id == luid) return name;
  }
  return "luid " +
         Hex((static_cast<std::uint64_t>(static_cast<std::uint32_t>(luid.highPart)) << 32) |
             luid.lowPart);
}

std::string RecordingPowerSystem::BoundCall(ProcAddress function) {
  const auto found = functions_.find(function);
  if (found == functions_.end()) return "unknown address " + Hex(function);
  const Module& module = modules_.at(found->second.module);  // handles are never forgotten
  std::string name = (module.loads > 0 ? "" : "released ") + module.name + "!" + found->second.name;
  if (onBoundCall) onBoundCall(found->second.name);
  return name;
}

bool RecordingPowerSystem::ExitWindowsEx(std::uint32_t flags, std::uint32_t reason) {
  log.push_back("ExitWindowsEx(" + Hex(flags) + ", " + Hex(reason) + ")");
  return exitResult;
}

WindowHandle RecordingPowerSystem::FindWindowA(const char* className, const char* title) {
  log.push_back("FindWindowA(" + Text(className) + ", " + Text(title) + ")");
  if (className == nullptr || title != nullptr) return 0;
  const auto found = windows.find(className);
  return found != windows.end() ? found->second : 0;
}

bool RecordingPowerSystem::SendMessageTimeoutA(WindowHandle window, std::uint32_t message,
                                               std::uintptr_t wParam, std::intptr_t lParam,
                                               std::uint32_t flags, std::uint32_t timeoutMs) {
  log.push_back("SendMessageTimeoutA(" + WindowName(window) + ", " + Hex(message) + ", " +
                Hex(wParam) + ", " + std::to_string(lParam) + ", " + Hex(flags) + ", " +
                std::to_string(timeoutMs) + ")");
  return true;
}

bool RecordingPowerSystem::PostMessageA(WindowHandle window, std::uint32_t message,
                                        std::uintptr_t wParam, std::intptr_t lParam) {
  log.push_back("PostMessageA(" + WindowName(window) + ", " + Hex(message) + ", " + Hex(wParam) +
                ", " + std::to_string(lParam) + ")");
  return true;
}

std::uint32_t RecordingPowerSystem::WinExec(const char* commandLine, std::uint32_t showCommand) {
  log.push_back("WinExec(" + Text(commandLine) + ", " + std::to_string(showCommand) + ")");
  return 33;
}

bool RecordingPowerSystem::OpenCurrentProcessToken(std::uint32_t access, TokenHandle& token) {
  log.push_back("OpenProcessToken(current process, " + Hex(access) + ")");
  if (!tokenOpens) {
    lastError_ = kErrorAccessDenied;
    return false;
  }
  token = nextToken_;
  nextToken_ += 4;
  openTokens_.insert(token);
  return true;
}

bool RecordingPowerSystem::CloseHandle(TokenHandle handle) {
  log.push_back("CloseHandle(" + TokenName(handle) + ")");
  if (openTokens_.erase(handle) == 0) {
    lastError_ = kErrorInvalidHandle;
    return false;
  }
  return true;
}

std::uint32_t RecordingPowerSystem::GetLastError() {
  log.push_back("GetLastError() = " + std::to_string(lastError_));
  return lastError_;
}

ModuleHandle RecordingPowerSystem::LoadLibraryA(const char* name) {
  log.push_back("LoadLibraryA(" + Text(name) + ")");
  if (name == nullptr) {
    lastError_ = kErrorModNotFound;
    return 0;
  }
  for (const auto& [library, exports] : libraries) {
    if (Upper(library) != Upper(name)) continue;
    for (auto& [handle, module] : modules_) {
      if (Upper(module.name) == Upper(name)) {
        ++module.loads;
        return handle;
      }
    }
    const ModuleHandle handle = nextModule_;
    nextModule_ += 0x10000;
    modules_[handle] = {name, 1};
    return handle;
  }
  lastError_ = kErrorModNotFound;
  return 0;
}

ProcAddress RecordingPowerSystem::GetProcAddress(ModuleHandle module, const char* name) {
  const auto loaded = modules_.find(module);
  const std::string moduleName = loaded != modules_.end() ? loaded->second.name : Hex(module);
  log.push_back("GetProcAddress(" + moduleName + ", " + Text(name) + ")");
  if (loaded == modules_.end() || loaded->second.loads == 0 || name == nullptr) {
    lastError_ = kErrorInvalidHandle;
    return 0;
  }
  for (const auto& [library, exports] : libraries) {
    if (Upper(library) != Upper(moduleName) || exports.count(name) == 0) continue;
    for (const auto& [address, function] : functions_) {
      if (function.module == module && function.name == name) return address;
    }
    const ProcAddress address = nextFunction_;
    nextFunction_ += 0x40;
    functions_[address] = {module, name};
    return address;
  }
  lastError_ = kErrorProcNotFound;
  return 0;
}

bool RecordingPowerSystem::FreeLibrary(ModuleHandle module) {
  const auto loaded = modules_.find(module);
  log.push_back("FreeLibrary(" + (loaded != modules_.end() ? loaded->second.name : Hex(module)) +
                ")");
  if (loaded == modules_.end() || loaded->second.loads == 0) return false;
  --loaded->second.loads;
  return true;
}

bool RecordingPowerSystem::CallLockWorkStation(ProcAddress function) {
  log.push_back(BoundCall(function) + "()");
  return lockResult;
}

bool RecordingPowerSystem::CallSetSuspendState(ProcAddress function, bool hibernate,
                                               bool forceCritical, bool disableWakeEvent) {
  log.push_back(BoundCall(function) + "(" + std::to_string(hibernate) + ", " +
                std::to_string(forceCritical) + ", " + std::to_string(disableWakeEvent) + ")");
  return suspendResult;
}

bool RecordingPowerSystem::CallSetLayeredWindowAttributes(ProcAddress function, WindowHandle window,
                                                          std::uint32_t colorKey,
                                                          std::uint8_t alpha, std::uint32_t flags) {
  log.push_back(BoundCall(function) + "(" + WindowName(window) + ", " + Hex(colorKey) + ", " +
                std::to_string(alpha) + ", " + Hex(flags) + ")");
  return layeredResult;
}

bool RecordingPowerSystem::CallSetServiceStatus(ProcAddress function, ServiceStatusHandle handle,
                                                ServiceStatusRecord& s) {
  log.push_back(BoundCall(function) + "(" + Hex(handle) + ", {type " + Hex(s.serviceType) +
                ", state " + std::to_string(s.currentState) + ", accepted " +
                Hex(s.controlsAccepted) + ", exit " + std::to_string(s.win32ExitCode) +
                ", specific " + std::to_string(s.serviceSpecificExitCode) + ", check " +
                std::to_string(s.checkPoint) + ", wait " + std::to_string(s.waitHint) + "})");
  return serviceResult;
}

bool RecordingPowerSystem::CallLookupPrivilegeValue(ProcAddress function, const char* systemName,
                                                    const char* name, Luid& luid) {
  log.push_back(BoundCall(function) + "(" + Text(systemName) + ", " + Text(name) + ")");
  const auto found = name != nullptr ? privilegeNames.find(name) : privilegeNames.end();
  if (systemName != nullptr || found == privilegeNames.end()) {
    lastError_ = kErrorNoSuchPrivilege;
    return false;
  }
  luid = found->second;
  return true;
}

bool RecordingPowerSystem::CallAdjustTokenPrivileges(
    ProcAddress function, TokenHandle token, bool disableAll, const PrivilegeRecord* newState,
    std::uint32_t bufferLength, PrivilegeRecord* previous, std::uint32_t* returnLength) {
  std::string state = "null";
  if (newState != nullptr) {
    state = "{" + std::to_string(newState->count) + ", " + PrivilegeName(newState->luid) + ", " +
            Hex(newState->attributes) + "}";
  }
  log.push_back(BoundCall(function) + "(" + TokenName(token) + ", " + std::to_string(disableAll) +
                ", " + state + ", " + std::to_string(bufferLength) + ", " +
                (previous ? "previous" : "null") + ", " + (returnLength ? "length" : "null") + ")");
  if (adjustFails) {
    lastError_ = kErrorAccessDenied;
    return false;
  }
  if (openTokens_.count(token) == 0 || (newState == nullptr && !disableAll)) {
    lastError_ = kErrorInvalidHandle;
    return false;
  }
  // The fake models the one-entry adjustments the program makes.
  lastError_ = 0;
  if (disableAll) {
    for (auto& [name, attributes] : tokenPrivileges) attributes &= ~kSePrivilegeEnabled;
    return true;
  }
  const std::string name = PrivilegeName(newState->luid);
  const auto held = tokenPrivileges.find(name);
  if (newState->count == 0) return true;
  if (held == tokenPrivileges.end()) {
    // Windows succeeds, and only the last error tells.
    lastError_ = kErrorNotAllAssigned;
    return true;
  }
  if (newState->attributes & kSePrivilegeRemoved) {
    tokenPrivileges.erase(held);
  } else if (newState->attributes & kSePrivilegeEnabled) {
    held->second |= kSePrivilegeEnabled;
  } else {
    held->second &= ~kSePrivilegeEnabled;
  }
  return true;
}

long RecordingPowerSystem::CallSHCopyKey(ProcAddress function, RegKey source, const char* subkey,
                                         RegKey target, std::uint32_t reserved) {
  log.push_back(BoundCall(function) + "(" + Hex(source) + ", " + Text(subkey) + ", " + Hex(target) +
                ", " + std::to_string(reserved) + ")");
  return copyKeyResult;
}

}  // namespace platform
