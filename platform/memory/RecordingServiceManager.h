#pragma once
// A stand-in for the service control manager that reaches no real one: it
// writes every call into `log`, one readable line each, and answers from a
// scripted world (the installed services, whether the manager refuses,
// whether the process was started by the manager).
#include <map>
#include <vector>

#include "platform/ServiceManager.h"
#include "platform/memory/LogText.h"

namespace platform {

class RecordingServiceManager final : public IServiceManager {
 public:
  // Every call, in order: Install(Vesperon, C:\P\V.exe)   IsInstalled(Vesperon)
  //   Remove(Vesperon)   RunDispatcher   RegisterControlHandler(Vesperon)
  //   SetServiceStatus(0x5E7, {type 0x10, state 4, accepted 0x7, exit 0, specific 0, check 0, wait 0})
  std::vector<std::string> log;
  // Installed services by name, with their command lines.
  std::map<std::string, std::string> services;
  bool refuses = false;  // the manager cannot be opened, or the step fails
  // The process was started by the manager: the dispatcher runs the service
  // entry point (on the caller's thread here) and returns true.
  bool startedByManager = false;
  ServiceStatusHandle statusHandle = 0x5E7;  // what the handler registration returns
  ServiceHandlerFunction handler = nullptr;  // the one registered last: tests send controls

  bool InstallService(const std::string& name, const std::string& commandLine) override {
    log.push_back("Install(" + name + ", " + commandLine + ")");
    return !refuses && services.emplace(name, commandLine).second;
  }
  bool IsServiceInstalled(const std::string& name) override {
    log.push_back("IsInstalled(" + name + ")");
    return !refuses && services.count(name) == 1;
  }
  bool RemoveService(const std::string& name) override {
    log.push_back("Remove(" + name + ")");
    return !refuses && services.erase(name) == 1;
  }
  bool RunServiceDispatcher(ServiceMainFunction main) override {
    log.push_back("RunDispatcher");
    if (!startedByManager) return false;
    char name[] = "Vesperon";
    char* argv[] = {name, nullptr};
    main(1, argv);
    return true;
  }
  ServiceStatusHandle RegisterControlHandler(const std::string& name,
                                             ServiceHandlerFunction function) override {
    log.push_back("RegisterControlHandler(" + name + ")");
    handler = function;
    return statusHandle;
  }
  bool SetServiceStatus(ServiceStatusHandle handle, const ServiceStatusRecord& status) override {
    log.push_back("SetServiceStatus(" + HexText(handle) + ", " + StatusText(status) + ")");
    return true;
  }

  // SERVICE_STATUS as the power system's recording writes it too.
  static std::string StatusText(const ServiceStatusRecord& s) {
    return "{type " + HexText(s.serviceType) + ", state " + std::to_string(s.currentState) +
           ", accepted " + HexText(s.controlsAccepted) + ", exit " +
           std::to_string(s.win32ExitCode) + ", specific " + std::to_string(s.serviceSpecificExitCode) +
           ", check " + std::to_string(s.checkPoint) + ", wait " + std::to_string(s.waitHint) + "}";
  }
};

}  // namespace platform
