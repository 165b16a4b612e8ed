// The host build runs no Windows processes: every bind finds nothing, so a
// walk lists nothing and a kill ends nothing. Tests install a fake instead.
#include "platform/ProcessSystem.h"

namespace platform {
namespace {
class NoProcessSystem final : public IProcessSystem {
 public:
  std::unique_ptr<IProcessSnapshotApi> BindSnapshotApi() override { return nullptr; }
  std::unique_ptr<IProcessStatusApi> BindProcessStatusApi() override { return nullptr; }
  std::unique_ptr<ITaskWalkApi> BindTaskWalkApi() override { return nullptr; }
  void EndProcess(std::uint32_t, std::uint32_t) override {}
  void EndTask(std::uint32_t, std::uint16_t) override {}
  std::uint32_t CurrentProcessId() override { return 0; }
};
}  // namespace

IProcessSystem& DefaultProcessSystem() {
  static NoProcessSystem system;
  return system;
}
}  // namespace platform
