// The host build has no service control manager: every call fails without
// an effect, so no service is ever seen as installed and the dispatcher
// returns at once, as it does for a program a user started.
#include "platform/ServiceManager.h"

namespace platform {
namespace {

constexpr std::uint32_t kErrorCallNotImplemented = 120;  // ERROR_CALL_NOT_IMPLEMENTED

class RefusingServiceManager final : public IServiceManager {
 public:
  ServiceHandle OpenSCManagerA(std::uint32_t) override { return 0; }
  ServiceHandle CreateServiceA(ServiceHandle, const char*, const ServiceEntry&) override {
    return 0;
  }
  ServiceHandle OpenServiceA(ServiceHandle, const char*, std::uint32_t) override { return 0; }
  bool DeleteService(ServiceHandle) override { return false; }
  bool CloseServiceHandle(ServiceHandle) override { return false; }
  bool StartServiceCtrlDispatcherA(const char*, ServiceMainFunction) override { return false; }
  ServiceStatusHandle RegisterServiceCtrlHandlerA(const char*, ServiceHandlerFunction) override {
    return 0;
  }
  bool SetServiceStatus(ServiceStatusHandle, const ServiceStatusRecord&) override { return false; }
  std::uint32_t GetLastError() override { return kErrorCallNotImplemented; }
};

}  // namespace

IServiceManager& DefaultServiceManager() {
  static RefusingServiceManager manager;
  return manager;
}

}  // namespace platform
