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

// The rights the program asks for: connecting and creating a service;
// connecting and reading; deleting the service.
constexpr DWORD kManagerCreate = SC_MANAGER_CONNECT | SC_MANAGER_CREATE_SERVICE;
constexpr DWORD kManagerRead = SC_MANAGER_CONNECT | STANDARD_RIGHTS_READ;
static_assert(kManagerCreate == 0x3 && kManagerRead == 0x20001 && DELETE == 0x10000);

// A manager or service handle, closed when it goes away. Close() reports
// whether the close itself worked, for the removal that must know.
class ScHandle {
 public:
  explicit ScHandle(SC_HANDLE handle) : handle_(handle) {}
  ~ScHandle() { Close(); }
  ScHandle(const ScHandle&) = delete;
  ScHandle& operator=(const ScHandle&) = delete;

  SC_HANDLE Get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }
  bool Close() {
    if (handle_ == nullptr) return true;
    const bool closed = ::CloseServiceHandle(handle_) != FALSE;
    handle_ = nullptr;
    return closed;
  }

 private:
  SC_HANDLE handle_;
};

class Win32ServiceManager final : public IServiceManager {
 public:
  bool InstallService(const std::string& name, const std::string& commandLine) override {
    ScHandle manager(OpenSCManagerA(nullptr, nullptr, kManagerCreate));
    if (!manager) return false;
    ScHandle service(CreateServiceA(manager.Get(), name.c_str(), name.c_str(), SERVICE_ALL_ACCESS,
                                         SERVICE_WIN32_OWN_PROCESS, SERVICE_AUTO_START,
                                         SERVICE_ERROR_NORMAL, commandLine.c_str(), nullptr, nullptr,
                                         nullptr, nullptr, nullptr));
    return static_cast<bool>(service);
  }

  bool IsServiceInstalled(const std::string& name) override {
    ScHandle manager(OpenSCManagerA(nullptr, nullptr, kManagerRead));
    if (!manager) return false;
    ScHandle service(OpenServiceA(manager.Get(), name.c_str(), DELETE));
    return static_cast<bool>(service);
  }

  bool RemoveService(const std::string& name) override {
    ScHandle manager(OpenSCManagerA(nullptr, nullptr, kManagerRead));
    if (!manager) return false;
    ScHandle service(OpenServiceA(manager.Get(), name.c_str(), DELETE));
    if (!service) return false;
    const bool deleted = DeleteService(service.Get()) != FALSE;
    const bool serviceClosed = service.Close();
    const bool managerClosed = manager.Close();
    return deleted && serviceClosed && managerClosed;
  }

  // An own-process service may leave its name in the table empty.
  bool RunServiceDispatcher(ServiceMainFunction main) override {
    if (!MayBeStartedByServiceManager()) return false;
    g_main = main;
    char name[] = "";
    SERVICE_TABLE_ENTRYA table[2] = {{name, &ForwardServiceMain}, {nullptr, nullptr}};
    return StartServiceCtrlDispatcherA(table) != FALSE;
  }

  ServiceStatusHandle RegisterControlHandler(const std::string& name,
                                             ServiceHandlerFunction handler) override {
    g_handler = handler;
    return reinterpret_cast<ServiceStatusHandle>(RegisterServiceCtrlHandlerA(name.c_str(), &ForwardControl));
  }

  bool SetServiceStatus(ServiceStatusHandle handle, const ServiceStatusRecord& status) override {
    SERVICE_STATUS record{status.serviceType,      status.currentState,
                          status.controlsAccepted, status.win32ExitCode,
                          status.serviceSpecificExitCode, status.checkPoint,
                          status.waitHint};
    return ::SetServiceStatus(reinterpret_cast<SERVICE_STATUS_HANDLE>(handle), &record) != FALSE;
  }
};

}  // namespace

IServiceManager& DefaultServiceManager() {
  static Win32ServiceManager manager;
  return manager;
}

}  // namespace platform
