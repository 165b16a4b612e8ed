#include "platform/memory/FakeProcessSystem.h"

#include <algorithm>

namespace platform {
namespace {

class FakeSnapshotApi final : public IProcessSnapshotApi {
 public:
  explicit FakeSnapshotApi(FakeProcessSystem& system) : system_(system) {}
  bool TakeSnapshot(std::vector<ProcessEntry>& out) override {
    out.clear();
    if (system_.snapshotFails) return false;
    for (const FakeProcess& p : system_.processes) out.push_back({p.processId, p.name});
    return true;
  }

 private:
  FakeProcessSystem& system_;
};

class FakeProcessStatusApi final : public IProcessStatusApi {
 public:
  explicit FakeProcessStatusApi(FakeProcessSystem& system) : system_(system) {}
  bool EnumProcessIds(std::uint32_t* ids, std::uint32_t bufferBytes,
                      std::uint32_t& bytesReturned) override {
    system_.idBufferSizes.push_back(bufferBytes);
    if (system_.enumProcessIdsFails) return false;
    const std::size_t room = bufferBytes / sizeof(std::uint32_t);
    const std::size_t listed = std::min(room, system_.processes.size());
    for (std::size_t i = 0; i < listed; ++i) ids[i] = system_.processes[i].processId;
    std::size_t filled = listed;
    if (system_.idBufferAlwaysFull) {
      std::fill(ids + listed, ids + room, 0u);
      filled = room;
    }
    bytesReturned = static_cast<std::uint32_t>(filled * sizeof(std::uint32_t));
    return true;
  }
  std::string FirstModuleBaseName(std::uint32_t processId) override {
    for (const FakeProcess& p : system_.processes) {
      if (p.processId == processId) return p.refusesAccess ? std::string() : p.name;
    }
    return {};
  }

 private:
  FakeProcessSystem& system_;
};

class FakeTaskWalkApi final : public ITaskWalkApi {
 public:
  explicit FakeTaskWalkApi(FakeProcessSystem& system) : system_(system) {}
  std::vector<TaskEntry> Tasks(std::uint32_t vdmProcessId) override {
    system_.calls.push_back("tasks " + std::to_string(vdmProcessId));
    for (const FakeProcess& p : system_.processes) {
      if (p.processId == vdmProcessId) return p.tasks;
    }
    return {};
  }

 private:
  FakeProcessSystem& system_;
};

}  // namespace

std::unique_ptr<IProcessSnapshotApi> FakeProcessSystem::BindSnapshotApi() {
  calls.push_back("bind snapshot");
  if (!hasSnapshotApi) return nullptr;
  return std::make_unique<FakeSnapshotApi>(*this);
}

std::unique_ptr<IProcessStatusApi> FakeProcessSystem::BindProcessStatusApi() {
  calls.push_back("bind status");
  if (!hasProcessStatusApi) return nullptr;
  return std::make_unique<FakeProcessStatusApi>(*this);
}

std::unique_ptr<ITaskWalkApi> FakeProcessSystem::BindTaskWalkApi() {
  calls.push_back("bind tasks");
  if (!hasTaskWalkApi) return nullptr;
  return std::make_unique<FakeTaskWalkApi>(*this);
}

void FakeProcessSystem::EndProcess(std::uint32_t processId, std::uint32_t exitCode) {
  calls.push_back("end " + std::to_string(processId) + " exit " + std::to_string(exitCode));
}

void FakeProcessSystem::EndTask(std::uint32_t vdmProcessId, std::uint16_t task) {
  calls.push_back("end task " + std::to_string(vdmProcessId) + ":" + std::to_string(task));
}

}  // namespace platform
