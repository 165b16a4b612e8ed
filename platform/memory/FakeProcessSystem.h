#pragma once
// A process system for tests: the running processes are whatever the test
// lists (or the walk cannot be made), and every attempt to end one is written
// down in order, "end 12" or "end task 40:7". Nothing is ever ended.
#include "platform/ProcessSystem.h"

namespace platform {

class FakeProcessSystem final : public IProcessSystem {
 public:
  bool ListProcesses(std::vector<RunningProcess>& out) override {
    out.clear();
    if (walkFails) return false;
    out = processes;
    return true;
  }
  void End(const RunningProcess& p) override {
    ends.push_back(p.task != 0 ? "end task " + std::to_string(p.processId) + ":" + std::to_string(p.task)
                               : "end " + std::to_string(p.processId));
  }
  std::uint32_t CurrentProcessId() override { return selfId; }

  std::vector<RunningProcess> processes;  // in the system's order
  bool walkFails = false;
  std::uint32_t selfId = 1;
  std::vector<std::string> ends;
};

}  // namespace platform
