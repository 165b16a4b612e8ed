#include "actions/PowerActions.h"

#include <vector>

#include "actions/BoundFunctions.h"
#include "actions/Privileges.h"
#include "platform/PowerSystem.h"
#include "settings/SettingsStore.h"
#include "model/OsVersion.h"

namespace Vesperon {
namespace {

// Major reason in the upper 16 bits, minor in the lower, bit 31 planned.
constexpr std::uint32_t kShutdownReasonCodes[kShutdownReasonCount] = {
    0x40005,     // application, hung
    0x40001,     // application, maintenance
    0x80040001,  // planned, application, maintenance
    0x40006,     // application, unstable
    0x10002,     // hardware, installation
    0x10001,     // hardware, maintenance
    0x20004,     // operating system, reconfiguration
    5,           // other, hung
    0x6000B,     // power, cord unplugged
    0x6000C,     // power, environment
    0x5000F,     // system, blue screen
};

constexpr std::uint32_t kReasonOtherUnplanned = 0;

bool OnNtLine() { return IsOsVersionAtLeast(0, 100); }
bool On9xLine() { return IsOsVersionAtLeast(10, 0); }

std::vector<std::uint32_t> ReadProfileNumbers(const std::vector<DataSystem::SettingId>& ids) {
  std::vector<std::uint32_t> values;
  DataSystem::ReadNumbers(ids, values, ActiveProfileSection(), DataSystem::kHiveCurrentUser);
  return values;
}

// WM_QUIT to the shell's desktop window, when the shell has one.
void PostQuitToShell(platform::IPowerSystem& system) {
  const platform::WindowHandle shell = system.FindWindowA(kShellWindowClass, nullptr);
  if (shell != 0) system.PostMessageA(shell, kMessageQuit, 0, 0);
}

}  // namespace

const char* const kShutdownReasonTexts[kShutdownReasonCount] = {
    "Troubleshoot an unresponsive application",
    "Service an application",
    "Perform planned maintenance on an application",
    "Troubleshoot an unstable application",
    "Begin or complete hardware installation",
    "Service hardware on the system",
    "Change the operating system configuration",
    "The system became unresponsive",
    "The computer was unplugged",
    "There was a power outage",
    "The computer displayed a blue screen crash event",
};

std::uint32_t ShutdownReasonCode(std::uint32_t reasonIndex) {
  return reasonIndex < kShutdownReasonCount ? kShutdownReasonCodes[reasonIndex]
                                            : kReasonOtherUnplanned;
}

std::uint32_t ExitWindowsFlags(std::uint32_t request, bool forced, bool forceHung) {
  if (forced) return request | kExitForce;
  if (forceHung) return request | kExitForceIfHung;
  return request;
}

std::string ActiveProfileSection() {
  return std::string("Profiles\\") +
         DataSystem::GetActiveProfileName("Profiles", DataSystem::kHiveCurrentUser);
}

void ExitWindowsWithSettings(std::uint32_t request) {
  const std::vector<std::uint32_t> settings =
      ReadProfileNumbers({DataSystem::kSDPropForced, DataSystem::kForceHung, DataSystem::kReason});
  const std::uint32_t flags = ExitWindowsFlags(request, settings[0] != 0, settings[1] != 0);
  const std::uint32_t reason = ShutdownReasonCode(settings[2]);
  platform::IPowerSystem& system = platform::PowerSystem();

  const bool ntLine = OnNtLine();
  platform::TokenHandle token = 0;
  platform::PrivilegeRecord privilege;
  if (ntLine) EnablePrivilege(kShutdownPrivilegeName, token, privilege);
  // Closed once the privilege is gone again (or its removal has failed).
  const ScopedToken tokenGuard(token);

  if (On9xLine() && flags == kExitForce) PostQuitToShell(system);
  system.ExitWindowsEx(flags, reason);
  if (ntLine) RemovePrivilege(privilege, token);
}

void SuspendWithSettings(bool hibernate) {
  const std::vector<std::uint32_t> settings =
      ReadProfileNumbers({DataSystem::kHNPropForced, DataSystem::kDisableWake});
  DynSetSuspendState(hibernate, settings[0] != 0, settings[1] != 0);
}

void LockWorkStationNow() { DynLockWorkStation(); }

// A plain SendMessage broadcast waits for every top-level window, so one hung
// program would stop Vesperon's timers, hot keys and due actions with it.
void BroadcastMonitorPower(std::intptr_t power) {
  platform::PowerSystem().SendMessageTimeoutA(kBroadcastWindow, kMessageSysCommand,
                                              kCommandMonitorPower, power, kSendAbortIfHung,
                                              kBroadcastTimeoutMs);
}

void TurnMonitorOff() { BroadcastMonitorPower(kMonitorPowerOff); }

void TurnMonitorOn() { BroadcastMonitorPower(kMonitorPowerOn); }

void StartScreenSaver() {
  platform::PowerSystem().PostMessageA(kBroadcastWindow, kMessageSysCommand, kCommandScreenSave, 0);
}

void RestartShell() {
  platform::IPowerSystem& system = platform::PowerSystem();
  PostQuitToShell(system);
  system.WinExec(kShellCommandLine, kShowDefault);
}

}  // namespace Vesperon
