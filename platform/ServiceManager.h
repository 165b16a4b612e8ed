#pragma once
// The service control manager and the service dispatcher: creating, opening
// and deleting a service entry, handing the process to the dispatcher, and
// the calls a running service makes (its control handler, its status). The
// decisions (names, rights, types, the order of the steps, what a failure
// means) are made in system/; this layer carries out one call each. The
// Win32 build's default is the real system (platform/win32); the host
// build's refuses every call (platform/host); tests install the recording
// fake of platform/memory/RecordingServiceManager.h.
#include <cstdint>

#include "platform/PowerSystem.h"

namespace platform {

// SC_HANDLE of a manager or a service, as an opaque number; 0 is "none".
using ServiceHandle = std::uintptr_t;

// The entry points the dispatcher calls: LPSERVICE_MAIN_FUNCTIONA and
// LPHANDLER_FUNCTION, with the program's own integer types.
using ServiceMainFunction = void (*)(std::uint32_t argc, char** argv);
using ServiceHandlerFunction = void (*)(std::uint32_t control);

// What CreateServiceA is given besides the manager and the name.
struct ServiceEntry {
  const char* displayName = nullptr;
  std::uint32_t desiredAccess = 0;
  std::uint32_t serviceType = 0;
  std::uint32_t startType = 0;
  std::uint32_t errorControl = 0;
  const char* binaryPath = nullptr;
  // No load-order group, tag, dependencies, account or password: the
  // program always passes null for those, and the seam does too.
};

class IServiceManager {
 public:
  virtual ~IServiceManager() = default;

  // OpenSCManagerA(null machine, null database, access).
  virtual ServiceHandle OpenSCManagerA(std::uint32_t access) = 0;
  virtual ServiceHandle CreateServiceA(ServiceHandle manager, const char* name,
                                       const ServiceEntry& entry) = 0;
  virtual ServiceHandle OpenServiceA(ServiceHandle manager, const char* name,
                                     std::uint32_t access) = 0;
  virtual bool DeleteService(ServiceHandle service) = 0;
  virtual bool CloseServiceHandle(ServiceHandle handle) = 0;

  // StartServiceCtrlDispatcherA with a one-entry table {name, main}. Blocks
  // while the process runs as a service; fails at once otherwise.
  virtual bool StartServiceCtrlDispatcherA(const char* name, ServiceMainFunction main) = 0;
  // RegisterServiceCtrlHandlerA: 0 when it fails.
  virtual ServiceStatusHandle RegisterServiceCtrlHandlerA(const char* name,
                                                          ServiceHandlerFunction handler) = 0;
  virtual bool SetServiceStatus(ServiceStatusHandle handle, const ServiceStatusRecord& status) = 0;
  // The calling thread's last error.
  virtual std::uint32_t GetLastError() = 0;
};

IServiceManager& DefaultServiceManager();

namespace detail {
inline IServiceManager* g_serviceManager = nullptr;
}  // namespace detail

inline IServiceManager& ServiceManager() {
  return detail::g_serviceManager ? *detail::g_serviceManager : DefaultServiceManager();
}
// Installs a manager; nullptr goes back to the build's default. Returns the
// one installed before.
inline IServiceManager* SetServiceManager(IServiceManager* manager) {
  IServiceManager* const previous = detail::g_serviceManager;
  detail::g_serviceManager = manager;
  return previous;
}

class ScopedServiceManager {
 public:
  explicit ScopedServiceManager(IServiceManager& manager)
      : previous_(SetServiceManager(&manager)) {}
  ~ScopedServiceManager() { SetServiceManager(previous_); }
  ScopedServiceManager(const ScopedServiceManager&) = delete;
  ScopedServiceManager& operator=(const ScopedServiceManager&) = delete;

 private:
  IServiceManager* previous_;
};

}  // namespace platform
