// The service control manager and dispatcher of the real system. The
// dispatcher calls WINAPI functions with Windows' own integer types, so the
// program's entry points are reached through two small forwarders; a process
// has one service table and one handler, so one slot each is enough.
#include <windows.h>
#include <tlhelp32.h>

#include "platform/ServiceManager.h"

namespace platform {
namespace {

ServiceMainFunction g_main = nullptr;
ServiceHandlerFunction g_handler = nullptr;

void WINAPI ForwardServiceMain(DWORD argc, LPSTR* argv) {
  if (g_main) g_main(static_cast<std::uint32_t>(argc), argv);
}

void WINAPI ForwardControl(DWORD control) {
  if (g_handler) g_handler(static_cast<std::uint32_t>(control));
}

// False when the process was not started by the service control manager:
// its parent is not (or no longer) services.exe. Windows fails a
// dispatcher call from such a process at once; Wine's dispatcher instead
// connects to the control pipe of whichever service started last and, if
// that pipe is busy, waits for it forever, so a user's start of the program
// would never open its window. When the snapshot cannot be taken, the
// dispatcher is asked as before.
bool MayBeStartedByServiceManager() {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return true;
  const DWORD self = GetCurrentProcessId();
  DWORD parent = 0;
  bool selfFound = false, parentIsManager = false;
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
    if (entry.th32ProcessID != self) continue;
    selfFound = true;
    parent = entry.th32ParentProcessID;
    break;
  }
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more && parent != 0;
       more = Process32Next(snapshot, &entry)) {
    if (entry.th32ProcessID != parent) continue;
    parentIsManager = lstrcmpiA(entry.szExeFile, "services.exe") == 0;
    break;
  }
  CloseHandle(snapshot);
  return !selfFound || parentIsManager;
}

SC_HANDLE ToScHandle(ServiceHandle handle) { return reinterpret_cast<SC_HANDLE>(handle); }
ServiceHandle FromScHandle(SC_HANDLE handle) { return reinterpret_cast<ServiceHandle>(handle); }

class Win32ServiceManager final : public IServiceManager {
 public:
  ServiceHandle OpenSCManagerA(std::uint32_t access) override {
    return FromScHandle(::OpenSCManagerA(nullptr, nullptr, access));
  }
  ServiceHandle CreateServiceA(ServiceHandle manager, const char* name,
                               const ServiceEntry& entry) override {
    return FromScHandle(::CreateServiceA(ToScHandle(manager), name, entry.displayName,
                                         entry.desiredAccess, entry.serviceType, entry.startType,
                                         entry.errorControl, entry.binaryPath, nullptr, nullptr,
                                         nullptr, nullptr, nullptr));
  }
  ServiceHandle OpenServiceA(ServiceHandle manager, const char* name,
                             std::uint32_t access) override {
    return FromScHandle(::OpenServiceA(ToScHandle(manager), name, access));
  }
  bool DeleteService(ServiceHandle service) override {
    return ::DeleteService(ToScHandle(service)) != FALSE;
  }
  bool CloseServiceHandle(ServiceHandle handle) override {
    return ::CloseServiceHandle(ToScHandle(handle)) != FALSE;
  }
  bool StartServiceCtrlDispatcherA(const char* name, ServiceMainFunction main) override {
    if (!MayBeStartedByServiceManager()) {
      SetLastError(ERROR_FAILED_SERVICE_CONTROLLER_CONNECT);
      return false;
    }
    g_main = main;
    SERVICE_TABLE_ENTRYA table[2] = {{const_cast<char*>(name), &ForwardServiceMain},
                                     {nullptr, nullptr}};
    return ::StartServiceCtrlDispatcherA(table) != FALSE;
  }
  ServiceStatusHandle RegisterServiceCtrlHandlerA(const char* name,
                                                  ServiceHandlerFunction handler) override {
    g_handler = handler;
    return reinterpret_cast<ServiceStatusHandle>(::RegisterServiceCtrlHandlerA(name, &ForwardControl));
  }
  bool SetServiceStatus(ServiceStatusHandle handle, const ServiceStatusRecord& status) override {
    SERVICE_STATUS record{status.serviceType,      status.currentState,
                          status.controlsAccepted, status.win32ExitCode,
                          status.serviceSpecificExitCode, status.checkPoint,
                          status.waitHint};
    return ::SetServiceStatus(reinterpret_cast<SERVICE_STATUS_HANDLE>(handle), &record) != FALSE;
  }
  std::uint32_t GetLastError() override { return ::GetLastError(); }
};

}  // namespace

IServiceManager& DefaultServiceManager() {
  static Win32ServiceManager manager;
  return manager;
}

}  // namespace platform
