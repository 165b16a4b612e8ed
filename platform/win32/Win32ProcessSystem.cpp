// The process services of Windows, every function looked up at the moment
// of use: the tool-help functions are missing on NT 4.0, the process status
// library is an optional part of NT 4.0 and the 16-bit task functions exist
// only where virtual DOS machines do.
#include <windows.h>
#include <tlhelp32.h>

#include "platform/ProcessSystem.h"
#include "platform/win32/SystemLibrary.h"

namespace platform {
namespace {

// A library loaded for one walk, released with the object that holds it.
class Library {
 public:
  explicit Library(const char* name) : module_(LoadSystemLibrary(name)) {}
  ~Library() {
    if (module_ != nullptr) FreeLibrary(module_);
  }
  Library(const Library&) = delete;
  Library& operator=(const Library&) = delete;

  bool Loaded() const { return module_ != nullptr; }
  template <typename Function>
  bool Bind(const char* name, Function& out) const {
    if (module_ == nullptr) return false;
    out = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
    return out != nullptr;
  }

 private:
  HMODULE module_;
};

class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  ~Handle() {
    if (handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE Get() const { return handle_; }
  bool Valid() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE handle_;
};

#if defined(_WIN64)
static_assert(sizeof(PROCESSENTRY32) == 304);
#else
static_assert(sizeof(PROCESSENTRY32) == 296);
#endif

class SnapshotApi final : public IProcessSnapshotApi {
 public:
  bool Bind() {
    return kernel_.Bind("CreateToolhelp32Snapshot", create_) &&
           kernel_.Bind("Process32First", first_) && kernel_.Bind("Process32Next", next_);
  }

  bool TakeSnapshot(std::vector<ProcessEntry>& out) override {
    out.clear();
    const Handle snapshot(create_(TH32CS_SNAPPROCESS, 0));
    if (!snapshot.Valid()) return false;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = first_(snapshot.Get(), &entry); more; more = next_(snapshot.Get(), &entry)) {
      entry.szExeFile[MAX_PATH - 1] = '\0';
      out.push_back({entry.th32ProcessID, entry.szExeFile});
    }
    return true;
  }

 private:
  using CreateFn = HANDLE(WINAPI*)(DWORD, DWORD);
  using WalkFn = BOOL(WINAPI*)(HANDLE, PROCESSENTRY32*);
  Library kernel_{"Kernel32.DLL"};
  CreateFn create_ = nullptr;
  WalkFn first_ = nullptr;
  WalkFn next_ = nullptr;
};

class ProcessStatusApi final : public IProcessStatusApi {
 public:
  bool Bind() {
    return psapi_.Bind("EnumProcesses", enumProcesses_) &&
           psapi_.Bind("EnumProcessModules", enumModules_) &&
           psapi_.Bind("GetModuleBaseNameA", baseName_);
  }

  bool EnumProcessIds(std::uint32_t* ids, std::uint32_t bufferBytes,
                      std::uint32_t& bytesReturned) override {
    static_assert(sizeof(DWORD) == sizeof(std::uint32_t));
    DWORD returned = 0;
    if (!enumProcesses_(reinterpret_cast<DWORD*>(ids), bufferBytes, &returned)) return false;
    bytesReturned = returned;
    return true;
  }

  std::string FirstModuleBaseName(std::uint32_t processId) override {
    const Handle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
    if (!process.Valid()) return {};
    HMODULE module = nullptr;
    DWORD needed = 0;
    if (!enumModules_(process.Get(), &module, sizeof(module), &needed)) return {};
    char name[MAX_PATH] = {};
    const DWORD length = baseName_(process.Get(), module, name, MAX_PATH);
    return std::string(name, length < MAX_PATH ? length : 0);
  }

 private:
  using EnumProcessesFn = BOOL(WINAPI*)(DWORD*, DWORD, DWORD*);
  using EnumModulesFn = BOOL(WINAPI*)(HANDLE, HMODULE*, DWORD, DWORD*);
  using BaseNameFn = DWORD(WINAPI*)(HANDLE, HMODULE, LPSTR, DWORD);
  Library psapi_{"PSAPI.DLL"};
  EnumProcessesFn enumProcesses_ = nullptr;
  EnumModulesFn enumModules_ = nullptr;
  BaseNameFn baseName_ = nullptr;
};

// Virtual DOS machines run only on 32-bit Windows, and only a 32-bit process
// can look into them. A 64-bit build never binds the 16-bit task functions:
// Wine's VDMDBG.DLL exports them as stubs that raise an exception when called.
constexpr bool kVirtualDosMachinesReachable = sizeof(void*) == 4;

class TaskWalkApi final : public ITaskWalkApi {
 public:
  bool Bind() { return vdmdbg_.Bind("VDMEnumTaskWOWEx", enumTasks_); }

  std::vector<TaskEntry> Tasks(std::uint32_t vdmProcessId) override {
    std::vector<TaskEntry> tasks;
    enumTasks_(vdmProcessId, &TaskWalkApi::OnTask, reinterpret_cast<LPARAM>(&tasks));
    return tasks;
  }

 private:
  // TASKENUMPROCEX of vdmdbg.h: (thread id, module handle, task handle,
  // module name, file name, caller's value); returning TRUE stops the walk.
  using TaskEnumFn = BOOL(WINAPI*)(DWORD, WORD, WORD, PSZ, PSZ, LPARAM);
  using EnumTasksFn = INT(WINAPI*)(DWORD, TaskEnumFn, LPARAM);

  static BOOL WINAPI OnTask(DWORD, WORD, WORD task, PSZ, PSZ fileName, LPARAM context) {
    reinterpret_cast<std::vector<TaskEntry>*>(context)->push_back(
        {task, fileName != nullptr ? fileName : ""});
    return FALSE;
  }

  Library vdmdbg_{"VDMDBG.DLL"};
  EnumTasksFn enumTasks_ = nullptr;
};

class Win32ProcessSystem final : public IProcessSystem {
 public:
  std::unique_ptr<IProcessSnapshotApi> BindSnapshotApi() override {
    auto api = std::make_unique<SnapshotApi>();
    if (!api->Bind()) return nullptr;
    return api;
  }

  std::unique_ptr<IProcessStatusApi> BindProcessStatusApi() override {
    auto api = std::make_unique<ProcessStatusApi>();
    if (!api->Bind()) return nullptr;
    return api;
  }

  std::unique_ptr<ITaskWalkApi> BindTaskWalkApi() override {
    if constexpr (!kVirtualDosMachinesReachable) return nullptr;
    auto api = std::make_unique<TaskWalkApi>();
    if (!api->Bind()) return nullptr;
    return api;
  }

  void EndProcess(std::uint32_t processId, std::uint32_t exitCode) override {
    const Handle process(OpenProcess(PROCESS_TERMINATE, FALSE, processId));
    if (process.Valid()) TerminateProcess(process.Get(), exitCode);
  }

  // VDMTerminateTaskWOW ends the one task; the machine and its other tasks
  // stay.
  void EndTask(std::uint32_t vdmProcessId, std::uint16_t task) override {
    if constexpr (!kVirtualDosMachinesReachable) return;
    using TerminateTaskFn = BOOL(WINAPI*)(DWORD, WORD);
    const Library vdmdbg("VDMDBG.DLL");
    TerminateTaskFn terminate = nullptr;
    if (vdmdbg.Bind("VDMTerminateTaskWOW", terminate)) terminate(vdmProcessId, task);
  }

  std::uint32_t CurrentProcessId() override { return GetCurrentProcessId(); }
};

}  // namespace

IProcessSystem& DefaultProcessSystem() {
  static Win32ProcessSystem system;
  return system;
}

}  // namespace platform
