// The host build has no service control manager: every call fails without
// an effect, so no service is ever seen as installed and the dispatcher
// returns at once, as it does for a program a user started.
#include "platform/ServiceManager.h"

namespace platform {
namespace {

class RefusingServiceManager final : public IServiceManager {
 public:
  bool InstallService(const std::string&, const std::string&) override { return false; }
  bool IsServiceInstalled(const std::string&) override { return false; }
  bool RemoveService(const std::string&) override { return false; }
  bool RunServiceDispatcher(ServiceMainFunction) override { return false; }
  ServiceStatusHandle RegisterControlHandler(const std::string&, ServiceHandlerFunction) override {
    return 0;
  }
  bool SetServiceStatus(ServiceStatusHandle, const ServiceStatusRecord&) override { return false; }
};

}  // namespace

IServiceManager& DefaultServiceManager() {
  static RefusingServiceManager manager;
  return manager;
}

}  // namespace platform
