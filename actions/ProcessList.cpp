#include "actions/ProcessList.h"

#include <algorithm>
#include <memory>
#include <new>

#include "model/WildcardMatch.h"
#include "platform/ProcessSystem.h"
#include "platform/Services.h"
#include "platform/TextCase.h"
#include "settings/SettingsRecords.h"
#include "settings/SettingsStore.h"

namespace Vesperon {
namespace {

constexpr std::uint32_t kFirstIdBufferBytes = 1024;
// EnumProcesses never says how many ids there are, only that the buffer is
// full. No system runs a quarter of a million processes; a system that keeps
// filling a buffer of this size is answering nonsense, and the walk goes on
// with the ids it has instead of doubling forever.
constexpr std::uint32_t kMaxIdBufferBytes = 1u << 20;

bool IsVirtualDosMachine(const std::string& name) { return UpperCaseCopy(name) == "NTVDM.EXE"; }

// Reports the 16-bit tasks of one virtual DOS machine; false when the
// callback ended the walk.
bool WalkTasks(platform::ITaskWalkApi* tasks, std::uint32_t vdmProcessId, ProcessCallback callback,
               std::uintptr_t context) {
  if (tasks == nullptr) return true;
  for (const platform::TaskEntry& task : tasks->Tasks(vdmProcessId)) {
    if (!callback(vdmProcessId, task.task, task.fileName.c_str(), context)) return false;
  }
  return true;
}

// The process ids, growing the buffer while the system fills it; false when
// the buffer cannot be had or the call fails.
bool ReadProcessIds(platform::IProcessStatusApi& api, std::vector<std::uint32_t>& ids) {
  std::uint32_t bufferBytes = kFirstIdBufferBytes;
  for (;;) {
    std::uint32_t returned = 0;
    try {
      ids.assign(bufferBytes / sizeof(std::uint32_t), 0);
    } catch (const std::bad_alloc&) {
      return false;
    }
    if (!api.EnumProcessIds(ids.data(), bufferBytes, returned)) return false;
    returned = std::min(returned, bufferBytes);
    if (returned != bufferBytes || bufferBytes >= kMaxIdBufferBytes) {
      ids.resize(returned / sizeof(std::uint32_t));
      return true;
    }
    bufferBytes *= 2;
  }
}

bool WalkModules(platform::IProcessSystem& system, ProcessCallback callback,
                 std::uintptr_t context) {
  const std::unique_ptr<platform::IProcessStatusApi> api = system.BindProcessStatusApi();
  if (!api) return false;
  // The 16-bit task walk is an addition to the process walk: without it the
  // processes are still listed, only the tasks inside NTVDM are not.
  const std::unique_ptr<platform::ITaskWalkApi> tasks = system.BindTaskWalkApi();
  std::vector<std::uint32_t> ids;
  if (!ReadProcessIds(*api, ids)) return false;
  for (const std::uint32_t id : ids) {
    const std::string name = api->FirstModuleBaseName(id);
    if (!callback(id, 0, name.c_str(), context)) return true;
    if (IsVirtualDosMachine(name) && !WalkTasks(tasks.get(), id, callback, context)) return true;
  }
  return true;
}

bool WalkSnapshot(platform::IProcessSystem& system, bool ntLine, ProcessCallback callback,
                  std::uintptr_t context) {
  const std::unique_ptr<platform::IProcessSnapshotApi> api = system.BindSnapshotApi();
  if (!api) return false;
  // Only the NT line runs 16-bit programs in NTVDM processes.
  const std::unique_ptr<platform::ITaskWalkApi> tasks =
      ntLine ? system.BindTaskWalkApi() : nullptr;
  std::vector<platform::ProcessEntry> entries;
  if (!api->TakeSnapshot(entries)) return false;
  for (const platform::ProcessEntry& entry : entries) {
    if (!callback(entry.processId, 0, entry.exeFile.c_str(), context)) return true;
    if (ntLine && IsVirtualDosMachine(entry.exeFile) &&
        !WalkTasks(tasks.get(), entry.processId, callback, context)) {
      return true;
    }
  }
  return true;
}

struct KillContext {
  platform::IProcessSystem* system;
  std::vector<std::string> upperPatterns;
  std::uint32_t self;
};

bool KillIfMatching(std::uint32_t processId, std::uint16_t task, const char* name,
                    std::uintptr_t context) {
  const KillContext& kill = *reinterpret_cast<const KillContext*>(context);
  const std::string upperName = UpperCaseCopy(name);
  for (const std::string& pattern : kill.upperPatterns) {
    if (!WildcardMatch(pattern, upperName)) continue;
    if (task != 0) {
      kill.system->EndTask(processId, task);
    } else if (processId != kill.self) {
      // Ending ourselves would cut the walk short and leave the later
      // matches running, and the schedule with them.
      kill.system->EndProcess(processId, 0);
    }
  }
  return true;
}

bool CollectName(std::uint32_t, std::uint16_t, const char* name, std::uintptr_t context) {
  reinterpret_cast<std::vector<std::string>*>(context)->emplace_back(name);
  return true;
}

}  // namespace

ProcessWalkRoute SelectProcessWalkRoute(const platform::OsVersionRecord& record) {
  if (record.platformId == 1) return ProcessWalkRoute::kSnapshot;
  if (record.platformId == 2) {
    if (record.major == 4) return ProcessWalkRoute::kModules;
    if (record.major >= 5) return ProcessWalkRoute::kSnapshot;
  }
  return ProcessWalkRoute::kNone;
}

bool EnumerateProcesses(ProcessCallback callback, std::uintptr_t context) {
  platform::OsVersionRecord record;
  if (!platform::OsVersion().Query(record)) return false;
  platform::IProcessSystem& system = platform::ProcessSystem();
  switch (SelectProcessWalkRoute(record)) {
    case ProcessWalkRoute::kModules: return WalkModules(system, callback, context);
    case ProcessWalkRoute::kSnapshot:
      return WalkSnapshot(system, record.platformId == 2, callback, context);
    case ProcessWalkRoute::kNone: break;
  }
  return false;
}

std::vector<std::string> RunningProcessNames() {
  std::vector<std::string> names;
  ListRunningProcessNames(names);
  return names;
}

bool ListRunningProcessNames(std::vector<std::string>& out) {
  out.clear();
  if (EnumerateProcesses(CollectName, reinterpret_cast<std::uintptr_t>(&out))) return true;
  out.clear();
  return false;
}

std::vector<std::string> SplitPatternList(const std::string& text) {
  std::vector<std::string> pieces;
  std::string::size_type start = 0;
  while (start <= text.size()) {
    std::string::size_type bar = text.find('|', start);
    if (bar == std::string::npos) bar = text.size();
    if (bar > start) pieces.push_back(text.substr(start, bar - start));
    start = bar + 1;
  }
  return pieces;
}

std::string UpperCaseCopy(const std::string& text) {
  std::string upper = text;
  platform::UpperCaseInPlace(upper);
  return upper;
}

void KillProcessesMatching(const std::vector<std::string>& patterns) {
  platform::IProcessSystem& system = platform::ProcessSystem();
  KillContext kill{&system, {}, system.CurrentProcessId()};
  for (const std::string& pattern : patterns) kill.upperPatterns.push_back(UpperCaseCopy(pattern));
  EnumerateProcesses(KillIfMatching, reinterpret_cast<std::uintptr_t>(&kill));
}

void KillMatchingProcesses() {
  const std::string section =
      "Profiles\\" + DataSystem::GetActiveProfileName("Profiles", DataSystem::kHiveCurrentUser);
  KillProcessesMatching(SplitPatternList(DataSystem::ReadText(DataSystem::kToKill, section)));
}

}  // namespace Vesperon
