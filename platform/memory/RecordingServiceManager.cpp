#include "platform/memory/RecordingServiceManager.h"

#include <cstdio>

namespace platform {
namespace {

// Windows' error codes for the failures the fake reports (with
// kErrorAccessDenied and kErrorInvalidHandle of Registry.h).
constexpr std::uint32_t kErrorServiceDoesNotExist = 1060;
constexpr std::uint32_t kErrorFailedServiceControllerConnect = 1063;
constexpr std::uint32_t kErrorServiceExists = 1073;

std::string Hex(std::uint64_t value) {
  char text[32];
  std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(value));
  return text;
}

std::string Text(const char* text) { return text != nullptr ? text : "null"; }

}  // namespace

std::string ServiceStatusText(const ServiceStatusRecord& s) {
  return "{type " + Hex(s.serviceType) + ", state " + std::to_string(s.currentState) +
         ", accepted " + Hex(s.controlsAccepted) + ", exit " + std::to_string(s.win32ExitCode) +
         ", specific " + std::to_string(s.serviceSpecificExitCode) + ", check " +
         std::to_string(s.checkPoint) + ", wait " + std::to_string(s.waitHint) + "}";
}

ServiceHandle RecordingServiceManager::Hand(const std::string& what) {
  const ServiceHandle handle = next_++;
  open_[handle] = what;
  return handle;
}

std::string RecordingServiceManager::NameOf(ServiceHandle handle) const {
  const auto found = open_.find(handle);
  return found != open_.end() ? found->second : "closed " + Hex(handle);
}

ServiceHandle RecordingServiceManager::OpenSCManagerA(std::uint32_t access) {
  log.push_back("OpenSCManagerA(" + Hex(access) + ")");
  if (!managerOpens) {
    lastError_ = kErrorAccessDenied;
    return 0;
  }
  return Hand("manager");
}

ServiceHandle RecordingServiceManager::CreateServiceA(ServiceHandle manager, const char* name,
                                                      const ServiceEntry& e) {
  log.push_back("CreateServiceA(" + Text(name) + ", " + Text(e.displayName) + ", " +
                Hex(e.desiredAccess) + ", " + std::to_string(e.serviceType) + ", " +
                std::to_string(e.startType) + ", " + std::to_string(e.errorControl) + ", " +
                Text(e.binaryPath) + ")");
  if (NameOf(manager) != "manager" || name == nullptr) {
    lastError_ = kErrorInvalidHandle;
    return 0;
  }
  if (createFails || services.count(name)) {
    lastError_ = createFails ? std::uint32_t{kErrorAccessDenied} : kErrorServiceExists;
    return 0;
  }
  services[name] = {Text(e.displayName), e.serviceType, e.startType, e.errorControl,
                    Text(e.binaryPath)};
  return Hand(name);
}

ServiceHandle RecordingServiceManager::OpenServiceA(ServiceHandle manager, const char* name,
                                                    std::uint32_t access) {
  log.push_back("OpenServiceA(" + Text(name) + ", " + Hex(access) + ")");
  if (NameOf(manager) != "manager" || name == nullptr) {
    lastError_ = kErrorInvalidHandle;
    return 0;
  }
  if (!services.count(name)) {
    lastError_ = kErrorServiceDoesNotExist;
    return 0;
  }
  return Hand(name);
}

bool RecordingServiceManager::DeleteService(ServiceHandle service) {
  const std::string name = NameOf(service);
  log.push_back("DeleteService(" + name + ")");
  if (deleteFails || !services.count(name)) {
    lastError_ = deleteFails ? kErrorAccessDenied : kErrorInvalidHandle;
    return false;
  }
  services.erase(name);
  return true;
}

bool RecordingServiceManager::CloseServiceHandle(ServiceHandle handle) {
  log.push_back("CloseServiceHandle(" + NameOf(handle) + ")");
  if (!open_.erase(handle)) {
    lastError_ = kErrorInvalidHandle;
    return false;
  }
  return true;
}

bool RecordingServiceManager::StartServiceCtrlDispatcherA(const char* name,
                                                          ServiceMainFunction main) {
  log.push_back("StartServiceCtrlDispatcherA(\"" + Text(name) + "\")");
  if (!startedByManager) {
    lastError_ = kErrorFailedServiceControllerConnect;
    return false;
  }
  char serviceName[] = "Vesperon";
  char* arguments[] = {serviceName, nullptr};
  main(1, arguments);
  return true;
}

ServiceStatusHandle RecordingServiceManager::RegisterServiceCtrlHandlerA(
    const char* name, ServiceHandlerFunction function) {
  log.push_back("RegisterServiceCtrlHandlerA(" + Text(name) + ")");
  handler = function;
  if (statusHandle == 0) lastError_ = kErrorServiceDoesNotExist;
  return statusHandle;
}

bool RecordingServiceManager::SetServiceStatus(ServiceStatusHandle handle,
                                               const ServiceStatusRecord& status) {
  log.push_back("SetServiceStatus(" + Hex(handle) + ", " + ServiceStatusText(status) + ")");
  if (!statusResult) lastError_ = kErrorInvalidHandle;
  return statusResult;
}

std::uint32_t RecordingServiceManager::GetLastError() {
  log.push_back("GetLastError() = " + std::to_string(lastError_));
  return lastError_;
}

}  // namespace platform
