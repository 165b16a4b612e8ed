// The operations Vesperon.exe carries out for its actions: each member
// forwards to the module that owns the operation.
#include "app/win32/Program.h"

#include "actions/DialUpConnections.h"
#include "actions/PowerActions.h"
#include "actions/ProcessList.h"
#include "actions/SystemActions.h"
#include "actions/WakeOnLan.h"
#include "app/win32/Reminder.h"

#ifndef VESPERON_SIMULATION

namespace {

class RealSystemActions final : public Vesperon::ISystemActions {
 public:
  void ExitWindows(Vesperon::ExitRequest request) override {
    Vesperon::ExitWindowsWithSettings(request);
  }
  void Suspend(bool hibernate) override { Vesperon::SuspendWithSettings(hibernate); }
  void LockWorkStation() override { Vesperon::LockWorkStationNow(); }
  void MonitorOff() override { Vesperon::TurnMonitorOff(); }
  void MonitorOn() override { Vesperon::TurnMonitorOn(); }
  void RunScreenSaver() override { Vesperon::StartScreenSaver(); }
  void RebootShell() override { Vesperon::RestartShell(); }
  void HangUpConnections() override { Vesperon::HangUpMatchingConnections(); }
  void KillProcesses() override { Vesperon::KillMatchingProcesses(); }
  void HangUpConnectionsMatching(const std::vector<std::string>& patterns) override {
    Vesperon::HangUpConnectionsMatching(patterns);
  }
  void KillProcessesMatching(const std::vector<std::string>& patterns) override {
    Vesperon::KillProcessesMatching(patterns);
  }
  void WakeOnLan() override { Vesperon::WakeOnLan(); }
  // Without an owner: the reminder gets a taskbar button of its own and
  // shows even while the main window is hidden in the tray.
  void ShowReminder() override {
    CReminder reminder;
    reminder.Run(nullptr);
  }
};

}  // namespace

namespace vesperon_app {
Vesperon::ISystemActions& ProgramSystemActions() {
  static RealSystemActions actions;
  return actions;
}
}  // namespace vesperon_app

#endif
