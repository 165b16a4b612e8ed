// The simulation build's operations. Each call appends one line to the file
// named by VESPERON_ACTION_JOURNAL, so that end-to-end tests see which
// action ran. Nothing that reaches beyond the test runs: the operations that
// would end the session, put the machine to sleep, lock it, blank it,
// restart the shell or drop connections are only journaled. Kill and
// Wake-on-LAN run the shipped code up to the last step, so that the tests
// see what it chose, and the last step (ending a process, sending the
// datagram) is journaled instead of done. The reminder runs for real: it
// only shows a window. With VESPERON_SIM_MONITOR_BROADCAST set, the
// monitor actions also send their real broadcast, for tests that must see
// how it meets other programs' windows (Wine's windows ignore it). Only
// VesperonSim.exe has this file.
#include "app/win32/Program.h"

#include <cstdio>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "actions/PowerActions.h"
#include "actions/ProcessList.h"
#include "actions/SystemActions.h"
#include "actions/WakeOnLan.h"
#include "app/win32/Reminder.h"
#include "platform/NetworkSystem.h"
#include "platform/ProcessSystem.h"

namespace {

void Write(const std::string& line) { vesperon_app::WriteJournalLine(line); }

std::string DottedAddress(std::uint32_t address) {
  return std::to_string(address >> 24) + "." + std::to_string((address >> 16) & 0xFF) + "." +
         std::to_string((address >> 8) & 0xFF) + "." + std::to_string(address & 0xFF);
}

// The system's process walk, with "EndProcess <id>" and "EndTask <id>:<task>"
// journaled in place of ending anything.
class JournalProcessSystem final : public platform::IProcessSystem {
 public:
  bool ListProcesses(std::vector<platform::RunningProcess>& out) override {
    return system().ListProcesses(out);
  }
  void End(const platform::RunningProcess& process) override {
    Write(process.task == 0 ? "EndProcess " + std::to_string(process.processId)
                            : "EndTask " + std::to_string(process.processId) + ":" +
                                  std::to_string(process.task));
  }
  std::uint32_t CurrentProcessId() override { return system().CurrentProcessId(); }

 private:
  static platform::IProcessSystem& system() { return platform::DefaultProcessSystem(); }
};

// The system's network, with "SendDatagram <address>:<port> <bytes>"
// journaled in place of sending.
class JournalNetwork final : public platform::INetworkSystem {
 public:
  SendResult SendDatagram(std::uint32_t address, std::uint16_t port,
                          std::span<const std::uint8_t> data) override {
    Write("SendDatagram " + DottedAddress(address) + ":" + std::to_string(port) + " " +
          std::to_string(data.size()));
    return SendResult::kSent;
  }
  bool SendEcho(std::uint32_t address, std::uint32_t timeoutMs) override {
    return platform::DefaultNetwork().SendEcho(address, timeoutMs);
  }
  bool ReadArpTable(std::vector<platform::ArpEntry>& entries) override {
    return platform::DefaultNetwork().ReadArpTable(entries);
  }
};

JournalProcessSystem journalProcesses;
JournalNetwork journalNetwork;

class JournalSystemActions final : public Vesperon::ISystemActions {
 public:
  void ExitWindows(Vesperon::ExitRequest request) override {
    Write("ExitWindows " + std::to_string(static_cast<unsigned>(request)));
  }
  void Suspend(bool hibernate) override { Write(hibernate ? "Hibernate" : "StandBy"); }
  void LockWorkStation() override { Write("Lock"); }
  void MonitorOff() override {
    Write("MonitorOff");
    if (MonitorBroadcastWanted()) Vesperon::TurnMonitorOff();
  }
  void MonitorOn() override {
    Write("MonitorOn");
    if (MonitorBroadcastWanted()) Vesperon::TurnMonitorOn();
  }
  void RunScreenSaver() override { Write("ScreenSaver"); }
  void RebootShell() override { Write("RebootShell"); }
  void HangUpConnections() override { Write("HangUp"); }
  void KillProcesses() override {
    Write("KillProcesses");
    const platform::ScopedProcessSystem journaled(journalProcesses);
    Vesperon::KillMatchingProcesses();
  }
  // The patterns follow the name, each ended by "|" as they are stored.
  void HangUpConnectionsMatching(const std::vector<std::string>& patterns) override {
    Write("HangUp " + Joined(patterns));
  }
  void KillProcessesMatching(const std::vector<std::string>& patterns) override {
    Write("KillProcesses " + Joined(patterns));
    const platform::ScopedProcessSystem journaled(journalProcesses);
    Vesperon::KillProcessesMatching(patterns);
  }
  void WakeOnLan() override {
    Write("WakeOnLan");
    const platform::ScopedNetwork journaled(journalNetwork);
    Vesperon::WakeOnLan();
  }
  // As the shipped program shows it: without an owner, waiting until it
  // closes; the second line tells the tests that the action returned.
  void ShowReminder() override {
    Write("Reminder");
    CReminder reminder;
    reminder.Run(nullptr);
    Write("ReminderClosed");
  }

 private:
  static bool MonitorBroadcastWanted() {
    return GetEnvironmentVariableA("VESPERON_SIM_MONITOR_BROADCAST", nullptr, 0) != 0;
  }
  static std::string Joined(const std::vector<std::string>& patterns) {
    std::string text;
    for (const std::string& pattern : patterns) text += pattern + "|";
    return text;
  }
};

}  // namespace

namespace vesperon_app {
void WriteJournalLine(const std::string& line) {
  char path[MAX_PATH] = {};
  if (GetEnvironmentVariableA("VESPERON_ACTION_JOURNAL", path, sizeof path) == 0) return;
  // With VESPERON_JOURNAL_CLOCK set each line starts with "@" and the wall
  // time in milliseconds since 1970 (UTC), for measuring how late actions come.
  std::string stamped = line;
  if (GetEnvironmentVariableA("VESPERON_JOURNAL_CLOCK", nullptr, 0) != 0) {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    const long long ticks =
        (static_cast<long long>(now.dwHighDateTime) << 32) | static_cast<long long>(now.dwLowDateTime);
    stamped = "@" + std::to_string((ticks - 116444736000000000LL) / 10000) + " " + line;
  }
  if (FILE* f = std::fopen(path, "a")) {
    std::fprintf(f, "%s\n", stamped.c_str());
    std::fclose(f);
  }
}

Vesperon::ISystemActions& ProgramSystemActions() {
  static JournalSystemActions actions;
  return actions;
}
}  // namespace vesperon_app
