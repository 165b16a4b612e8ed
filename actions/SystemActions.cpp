#include "actions/SystemActions.h"

namespace Vesperon {
namespace {

class DoNothing final : public ISystemActions {
 public:
  void ExitWindows(ExitRequest) override {}
  void Suspend(bool) override {}
  void LockWorkStation() override {}
  void MonitorOff() override {}
  void MonitorOn() override {}
  void RunScreenSaver() override {}
  void RebootShell() override {}
  void HangUpConnections() override {}
  void KillProcesses() override {}
  void HangUpConnectionsMatching(const std::vector<std::string>&) override {}
  void KillProcessesMatching(const std::vector<std::string>&) override {}
  void WakeOnLan() override {}
  void ShowReminder() override {}
};

}  // namespace

ISystemActions& InertSystemActions() {
  static DoNothing inert;
  return inert;
}

}  // namespace Vesperon
