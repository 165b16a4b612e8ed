// The host build runs no Windows processes: no walk, nothing to end.
#include "platform/ProcessSystem.h"

namespace platform {
namespace {
class NoProcessSystem final : public IProcessSystem {
 public:
  bool ListProcesses(std::vector<RunningProcess>& out) override {
    out.clear();
    return false;
  }
  void End(const RunningProcess&) override {}
  std::uint32_t CurrentProcessId() override { return 0; }
};
}  // namespace

IProcessSystem& DefaultProcessSystem() {
  static NoProcessSystem system;
  return system;
}
}  // namespace platform
