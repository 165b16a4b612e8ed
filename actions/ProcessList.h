#pragma once
// The walk over the running processes shared by the process trigger, the
// kill action and the process lists of the pages, the splitting of the "|"
// separated pattern lists, and the "Kill Process(es)" action. The process
// services themselves come from platform::ProcessSystem().
#include <cstdint>
#include <string>
#include <vector>

#include "platform/OsVersion.h"

namespace Vesperon {

// Called once per process: (process id, 16-bit task handle or 0, name,
// context). For a 16-bit task the id is that of its virtual DOS machine.
// Returns true to go on, false to end the walk.
using ProcessCallback = bool (*)(std::uint32_t processId, std::uint16_t task, const char* name,
                                 std::uintptr_t context);

enum class ProcessWalkRoute {
  kNone,      // no walk on this system
  kModules,   // NT 4.0: the process status library
  kSnapshot,  // the 9x line and NT 5 on: the tool-help snapshot
};

// Which walk a Windows version record calls for.
ProcessWalkRoute SelectProcessWalkRoute(const platform::OsVersionRecord& record);

// Calls `callback` for every running process (and 16-bit task) in the order
// the system lists them until it returns false. False when the system is not
// one the walk knows, its process functions are missing or the list of
// processes cannot be taken; callers need not look at the result.
bool EnumerateProcesses(ProcessCallback callback, std::uintptr_t context);

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
