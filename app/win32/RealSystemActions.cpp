// The operations Vesperon.exe carries out for its actions. Each member
// forwards to the module that owns the operation; members whose module is
// not part of the program yet do nothing, as noted at each.
#include "app/win32/Program.h"

#include "actions/SystemActions.h"
#include "actions/WakeOnLan.h"

#ifndef VESPERON_SIMULATION

namespace {

class RealSystemActions final : public Vesperon::ISystemActions {
 public:
  // Power, log-off, lock, monitor, screen saver and shell restart: not yet
  // part of the program; nothing happens.
  void ExitWindows(Vesperon::ExitRequest) override {}
  void Suspend(bool) override {}
  void LockWorkStation() override {}
  void MonitorOff() override {}
  void MonitorOn() override {}
  void RunScreenSaver() override {}
  void RebootShell() override {}
  // Dial-up hang-up and process kill: not yet part of the program.
  void HangUpConnections() override {}
  void KillProcesses() override {}
  void WakeOnLan() override { Vesperon::WakeOnLan(); }
  // The reminder window comes later.
  void ShowReminder() override {}
};

}  // namespace

namespace vesperon_app {
Vesperon::ISystemActions& ProgramSystemActions() {
  static RealSystemActions actions;
  return actions;
}
}  // namespace vesperon_app

#endif
