#pragma once
// The operating system's process services. Each group of functions is bound
// for one walk and released with the object that holds it, because the
// libraries behind them (the tool-help functions, the process status library,
// the 16-bit task debugger library) differ between Windows versions and may
// be missing altogether; a bind that finds them missing returns nullptr.
// Which group is used when is the core's decision (actions/ProcessList.h).
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/Services.h"

namespace platform {

struct ProcessEntry {
  std::uint32_t processId = 0;
  std::string exeFile;  // as the snapshot reports it (a full path on the 9x line)
};

// A 16-bit Windows task inside a virtual DOS machine.
struct TaskEntry {
  std::uint16_t task = 0;
  std::string fileName;
};

// CreateToolhelp32Snapshot, Process32First and Process32Next.
class IProcessSnapshotApi {
 public:
  virtual ~IProcessSnapshotApi() = default;
  // The processes of one snapshot in the system's order; false when the
  // snapshot cannot be taken.
  virtual bool TakeSnapshot(std::vector<ProcessEntry>& out) = 0;
};

// EnumProcesses, EnumProcessModules and GetModuleBaseNameA.
class IProcessStatusApi {
 public:
  virtual ~IProcessStatusApi() = default;
  // EnumProcesses into `ids` (room for bufferBytes / 4 ids); bytesReturned is
  // the number of bytes filled. False when the call fails.
  virtual bool EnumProcessIds(std::uint32_t* ids, std::uint32_t bufferBytes,
                              std::uint32_t& bytesReturned) = 0;
  // The base name of the process's first module (at most 260 characters),
  // read through a handle opened for query and memory reading; empty when
  // the process cannot be opened or read.
  virtual std::string FirstModuleBaseName(std::uint32_t processId) = 0;
};

// VDMEnumTaskWOWEx.
class ITaskWalkApi {
 public:
  virtual ~ITaskWalkApi() = default;
  // The 16-bit tasks running in the virtual DOS machine `vdmProcessId`.
  virtual std::vector<TaskEntry> Tasks(std::uint32_t vdmProcessId) = 0;
};

class IProcessSystem {
 public:
  virtual ~IProcessSystem() = default;
  virtual std::unique_ptr<IProcessSnapshotApi> BindSnapshotApi() = 0;
  virtual std::unique_ptr<IProcessStatusApi> BindProcessStatusApi() = 0;
  // nullptr wherever no virtual DOS machine can run (every 64-bit system).
  virtual std::unique_ptr<ITaskWalkApi> BindTaskWalkApi() = 0;

  // Opens the process for termination only, ends it with `exitCode` and
  // closes the handle; a refusal at any step is silent.
  virtual void EndProcess(std::uint32_t processId, std::uint32_t exitCode) = 0;
  // Ends one 16-bit task and nothing else: neither its host machine nor the
  // other tasks it runs. Silent when the task cannot be ended.
  virtual void EndTask(std::uint32_t vdmProcessId, std::uint16_t task) = 0;
  virtual std::uint32_t CurrentProcessId() = 0;
};

// The real services in the Win32 build; on the host a system without
// processes, whose binds all find nothing.
IProcessSystem& DefaultProcessSystem();

namespace detail {
inline IProcessSystem* g_processSystem = nullptr;
}

inline IProcessSystem& ProcessSystem() {
  return detail::g_processSystem ? *detail::g_processSystem : DefaultProcessSystem();
}
// nullptr goes back to the default.
inline void SetProcessSystem(IProcessSystem* system) { detail::g_processSystem = system; }

using ScopedProcessSystem = ScopedService<IProcessSystem, SetProcessSystem>;

}  // namespace platform
