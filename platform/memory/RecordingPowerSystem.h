#pragma once
// A stand-in for the power system that carries nothing out: it writes every
// intent with its arguments into `log`, in order, and answers from a small
// scripted world (whether the system refuses, which privileges the process
// token holds, whether bound functions can be reached). Nothing it does
// reaches the real system.
#include <map>
#include <vector>

#include "platform/PowerSystem.h"
#include "platform/memory/LogText.h"

namespace platform {

class RecordingPowerSystem final : public IPowerSystem {
 public:
  std::vector<std::string> log;

  // Every intent but the privilege changes is refused by the system (the
  // function ran and said no).
  bool refuses = false;
  // How the binding of every bound intent goes.
  Binding binding = Binding::kBound;
  // The privileges the token holds, with whether each is enabled; a removed
  // one leaves. By default an administrator's: held, disabled.
  std::map<Privilege, bool> token = {
      {Privilege::kShutdown, false}, {Privilege::kBackup, false}, {Privilege::kRestore, false}};
  // A change of this kind fails at the step given.
  std::map<PrivilegeChange, PrivilegeResult> failingChanges;

  bool EndSession(std::uint32_t flags, std::uint32_t reason) override {
    return Plain("EndSession(" + HexText(flags) + ", " + HexText(reason) + ")");
  }
  bool QuitShell() override { return Plain("QuitShell"); }
  bool StartShell() override { return Plain("StartShell"); }
  bool BroadcastMonitorPower(bool on, std::uint32_t timeoutMs) override {
    return Plain(std::string("MonitorPower(") + (on ? "on, " : "off, ") +
                 std::to_string(timeoutMs) + ")");
  }
  bool StartScreenSaver() override { return Plain("ScreenSaver"); }
  BoundResult LockWorkStation() override { return Bound("LockWorkStation"); }
  BoundResult Suspend(bool hibernate, bool forceCritical, bool disableWakeEvent) override {
    return Bound("Suspend(" + std::to_string(hibernate) + ", " + std::to_string(forceCritical) +
                 ", " + std::to_string(disableWakeEvent) + ")");
  }
  BoundResult SetLayeredWindowAlpha(WindowHandle window, std::uint8_t alpha) override {
    return Bound("LayeredAlpha(" + HexText(window) + ", " + std::to_string(alpha) + ")");
  }
  // Privilege(shutdown, enable), ...
  PrivilegeResult ChangePrivilege(Privilege privilege, PrivilegeChange change) override {
    static const char* const privileges[] = {"shutdown", "backup", "restore"};
    static const char* const changes[] = {"enable", "disable", "remove"};
    log.push_back(std::string("Privilege(") + privileges[static_cast<int>(privilege)] + ", " +
                  changes[static_cast<int>(change)] + ")");
    if (binding == Binding::kLibraryMissing) return PrivilegeResult::kLibraryMissing;
    if (binding == Binding::kFunctionMissing) return PrivilegeResult::kFunctionMissing;
    if (failingChanges.count(change)) return failingChanges[change];
    const auto held = token.find(privilege);
    if (held == token.end()) return PrivilegeResult::kNotHeld;
    if (change == PrivilegeChange::kRemove) token.erase(held);
    else held->second = change == PrivilegeChange::kEnable;
    return PrivilegeResult::kDone;
  }

 private:
  bool Plain(std::string line) {
    log.push_back(std::move(line));
    return !refuses;
  }
  BoundResult Bound(std::string line) {
    log.push_back(std::move(line));
    const bool called = binding == Binding::kBound;
    return {binding, called && !refuses};
  }
};

}  // namespace platform
