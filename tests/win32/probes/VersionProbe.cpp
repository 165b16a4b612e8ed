// The program's view of the Windows version Wine pretends to be: the
// classification of the real GetVersionExA answer must give the code
// expected on the command line; and where the program walks processes, the
// walk and the kill action on the real process services. Two waiting copies
// of this probe run under names of their own; the version must call for the
// expected route, the walk must list the first with its id, and a pattern
// naming only that copy must end it (exit code 0) while the other keeps
// running. Nothing is ended that this probe did not start.
//
//   version_probe CODE modules|snapshot|-   the check (-: no walk)
//   version_probe wait                      a copy: waits a minute, then ends
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "actions/ProcessList.h"
#include "model/Exception.h"
#include "model/OsVersion.h"
#include "platform/ProcessSystem.h"
#include "platform/Services.h"
#include "platform/win32/ProcessWalkRoute.h"
#include "platform/memory/MemoryRegistry.h"
#include "settings/SettingsStore.h"

namespace {

constexpr DWORD kWaitingChildExitCode = 3;

// A waiting copy of this probe under a name of its own; ended and deleted
// when it goes.
struct Child {
  std::string path, name;
  PROCESS_INFORMATION info{};
  bool started = false;

  bool Start(const std::string& self, const std::string& folder, const std::string& fileName) {
    name = fileName;
    path = folder + name;
    if (!CopyFileA(self.c_str(), path.c_str(), FALSE)) return false;
    std::string commandLine = "\"" + path + "\" wait";
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    // Without a console of its own: under Wine a new console is a conhost.exe
    // that inherits this probe's output pipe and outlives the copy, keeping
    // the test runner waiting.
    started = CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS,
                             nullptr, nullptr, &startup, &info) != 0;
    return started;
  }
  ~Child() {
    if (started) {
      // Ours to end: it was started above and waits for nothing else.
      if (WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(info.hProcess, 0);
      WaitForSingleObject(info.hProcess, 5000);
      CloseHandle(info.hThread);
      CloseHandle(info.hProcess);
    }
    for (int attempt = 0; attempt < 20 && !path.empty(); ++attempt) {
      if (DeleteFileA(path.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND) break;
      Sleep(100);
    }
  }
};

// The walk's entry for the program of that file name, if it lists one. The
// 9x line names full paths.
std::optional<platform::RunningProcess> LookFor(const std::vector<platform::RunningProcess>& processes,
                                                const std::string& name) {
  const std::string tail = "\\" + Vesperon::UpperCaseCopy(name);
  for (const platform::RunningProcess& process : processes) {
    const std::string upper = "\\" + Vesperon::UpperCaseCopy(process.name);
    if (process.task == 0 && upper.ends_with(tail)) return process;
  }
  return std::nullopt;
}

const char* RouteName() {
  platform::OsVersionRecord record;
  if (!platform::OsVersion().Query(record)) return "none";
  const platform::ProcessWalkRoute route = platform::SelectProcessWalkRoute(record);
  return route == platform::ProcessWalkRoute::kModules    ? "modules"
         : route == platform::ProcessWalkRoute::kSnapshot ? "snapshot"
                                                          : "none";
}

int Check(const char* expectedRoute) {
  char selfPath[MAX_PATH] = {};
  char folder[MAX_PATH] = {};
  if (!GetModuleFileNameA(nullptr, selfPath, MAX_PATH) || !GetTempPathA(MAX_PATH, folder)) {
    std::printf("cannot find the program or the temporary folder\n");
    return 1;
  }
  char unique[32];
  std::snprintf(unique, sizeof(unique), "vspk%lx%lx", GetCurrentProcessId(), GetTickCount() & 0xFFFFF);
  Child target, bystander;
  int failures = 0;
  const auto fail = [&failures](const char* what) {
    std::printf("FAILED: %s\n", what);
    ++failures;
  };

  platform::MemoryRegistry registry;
  platform::ScopedRegistry registryGuard(registry);

  if (!target.Start(selfPath, folder, std::string(unique) + "t.exe") ||
      !bystander.Start(selfPath, folder, std::string(unique) + "b.exe")) {
    fail("starting the waiting copies");
  } else {
    // A process that has only just started may not yet name its first module.
    std::optional<platform::RunningProcess> seen;
    bool made = false;
    for (int attempt = 0; attempt < 100 && !seen; ++attempt) {
      if (attempt > 0) Sleep(100);
      std::vector<platform::RunningProcess> processes;
      made = platform::ProcessSystem().ListProcesses(processes);
      seen = LookFor(processes, target.name);
    }
    std::printf("route %s, walk %s, %s %s as \"%s\", id %lu (started as %lu)\n", RouteName(),
                made ? "made" : "not made", target.name.c_str(), seen ? "seen" : "not seen",
                seen ? seen->name.c_str() : "", static_cast<unsigned long>(seen ? seen->processId : 0),
                target.info.dwProcessId);
    if (std::strcmp(RouteName(), expectedRoute) != 0) fail("the walk took another route");
    if (!made) fail("the walk could not be made");
    if (!seen || seen->processId != target.info.dwProcessId) fail("the copy was not listed");

    // Mixed case; the 9x line names full paths, which need a leading star.
    const bool line9x = (GetVersion() & 0x80000000u) != 0;
    std::string pattern = (line9x ? "*V" : "V") + target.name.substr(1);
    pattern.replace(pattern.size() - 4, 4, ".Exe");
    const std::string section =
        "Profiles\\" + DataSystem::GetActiveProfileName("Profiles", DataSystem::kHiveCurrentUser);
    DataSystem::WriteStrings({DataSystem::kToKill}, {"|" + pattern + "||"}, section,
                             DataSystem::kHiveCurrentUser);
    Vesperon::KillMatchingProcesses();

    DWORD exitCode = kWaitingChildExitCode;
    if (WaitForSingleObject(target.info.hProcess, 10000) != WAIT_OBJECT_0) {
      fail("the named copy still runs");
    } else if (!GetExitCodeProcess(target.info.hProcess, &exitCode) || exitCode != 0) {
      fail("the named copy did not end with exit code 0");
    }
    if (WaitForSingleObject(bystander.info.hProcess, 0) != WAIT_TIMEOUT) {
      fail("the copy the pattern does not name ended");
    }
  }
  std::printf("%s\n", failures == 0 ? "passed" : "failed");
  return failures == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "wait") == 0) {
    Sleep(60000);
    return kWaitingChildExitCode;
  }
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s CODE modules|snapshot|-, or %s wait\n", argv[0], argv[0]);
    return 2;
  }
  const long expected = std::strtol(argv[1], nullptr, 10);
  long code = -1;
  try {
    code = Vesperon::GetOsVersionCode();
  } catch (const Vesperon::Exception&) {
    // Not classified: -1 is no version's code.
  }
  std::printf("OsVersionCode %ld (expected %ld)\n", code, expected);
  if (code != expected) return 1;
  return std::strcmp(argv[2], "-") == 0 ? 0 : Check(argv[2]);
}
