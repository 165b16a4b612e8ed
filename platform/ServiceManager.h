#pragma once
// The service control manager and the service dispatcher: installing,
// finding and removing the program's service entry, handing the process to
// the dispatcher, and the calls a running service makes (its control
// handler, its status). The Win32 build's default is the real system
// (platform/win32); the host build's refuses every call (platform/host);
// tests install the recording fake of platform/memory/RecordingServiceManager.h.
#include <cstdint>
#include <string>

#include "platform/ServiceSlot.h"

namespace platform {

// SERVICE_STATUS_HANDLE as an opaque number; 0 is "none".
using ServiceStatusHandle = std::uintptr_t;

// SERVICE_STATUS, field for field.
struct ServiceStatusRecord {
  std::uint32_t serviceType = 0;
  std::uint32_t currentState = 0;
  std::uint32_t controlsAccepted = 0;
  std::uint32_t win32ExitCode = 0;
  std::uint32_t serviceSpecificExitCode = 0;
  std::uint32_t checkPoint = 0;
  std::uint32_t waitHint = 0;
  friend bool operator==(const ServiceStatusRecord&, const ServiceStatusRecord&) = default;
};

// The entry points the dispatcher calls: LPSERVICE_MAIN_FUNCTIONA and
// LPHANDLER_FUNCTION, with the program's own integer types.
using ServiceMainFunction = void (*)(std::uint32_t argc, char** argv);
using ServiceHandlerFunction = void (*)(std::uint32_t control);

class IServiceManager {
 public:
  virtual ~IServiceManager() = default;

  // Creates the service entry `name` (its display name too): its own
  // process, started automatically, normal error control, `commandLine` run
  // as the local system account. False when the manager cannot be opened or
  // the entry not created; an entry that exists already stays as it is.
  virtual bool InstallService(const std::string& name, const std::string& commandLine) = 0;
  // Whether the entry exists and this user may delete it.
  virtual bool IsServiceInstalled(const std::string& name) = 0;
  // Deletes the entry; false when any step fails (opening the manager or
  // the entry, the delete, closing either again).
  virtual bool RemoveService(const std::string& name) = 0;

  // Hands the process to the dispatcher with `main` as the entry point of
  // its one service. Blocks while the process runs as a service; false at
  // once when it was not started by the manager.
  virtual bool RunServiceDispatcher(ServiceMainFunction main) = 0;
  // RegisterServiceCtrlHandlerA: 0 when it fails.
  virtual ServiceStatusHandle RegisterControlHandler(const std::string& name,
                                                     ServiceHandlerFunction handler) = 0;
  virtual bool SetServiceStatus(ServiceStatusHandle handle, const ServiceStatusRecord& status) = 0;
};

IServiceManager& DefaultServiceManager();

using ServiceManagerSlot = ServiceSlot<IServiceManager, DefaultServiceManager>;
inline IServiceManager& ServiceManager() { return ServiceManagerSlot::Get(); }
using ScopedServiceManager = ServiceManagerSlot::Scoped;

}  // namespace platform
