#pragma once
// The walk over the running processes shared by the process trigger, the
// kill action and the process lists of the pages, the splitting of the "|"
// separated pattern lists, and the "Kill Process(es)" action. The walk
// itself is platform::ProcessSystem()'s.
#include <cstdint>
#include <string>
#include <vector>

namespace Vesperon {

// The names of every running process and 16-bit task, in walk order.
std::vector<std::string> RunningProcessNames();
// The same into `out`; false (and `out` empty) when the walk cannot be made.
bool ListRunningProcessNames(std::vector<std::string>& out);

// The non-empty pieces between the "|" of a pattern list, in order, nothing
// trimmed.
std::vector<std::string> SplitPatternList(const std::string& text);

// The text turned to upper case the way Windows does it for the ANSI code
// page in force, for the case-blind matching of names against patterns.
std::string UpperCaseCopy(const std::string& text);

// Ends every process whose name matches, case-blind, one of `patterns`: once
// per matching pattern. The program's own process is never ended, and a
// matching 16-bit task is ended alone, never its host machine.
void KillProcessesMatching(const std::vector<std::string>& patterns);

// The "Kill Process(es)" action: the patterns of the active profile's
// Process/ToKill. Settings that cannot be read throw the store's exceptions.
void KillMatchingProcesses();

}  // namespace Vesperon
