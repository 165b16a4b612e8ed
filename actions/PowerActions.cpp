#include "actions/PowerActions.h"

#include <vector>

#include "settings/BoundFunctions.h"
#include "settings/Privileges.h"
#include "platform/PowerSystem.h"
#include "settings/SettingsRecords.h"
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
  DataSystem::ShutdownSettings settings;
  settings.Load(ActiveProfileSection());
  const std::uint32_t flags = ExitWindowsFlags(request, settings.forced, settings.forceHung);
  const std::uint32_t reason = ShutdownReasonCode(settings.reason);
  platform::IPowerSystem& system = platform::PowerSystem();

  const bool ntLine = OnNtLine();
  if (ntLine) EnablePrivilege(platform::Privilege::kShutdown);
  if (On9xLine() && flags == kExitForce) system.QuitShell();
  system.EndSession(flags, reason);
  if (ntLine) RemovePrivilege(platform::Privilege::kShutdown);
}

void SuspendWithSettings(bool hibernate) {
  DataSystem::SuspendSettings settings;
  settings.Load(ActiveProfileSection());
  DynSetSuspendState(hibernate, settings.forced, settings.disableWake);
}

void LockWorkStationNow() { DynLockWorkStation(); }

void TurnMonitorOff() { platform::PowerSystem().BroadcastMonitorPower(false, kBroadcastTimeoutMs); }

void TurnMonitorOn() { platform::PowerSystem().BroadcastMonitorPower(true, kBroadcastTimeoutMs); }

void StartScreenSaver() { platform::PowerSystem().StartScreenSaver(); }

void RestartShell() {
  platform::IPowerSystem& system = platform::PowerSystem();
  system.QuitShell();
  system.StartShell();
}

}  // namespace Vesperon
