#include "platform/memory/RecordingPowerSystem.h"

#include <cstdio>

#include "platform/memory/RecordingServiceManager.h"

namespace platform {
namespace {

std::string Hex(std::uint64_t value) {
  char text[32];
  std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(value));
  return text;
}

const char* const kPrivilegeNames[] = {"shutdown", "backup", "restore"};
const char* const kChangeNames[] = {"enable", "disable", "remove"};

}  // namespace

BoundResult RecordingPowerSystem::Bound(std::string line) {
  log.push_back(std::move(line));
  const bool called = binding == Binding::kBound;
  return {binding, called && !refuses, called && refuses ? long{kErrorAccessDenied} : 0};
}

bool RecordingPowerSystem::EndSession(std::uint32_t flags, std::uint32_t reason) {
  log.push_back("EndSession(" + Hex(flags) + ", " + Hex(reason) + ")");
  return !refuses;
}

bool RecordingPowerSystem::QuitShell() {
  log.push_back("QuitShell");
  return shellWindow && !refuses;
}

bool RecordingPowerSystem::StartShell() {
  log.push_back("StartShell");
  return !refuses;
}

bool RecordingPowerSystem::BroadcastMonitorPower(bool on, std::uint32_t timeoutMs) {
  log.push_back(std::string("MonitorPower(") + (on ? "on, " : "off, ") + std::to_string(timeoutMs) +
                ")");
  return !refuses;
}

bool RecordingPowerSystem::StartScreenSaver() {
  log.push_back("ScreenSaver");
  return !refuses;
}

BoundResult RecordingPowerSystem::LockWorkStation() { return Bound("LockWorkStation"); }

BoundResult RecordingPowerSystem::Suspend(bool hibernate, bool forceCritical,
                                          bool disableWakeEvent) {
  return Bound("Suspend(" + std::to_string(hibernate) + ", " + std::to_string(forceCritical) +
               ", " + std::to_string(disableWakeEvent) + ")");
}

BoundResult RecordingPowerSystem::SetLayeredWindowAlpha(WindowHandle window, std::uint8_t alpha) {
  return Bound("LayeredAlpha(" + Hex(window) + ", " + std::to_string(alpha) + ")");
}

BoundResult RecordingPowerSystem::SetServiceStatus(ServiceStatusHandle handle,
                                                   const ServiceStatusRecord& status) {
  return Bound("ServiceStatus(" + Hex(handle) + ", " + ServiceStatusText(status) + ")");
}

BoundResult RecordingPowerSystem::CopyRegistryKey(RegKey source, const char* subkey,
                                                  RegKey target) {
  return Bound("CopyKey(" + Hex(source) + ", " + subkey + ", " + Hex(target) + ")");
}

PrivilegeResult RecordingPowerSystem::ChangePrivilege(Privilege privilege, PrivilegeChange change) {
  log.push_back(std::string("Privilege(") + kPrivilegeNames[static_cast<int>(privilege)] + ", " +
                kChangeNames[static_cast<int>(change)] + ")");
  if (binding == Binding::kLibraryMissing) return PrivilegeResult::kLibraryMissing;
  if (binding == Binding::kFunctionMissing) return PrivilegeResult::kFunctionMissing;
  const auto failing = failingChanges.find(change);
  if (failing != failingChanges.end()) return failing->second;
  const auto held = token.find(privilege);
  if (held == token.end()) return PrivilegeResult::kNotHeld;
  if (change == PrivilegeChange::kRemove) {
    token.erase(held);
  } else {
    held->second = change == PrivilegeChange::kEnable;
  }
  return PrivilegeResult::kDone;
}

}  // namespace platform
