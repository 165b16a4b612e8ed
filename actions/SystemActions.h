#pragma once
// Every operation of an action that reaches outside the program (ending the
// Windows session, suspending, locking, the monitor, the shell, dial-up
// connections, processes, wake-up packets, the modal reminder) runs through
// ISystemActions. The dispatcher only decides which one runs; the
// implementation reads the operation's own settings at the moment of the call
// and may throw (its failures are not the dispatcher's to handle).
#include <cstdint>
#include <string>
#include <vector>

#include "platform/ServiceSlot.h"

namespace Vesperon {

// Exit requests, with the ExitWindowsEx flag values.
enum ExitRequest : std::uint32_t {
  kExitLogOff = 0,
  kExitShutDown = 1,
  kExitReboot = 2,
  kExitPowerOff = 8,
};

class ISystemActions {
 public:
  virtual ~ISystemActions() = default;

  // Ends the session with `request`, adding the force flags and the shutdown
  // reason of the active profile (ExitWindowsWithSettings).
  virtual void ExitWindows(ExitRequest request) = 0;
  // Stand by (false) or hibernate (true) with the profile's wake options
  // (SuspendWithSettings).
  virtual void Suspend(bool hibernate) = 0;
  virtual void LockWorkStation() = 0;
  virtual void MonitorOff() = 0;
  virtual void MonitorOn() = 0;
  virtual void RunScreenSaver() = 0;
  // Ends the shell and starts it again.
  virtual void RebootShell() = 0;
  virtual void HangUpConnections() = 0;
  virtual void KillProcesses() = 0;
  // The same two with the patterns given instead of the stored ones: the
  // "Test" buttons of the pages, which try what is being edited.
  virtual void HangUpConnectionsMatching(const std::vector<std::string>& patterns) = 0;
  virtual void KillProcessesMatching(const std::vector<std::string>& patterns) = 0;
  virtual void WakeOnLan() = 0;
  // Shows the reminder window and returns when it closes; its modal loop
  // keeps delivering the main window's timers, hot keys and tray messages.
  virtual void ShowReminder() = 0;
};

// One whose every operation does nothing: the implementation in use until
// the program installs its own at start-up, so that a build or a test that
// installs none can never end the session by accident.
ISystemActions& InertSystemActions();
using SystemActionsSlot = platform::ServiceSlot<ISystemActions, InertSystemActions>;
inline ISystemActions& SystemActions() { return SystemActionsSlot::Get(); }
using ScopedSystemActions = SystemActionsSlot::Scoped;

}  // namespace Vesperon
