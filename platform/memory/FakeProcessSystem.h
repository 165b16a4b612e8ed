#pragma once
// A process system for tests: the running processes (and the 16-bit tasks
// inside them) are whatever the test lists, each group of functions can be
// made missing or failing, and every bind and every attempt to end a process
// is written down in order. Nothing is ever ended.
#include <string>
#include <vector>

#include "platform/ProcessSystem.h"

namespace platform {

struct FakeProcess {
  std::uint32_t processId = 0;
  std::string name;
  std::vector<TaskEntry> tasks;   // listed only for a virtual DOS machine
  bool refusesAccess = false;     // the process status route reads no name
};

class FakeProcessSystem final : public IProcessSystem {
 public:
  std::unique_ptr<IProcessSnapshotApi> BindSnapshotApi() override;
  std::unique_ptr<IProcessStatusApi> BindProcessStatusApi() override;
  std::unique_ptr<ITaskWalkApi> BindTaskWalkApi() override;
  void EndProcess(std::uint32_t processId, std::uint32_t exitCode) override;
  void EndTask(std::uint32_t vdmProcessId, std::uint16_t task) override;
  std::uint32_t CurrentProcessId() override { return selfId; }

  std::vector<FakeProcess> processes;  // in the system's order
  std::uint32_t selfId = 1;
  bool hasSnapshotApi = true;
  bool snapshotFails = false;
  bool hasProcessStatusApi = true;
  bool enumProcessIdsFails = false;
  // EnumProcesses fills every buffer to the last byte (padding with id 0),
  // as a system that never stops growing would.
  bool idBufferAlwaysFull = false;
  bool hasTaskWalkApi = true;

  // "bind snapshot", "bind status", "bind tasks", "tasks 40", "end 12 exit 0",
  // "end task 40:7", in call order; binds that find nothing are written too.
  std::vector<std::string> calls;
  std::vector<std::uint32_t> idBufferSizes;  // bufferBytes of each EnumProcesses
};

}  // namespace platform
