#include "actions/ProcessList.h"

#include "model/WildcardMatch.h"
#include "platform/ProcessSystem.h"
#include "platform/TextCase.h"
#include "settings/SettingsRecords.h"
#include "settings/SettingsStore.h"

namespace Vesperon {

std::vector<std::string> RunningProcessNames() {
  std::vector<std::string> names;
  ListRunningProcessNames(names);
  return names;
}

bool ListRunningProcessNames(std::vector<std::string>& out) {
  out.clear();
  std::vector<platform::RunningProcess> processes;
  if (!platform::ProcessSystem().ListProcesses(processes)) return false;
  for (platform::RunningProcess& process : processes) out.push_back(std::move(process.name));
  return true;
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
  std::vector<std::string> upperPatterns;
  for (const std::string& pattern : patterns) upperPatterns.push_back(UpperCaseCopy(pattern));
  std::vector<platform::RunningProcess> processes;
  system.ListProcesses(processes);
  const std::uint32_t self = system.CurrentProcessId();
  for (const platform::RunningProcess& process : processes) {
    const std::string upperName = UpperCaseCopy(process.name);
    for (const std::string& pattern : upperPatterns) {
      // Ending ourselves would leave the later matches running, and the
      // schedule with them; a 16-bit task is never the program itself.
      if (WildcardMatch(pattern, upperName) && (process.task != 0 || process.processId != self)) {
        system.End(process);
      }
    }
  }
}

void KillMatchingProcesses() {
  const std::string section =
      "Profiles\\" + DataSystem::GetActiveProfileName("Profiles", DataSystem::kHiveCurrentUser);
  KillProcessesMatching(SplitPatternList(DataSystem::ReadText(DataSystem::kToKill, section)));
}

}  // namespace Vesperon
