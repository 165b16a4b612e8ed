#pragma once
// A stand-in for the power system that carries nothing out: it writes every
// intent with its arguments into `log`, in order, and answers from a small
// scripted world (whether the shell has its window, which privileges the
// process token holds, whether bound functions can be reached). Nothing it
// does reaches the real system.
//
// Log lines: EndSession(0x12, 0x80040001)  QuitShell  StartShell
//   MonitorPower(off, 2000)  ScreenSaver  LockWorkStation  Suspend(1, 0, 1)
//   LayeredAlpha(0x3003A, 217)  ServiceStatus(0x5E7, {type 0x10, ...})
//   CopyKey(0x80000001, Software\From, 0x4242)  Privilege(shutdown, enable)
#include <map>
#include <string>
#include <vector>

#include "platform/PowerSystem.h"

namespace platform {

class RecordingPowerSystem final : public IPowerSystem {
 public:
  std::vector<std::string> log;

  // The shell's desktop window exists (QuitShell finds it).
  bool shellWindow = true;
  // Every intent is refused by the system (the function ran and said no;
  // the key copy reports access denied).
  bool refuses = false;
  // How the binding of every bound intent goes.
  Binding binding = Binding::kBound;
  // The privileges the token holds, with whether each is enabled; a removed
  // one leaves. By default an administrator's: held, disabled.
  std::map<Privilege, bool> token = {
      {Privilege::kShutdown, false}, {Privilege::kBackup, false}, {Privilege::kRestore, false}};
  // A change of this kind fails at the step given.
  std::map<PrivilegeChange, PrivilegeResult> failingChanges;

  bool EndSession(std::uint32_t flags, std::uint32_t reason) override;
  bool QuitShell() override;
  bool StartShell() override;
  bool BroadcastMonitorPower(bool on, std::uint32_t timeoutMs) override;
  bool StartScreenSaver() override;
  BoundResult LockWorkStation() override;
  BoundResult Suspend(bool hibernate, bool forceCritical, bool disableWakeEvent) override;
  BoundResult SetLayeredWindowAlpha(WindowHandle window, std::uint8_t alpha) override;
  BoundResult SetServiceStatus(ServiceStatusHandle handle,
                               const ServiceStatusRecord& status) override;
  BoundResult CopyRegistryKey(RegKey source, const char* subkey, RegKey target) override;
  PrivilegeResult ChangePrivilege(Privilege privilege, PrivilegeChange change) override;

 private:
  BoundResult Bound(std::string line);
};

}  // namespace platform
