// The simulation build's operations: instead of acting on the system, each
// call appends one line to the file named by VESPERON_ACTION_JOURNAL, so
// that end-to-end tests see which action ran. Only VesperonSim.exe has it.
#include "app/win32/Program.h"

#include <cstdio>
#include <string>

#include "actions/SystemActions.h"

namespace {

class JournalSystemActions final : public Vesperon::ISystemActions {
 public:
  void ExitWindows(Vesperon::ExitRequest request) override {
    Write("ExitWindows " + std::to_string(static_cast<unsigned>(request)));
  }
  void Suspend(bool hibernate) override { Write(hibernate ? "Hibernate" : "StandBy"); }
  void LockWorkStation() override { Write("Lock"); }
  void MonitorOff() override { Write("MonitorOff"); }
  void MonitorOn() override { Write("MonitorOn"); }
  void RunScreenSaver() override { Write("ScreenSaver"); }
  void RebootShell() override { Write("RebootShell"); }
  void HangUpConnections() override { Write("HangUp"); }
  void KillProcesses() override { Write("KillProcesses"); }
  void WakeOnLan() override { Write("WakeOnLan"); }
  void ShowReminder() override { Write("Reminder"); }

 private:
  static void Write(const std::string& line) { vesperon_app::WriteJournalLine(line); }
};

}  // namespace

namespace vesperon_app {
void WriteJournalLine(const std::string& line) {
  char path[MAX_PATH] = {};
  if (GetEnvironmentVariableA("VESPERON_ACTION_JOURNAL", path, sizeof path) == 0) return;
  if (FILE* f = std::fopen(path, "a")) {
    std::fprintf(f, "%s\n", line.c_str());
    std::fclose(f);
  }
}

Vesperon::ISystemActions& ProgramSystemActions() {
  static JournalSystemActions actions;
  return actions;
}
}  // namespace vesperon_app
