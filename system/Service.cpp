#include "system/Service.h"

#include "model/OsVersion.h"

namespace Vesperon {

platform::ServiceStatusRecord ServiceStatusRecord;
platform::ServiceStatusHandle ServiceStatusHandle = 0;
bool ServiceModePrepared = false;

namespace {

ServiceControlCallback g_controlCallback = nullptr;
// Whether the manager ran the service in this process.
bool g_ranAsService = false;

bool ReportStatus() {
  return platform::ServiceManager().SetServiceStatus(ServiceStatusHandle, ServiceStatusRecord);
}

}  // namespace

std::string ServiceCommandLine(const std::string& path) {
  if (path.find(' ') == std::string::npos) return path;
  return "\"" + path + "\"";
}

void InstallService(const std::string& path) {
  platform::ServiceManager().InstallService(ServiceName, ServiceCommandLine(path));
}

void RemoveService() {
  if (!platform::ServiceManager().RemoveService(ServiceName)) {
    throw ServiceException(ServiceException::kRemoveFailed);
  }
}

bool IsServiceInstalled() { return platform::ServiceManager().IsServiceInstalled(ServiceName); }

void SetServiceControlCallback(ServiceControlCallback callback) { g_controlCallback = callback; }

std::int32_t IgnoreServiceControl(std::uint32_t) { return 0; }

void RunServiceDispatcher() {
  if (!ServiceModePrepared) throw ServiceException(ServiceException::kNotPrepared);
  // Not examined: started by a user, the call fails at once and the
  // program simply goes on as the user's program.
  platform::ServiceManager().RunServiceDispatcher(&ServiceMain);
}

void ServiceMain(std::uint32_t, char**) {
  g_ranAsService = true;
  ServiceStatusRecord = {};
  ServiceStatusRecord.serviceType = kServiceOwnProcess;
  ServiceStatusRecord.currentState = kServiceStartPending;
  ServiceStatusRecord.controlsAccepted = kServiceControlsAccepted;
  ServiceStatusHandle =
      platform::ServiceManager().RegisterControlHandler(ServiceName, &ServiceControlHandler);
  if (ServiceStatusHandle == 0) return;
  ServiceStatusRecord.currentState = kServiceRunning;
  ServiceStatusRecord.checkPoint = 0;
  ServiceStatusRecord.waitHint = 0;
  // A failed report changes nothing: the manager shows the service starting.
  ReportStatus();
}

void ServiceControlHandler(std::uint32_t control) {
  if (g_controlCallback) g_controlCallback(control);
  switch (control) {
    case kControlStop:
    case kControlShutdown:
      // Both end the service; the dispatcher then returns and the program
      // ends itself cleanly rather than live on as LocalSystem.
      ServiceStatusRecord.win32ExitCode = 0;
      ServiceStatusRecord.checkPoint = 0;
      ServiceStatusRecord.waitHint = 0;
      ServiceStatusRecord.currentState = kServiceStopped;
      ReportStatus();
      break;
    case kControlPause:
      ServiceStatusRecord.currentState = kServicePaused;
      ReportStatus();
      break;
    case kControlContinue:
      ServiceStatusRecord.currentState = kServiceRunning;
      ReportStatus();
      break;
    case kControlInterrogate:
      ReportStatus();
      break;
    default:
      break;
  }
}

bool HandOverToServiceDispatcher() {
  if (!IsOsVersionAtLeast(0, 100) || !IsServiceInstalled()) return false;
  SetServiceControlCallback(&IgnoreServiceControl);
  ServiceModePrepared = true;
  RunServiceDispatcher();
  return g_ranAsService;
}

void ResetServiceModeForTesting() {
  ServiceStatusRecord = {};
  ServiceStatusHandle = 0;
  ServiceModePrepared = false;
  g_controlCallback = nullptr;
  g_ranAsService = false;
}

}  // namespace Vesperon
