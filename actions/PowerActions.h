#pragma once
// The actions that act on the local computer and the user's logon:
// turn off, reboot and log off (ExitWindowsWithSettings), stand by and
// hibernate (SuspendWithSettings), lock, monitor off and on, the screen saver
// and restarting the shell. Each reads its settings from the active profile
// at the moment of the call and reaches Windows only through
// platform::PowerSystem(). Results of the calls that carry out the action are
// not examined; failures of the settings store, the version classification,
// the privilege handling and the bound functions pass through.
#include <cstdint>
#include <string>

#include "actions/SystemActions.h"

namespace Vesperon {

// ExitWindowsEx modifiers.
inline constexpr std::uint32_t kExitForce = 4;           // EWX_FORCE
inline constexpr std::uint32_t kExitForceIfHung = 0x10;  // EWX_FORCEIFHUNG

// The monitor broadcast waits at most this long for any one window.
inline constexpr std::uint32_t kBroadcastTimeoutMs = 2000;

// Shutdown reasons: the texts of the Shutdown/Log off/Reboot page, in the
// order of ShutdownReasonIndex.
inline constexpr std::uint32_t kShutdownReasonCount = 11;
extern const char* const kShutdownReasonTexts[kShutdownReasonCount];

// The reason code for a stored ShutdownReasonIndex. An index outside 0 to 10
// (the page never writes one) gives 0, SHTDN_REASON_MAJOR_OTHER |
// SHTDN_REASON_MINOR_OTHER, unplanned: the system's own "Other (Unplanned)"
// entry. It claims no reason the user did not choose (least of all the
// "planned" flag), and the exit request still goes ahead, as a scheduled turn
// off must not be lost to a damaged setting.
std::uint32_t ShutdownReasonCode(std::uint32_t reasonIndex);

// The ExitWindowsEx flags: the request plus EWX_FORCE when `forced`, else
// EWX_FORCEIFHUNG when `forceHung`; never both.
std::uint32_t ExitWindowsFlags(std::uint32_t request, bool forced, bool forceHung);

// "Profiles\<active profile>": the section of the active profile's settings.
std::string ActiveProfileSection();

// Turn off (8 on the NT line, 1 on the 9x line), reboot (2) or log off (0)
// with the force options and the shutdown reason of the active profile. On
// the NT line SeShutdownPrivilege is enabled just before the request and
// removed from the token just after it; a failure to enable it throws and no
// request is made. On the 9x line a forced log off first asks the shell to
// quit.
void ExitWindowsWithSettings(std::uint32_t request);

// Stand by (false) or hibernate (true) through DynSetSuspendState, with the
// active profile's HNProp Forced (force critical) and DisableWake.
void SuspendWithSettings(bool hibernate);

// Action 7: DynLockWorkStation.
void LockWorkStationNow();
// Actions 10 and 11: the monitor power broadcast to every top-level window;
// returns when all have handled it, skipping hung windows and giving up on
// any one after kBroadcastTimeoutMs.
void TurnMonitorOff();
void TurnMonitorOn();
// Action 12: the screen saver, posted to every top-level window.
void StartScreenSaver();
// Action 15: asks the shell to quit and at once starts it again, without
// waiting or checking results.
void RestartShell();

// ISystemActions for the operations of this Part; the others (hang-up, kill,
// Wake-on-LAN, reminder) are handed to `others`, which the program assembles
// from the Parts that own them.
class PowerSystemActions final : public ISystemActions {
 public:
  explicit PowerSystemActions(ISystemActions& others) : others_(others) {}

  void ExitWindows(ExitRequest request) override { ExitWindowsWithSettings(request); }
  void Suspend(bool hibernate) override { SuspendWithSettings(hibernate); }
  void LockWorkStation() override { LockWorkStationNow(); }
  void MonitorOff() override { TurnMonitorOff(); }
  void MonitorOn() override { TurnMonitorOn(); }
  void RunScreenSaver() override { StartScreenSaver(); }
  void RebootShell() override { RestartShell(); }
  void HangUpConnections() override { others_.HangUpConnections(); }
  void KillProcesses() override { others_.KillProcesses(); }
  void HangUpConnectionsMatching(const std::vector<std::string>& patterns) override {
    others_.HangUpConnectionsMatching(patterns);
  }
  void KillProcessesMatching(const std::vector<std::string>& patterns) override {
    others_.KillProcessesMatching(patterns);
  }
  void WakeOnLan() override { others_.WakeOnLan(); }
  void ShowReminder() override { others_.ShowReminder(); }

 private:
  ISystemActions& others_;
};

}  // namespace Vesperon
