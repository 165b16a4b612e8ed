// The process services of Windows, every function looked up at the moment
// of use: the tool-help functions are missing on NT 4.0, the process status
// library is an optional part of NT 4.0 and the 16-bit task functions exist
// only where virtual DOS machines do. Each group is bound for one walk and
// released after it.
#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>
#include <memory>
#include <new>
#include <optional>

#include "platform/ProcessSystem.h"
#include "platform/Services.h"
#include "platform/TextCase.h"
#include "platform/win32/ProcessWalkRoute.h"
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

// Virtual DOS machines run only on 32-bit Windows, and only a 32-bit process
// can look into them. A 64-bit build never binds the 16-bit task functions:
// Wine's VDMDBG.DLL exports them as stubs that raise an exception when called.
constexpr bool kVirtualDosMachinesReachable = sizeof(void*) == 4;

constexpr DWORD kFirstIdBufferBytes = 1024;
// EnumProcesses never says how many ids there are, only that the buffer is
// full. No system runs a quarter of a million processes; a system that keeps
// filling a buffer of this size is answering nonsense, and the walk goes on
// with the ids it has instead of doubling forever.
constexpr DWORD kMaxIdBufferBytes = 1u << 20;

bool IsVirtualDosMachine(std::string name) {
  UpperCaseInPlace(name);
  return name == "NTVDM.EXE";
}

// VDMEnumTaskWOWEx: appends the 16-bit tasks running in one virtual DOS
// machine. Without the task functions the processes are still all listed.
class TaskWalk {
 public:
  TaskWalk() {
    if (!kVirtualDosMachinesReachable) return;
    vdmdbg_.emplace("VDMDBG.DLL");
    vdmdbg_->Bind("VDMEnumTaskWOWEx", enumTasks_);
  }
  void Append(DWORD vdmProcessId, std::vector<RunningProcess>& out) const {
    if (enumTasks_ == nullptr) return;
    Context context{vdmProcessId, &out};
    enumTasks_(vdmProcessId, &TaskWalk::OnTask, reinterpret_cast<LPARAM>(&context));
  }

 private:
  struct Context {
    DWORD vdmProcessId;
    std::vector<RunningProcess>* out;
  };
  // TASKENUMPROCEX of vdmdbg.h: (thread id, module handle, task handle,
  // module name, file name, caller's value); returning TRUE stops the walk.
  using TaskEnumFn = BOOL(WINAPI*)(DWORD, WORD, WORD, PSZ, PSZ, LPARAM);
  using EnumTasksFn = INT(WINAPI*)(DWORD, TaskEnumFn, LPARAM);

  static BOOL WINAPI OnTask(DWORD, WORD, WORD task, PSZ, PSZ fileName, LPARAM value) {
    const Context& context = *reinterpret_cast<const Context*>(value);
    context.out->push_back({context.vdmProcessId, task, fileName != nullptr ? fileName : ""});
    return FALSE;
  }

  std::optional<Library> vdmdbg_;
  EnumTasksFn enumTasks_ = nullptr;
};

// The 9x line and NT 5 on: CreateToolhelp32Snapshot, Process32First/Next.
bool WalkSnapshot(bool ntLine, std::vector<RunningProcess>& out) {
  using CreateFn = HANDLE(WINAPI*)(DWORD, DWORD);
  using WalkFn = BOOL(WINAPI*)(HANDLE, PROCESSENTRY32*);
  const Library kernel("Kernel32.DLL");
  CreateFn create = nullptr;
  WalkFn first = nullptr;
  WalkFn next = nullptr;
  if (!kernel.Bind("CreateToolhelp32Snapshot", create) || !kernel.Bind("Process32First", first) ||
      !kernel.Bind("Process32Next", next)) {
    return false;
  }
  // Only the NT line runs 16-bit programs in NTVDM processes.
  std::unique_ptr<TaskWalk> tasks = ntLine ? std::make_unique<TaskWalk>() : nullptr;
  const Handle snapshot(create(TH32CS_SNAPPROCESS, 0));
  if (!snapshot.Valid()) return false;
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = first(snapshot.Get(), &entry); more; more = next(snapshot.Get(), &entry)) {
    entry.szExeFile[MAX_PATH - 1] = '\0';
    out.push_back({entry.th32ProcessID, 0, entry.szExeFile});
    if (tasks && IsVirtualDosMachine(entry.szExeFile)) tasks->Append(entry.th32ProcessID, out);
  }
  return true;
}

// NT 4.0: EnumProcesses, EnumProcessModules and GetModuleBaseNameA.
class ProcessStatusWalk {
 public:
  bool Bind() {
    return psapi_.Bind("EnumProcesses", enumProcesses_) &&
           psapi_.Bind("EnumProcessModules", enumModules_) &&
           psapi_.Bind("GetModuleBaseNameA", baseName_);
  }

  // The process ids, growing the buffer while the system fills it.
  bool ReadIds(std::vector<DWORD>& ids) const {
    for (DWORD bufferBytes = kFirstIdBufferBytes;; bufferBytes *= 2) {
      DWORD returned = 0;
      try {
        ids.assign(bufferBytes / sizeof(DWORD), 0);
      } catch (const std::bad_alloc&) {
        return false;
      }
      if (!enumProcesses_(ids.data(), bufferBytes, &returned)) return false;
      returned = std::min(returned, bufferBytes);
      if (returned != bufferBytes || bufferBytes >= kMaxIdBufferBytes) {
        ids.resize(returned / sizeof(DWORD));
        return true;
      }
    }
  }

  // The base name of the process's first module; empty when the process
  // cannot be opened or read.
  std::string FirstModuleBaseName(DWORD processId) const {
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

bool WalkModules(std::vector<RunningProcess>& out) {
  ProcessStatusWalk walk;
  if (!walk.Bind()) return false;
  const TaskWalk tasks;
  std::vector<DWORD> ids;
  if (!walk.ReadIds(ids)) return false;
  for (const DWORD id : ids) {
    std::string name = walk.FirstModuleBaseName(id);
    const bool vdm = IsVirtualDosMachine(name);
    out.push_back({id, 0, std::move(name)});
    if (vdm) tasks.Append(id, out);
  }
  return true;
}

class Win32ProcessSystem final : public IProcessSystem {
 public:
  bool ListProcesses(std::vector<RunningProcess>& out) override {
    out.clear();
    OsVersionRecord record;
    bool made = false;
    if (OsVersion().Query(record)) {
      switch (SelectProcessWalkRoute(record)) {
        case ProcessWalkRoute::kModules: made = WalkModules(out); break;
        case ProcessWalkRoute::kSnapshot: made = WalkSnapshot(record.platformId == 2, out); break;
        case ProcessWalkRoute::kNone: break;
      }
    }
    if (!made) out.clear();
    return made;
  }

  // VDMTerminateTaskWOW ends the one task; the machine and its other tasks
  // stay.
  void End(const RunningProcess& process) override {
    if (process.task == 0) {
      const Handle handle(OpenProcess(PROCESS_TERMINATE, FALSE, process.processId));
      if (handle.Valid()) TerminateProcess(handle.Get(), 0);
      return;
    }
    if constexpr (!kVirtualDosMachinesReachable) return;
    using TerminateTaskFn = BOOL(WINAPI*)(DWORD, WORD);
    const Library vdmdbg("VDMDBG.DLL");
    TerminateTaskFn terminate = nullptr;
    if (vdmdbg.Bind("VDMTerminateTaskWOW", terminate)) terminate(process.processId, process.task);
  }

  std::uint32_t CurrentProcessId() override { return GetCurrentProcessId(); }
};

}  // namespace

ProcessWalkRoute SelectProcessWalkRoute(const OsVersionRecord& record) {
  if (record.platformId == 1) return ProcessWalkRoute::kSnapshot;
  if (record.platformId == 2) {
    if (record.major == 4) return ProcessWalkRoute::kModules;
    if (record.major >= 5) return ProcessWalkRoute::kSnapshot;
  }
  return ProcessWalkRoute::kNone;
}

IProcessSystem& DefaultProcessSystem() {
  static Win32ProcessSystem system;
  return system;
}

}  // namespace platform
