#pragma once
// The running processes, and ending one of them. Which of the system's
// process functions serve the walk (the tool-help snapshot, the process
// status library, the 16-bit task functions) depends on the Windows version
// and on what the system has; that is decided in platform/win32, the core
// only sees the list.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/ServiceSlot.h"

namespace platform {

struct RunningProcess {
  std::uint32_t processId = 0;  // for a 16-bit task: that of its virtual DOS machine
  std::uint16_t task = 0;       // a 16-bit task inside NTVDM; 0 for a process
  std::string name;             // as the system names it (a full path on the 9x line)
};

class IProcessSystem {
 public:
  virtual ~IProcessSystem() = default;
  // Every running process in the system's order, each virtual DOS machine
  // followed by its 16-bit tasks. False, with `out` empty, when the walk
  // cannot be made (a system the walk does not know, its functions missing,
  // no list to be had).
  virtual bool ListProcesses(std::vector<RunningProcess>& out) = 0;
  // Ends the process with exit code 0 or, for a task, that 16-bit task
  // alone (neither its machine nor the machine's other tasks). Silent when
  // the system refuses.
  virtual void End(const RunningProcess& process) = 0;
  virtual std::uint32_t CurrentProcessId() = 0;
};

// The real services in the Win32 build; on the host a system without
// processes, whose walk cannot be made.
IProcessSystem& DefaultProcessSystem();

using ProcessSystemSlot = ServiceSlot<IProcessSystem, DefaultProcessSystem>;
inline IProcessSystem& ProcessSystem() { return ProcessSystemSlot::Get(); }
using ScopedProcessSystem = ProcessSystemSlot::Scoped;

}  // namespace platform
