#pragma once
// A stand-in for the service control manager that reaches no real one: it
// writes every call into `log`, one readable line each, and answers from a
// scripted world (the installed services, which steps fail, whether the
// process was started by the manager). Handles it hands out are tracked, so
// that a test can see every one closed.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/ServiceManager.h"

namespace platform {

class RecordingServiceManager final : public IServiceManager {
 public:
  // Every call, in order:
  //   OpenSCManagerA(0x3)   OpenServiceA(Vesperon, 0x10000)   DeleteService(Vesperon)
  //   CreateServiceA(Vesperon, Vesperon, 0xF01FF, 16, 2, 1, C:\P\V.exe)
  //   CloseServiceHandle(Vesperon)   CloseServiceHandle(manager)
  //   StartServiceCtrlDispatcherA("")   RegisterServiceCtrlHandlerA(Vesperon)
  //   SetServiceStatus(0x5E7, {type 0x10, state 4, accepted 0x7, exit 0, specific 0,
  //                            check 0, wait 0})   GetLastError() = 6
  std::vector<std::string> log;

  // An installed service: what CreateServiceA was given.
  struct Installed {
    std::string displayName;
    std::uint32_t serviceType = 0, startType = 0, errorControl = 0;
    std::string binaryPath;
  };
  // Installed services by name (the manager compares names without regard
  // to case; the program only ever uses one spelling).
  std::map<std::string, Installed> services;

  bool managerOpens = true;
  bool createFails = false;
  bool deleteFails = false;
  // The process was started by the manager: the dispatcher runs the service
  // entry point (on the caller's thread here) with {name} as its argument
  // list and returns true; otherwise it fails at once with error 1063.
  bool startedByManager = false;
  // The handle RegisterServiceCtrlHandlerA returns (0: it fails).
  ServiceStatusHandle statusHandle = 0x5E7;
  bool statusResult = true;

  // The handler the program registered last, so a test can send controls.
  ServiceHandlerFunction handler = nullptr;

  // Manager and service handles handed out and not closed yet.
  int OpenHandleCount() const { return static_cast<int>(open_.size()); }

  ServiceHandle OpenSCManagerA(std::uint32_t access) override;
  ServiceHandle CreateServiceA(ServiceHandle manager, const char* name,
                               const ServiceEntry& entry) override;
  ServiceHandle OpenServiceA(ServiceHandle manager, const char* name,
                             std::uint32_t access) override;
  bool DeleteService(ServiceHandle service) override;
  bool CloseServiceHandle(ServiceHandle handle) override;
  bool StartServiceCtrlDispatcherA(const char* name, ServiceMainFunction main) override;
  ServiceStatusHandle RegisterServiceCtrlHandlerA(const char* name,
                                                  ServiceHandlerFunction handler) override;
  bool SetServiceStatus(ServiceStatusHandle handle, const ServiceStatusRecord& status) override;
  std::uint32_t GetLastError() override;

 private:
  ServiceHandle Hand(const std::string& what);
  std::string NameOf(ServiceHandle handle) const;

  // Open handle -> "manager" or the service's name.
  std::map<ServiceHandle, std::string> open_;
  ServiceHandle next_ = 0x5C0;
  std::uint32_t lastError_ = 0;
};

// SERVICE_STATUS as the fake writes it into its log.
std::string ServiceStatusText(const ServiceStatusRecord& status);

}  // namespace platform
