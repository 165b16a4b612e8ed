#pragma once
// Running as a Windows service (NT line): the service entry that makes the
// system start the program, and the part of the process that talks to the
// service control manager once it has been started that way. All calls go
// through platform::ServiceManager().
#include <cstdint>
#include <string>

#include "model/Exception.h"
#include "platform/ServiceManager.h"

namespace Vesperon {

// The service's name and display name, and the value name of the start-up
// entries.
inline constexpr char ServiceName[] = "Vesperon";

// Failures of the service mode (category 6).
class ServiceException : public Exception {
 public:
  enum Code : std::int32_t {
    kNotPrepared = 0,    // the dispatcher was started before the service mode was prepared
    kRemoveFailed = 3,   // removing the service failed at one of its steps
  };
  explicit ServiceException(std::int32_t code) : Exception(code, kCategoryService) {}
};

// The values the service reports, with their Windows values.
inline constexpr std::uint32_t kServiceOwnProcess = 16;           // SERVICE_WIN32_OWN_PROCESS
inline constexpr std::uint32_t kServiceControlsAccepted = 7;      // STOP | PAUSE_CONTINUE | SHUTDOWN

// Service states and control codes.
enum ServiceState : std::uint32_t {
  kServiceStopped = 1,
  kServiceStartPending = 2,
  kServiceRunning = 4,
  kServicePaused = 7,
};
enum ServiceControl : std::uint32_t {
  kControlStop = 1,
  kControlPause = 2,
  kControlContinue = 3,
  kControlInterrogate = 4,
  kControlShutdown = 5,
};

// Creates the service entry: own process, started automatically, normal
// error control, the program at `path` run with no arguments, the local
// system account. A path with a space is quoted, so the system cannot take
// its first word for the program. Nothing is reported when a step fails
// (an unchecked box the next time the options are opened shows it).
void InstallService(const std::string& path);
// Deletes the service entry; any failed step throws ServiceException 3 (the
// handles opened so far are closed first).
void RemoveService();
// Whether the service entry exists and may be deleted by this user.
bool IsServiceInstalled();
// The command line the service entry is given for `path`.
std::string ServiceCommandLine(const std::string& path);

// --- The service mode, process-wide.
// The status last reported, and the handle the control-handler registration
// returned. ServiceMain writes them on the dispatcher's thread before the
// manager can send a control; the handler writes them on the thread that
// waits in the dispatcher; never both at once.
extern platform::ServiceStatusRecord ServiceStatusRecord;
extern platform::ServiceStatusHandle ServiceStatusHandle;
// Set just before the dispatcher is started.
extern bool ServiceModePrepared;

// Called with every control code before it is handled.
using ServiceControlCallback = std::int32_t (*)(std::uint32_t control);
void SetServiceControlCallback(ServiceControlCallback callback);
// The callback the program installs: it does nothing.
std::int32_t IgnoreServiceControl(std::uint32_t control);

// Hands the process to the dispatcher: throws ServiceException 0 unless the
// service mode was prepared. Returns at once when a user started the
// program; when the manager did, only after the service reported stopped.
void RunServiceDispatcher();
// The service's entry point and control handler, as the dispatcher calls them.
void ServiceMain(std::uint32_t argc, char** argv);
void ServiceControlHandler(std::uint32_t control);

// The step of the main window's initialisation: on the NT line with the
// service installed, prepare the service mode and run the dispatcher. True
// when the manager ran the service in this process: it has stopped (a stop
// or a system shutdown) and the program must end.
bool HandOverToServiceDispatcher();

// Puts the process-wide items back as they are at process start.
void ResetServiceModeForTesting();

}  // namespace Vesperon
