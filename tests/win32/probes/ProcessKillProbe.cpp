// The process walk and the kill action on the real process services of the
// Windows version Wine pretends to be: two waiting copies of this probe run
// under names of their own; the walk must take the expected route and list
// the first with its id, and a pattern naming only that copy must end it
// (exit code 0) while the other keeps running. Nothing is ended that this
// probe did not start.
//
//   process_kill_probe modules|snapshot   the check
//   process_kill_probe wait               a copy: waits a minute, then ends
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "actions/ProcessList.h"
#include "platform/ProcessSystem.h"
#include "platform/memory/MemoryRegistry.h"
#include "settings/SettingsStore.h"

namespace {

constexpr DWORD kWaitingChildExitCode = 3;

// Forwards to the real services and notes which route the walk bound.
class RouteRecorder final : public platform::IProcessSystem {
 public:
  explicit RouteRecorder(platform::IProcessSystem& real) : real_(real) {}
  std::unique_ptr<platform::IProcessSnapshotApi> BindSnapshotApi() override {
    route = "snapshot";
    return real_.BindSnapshotApi();
  }
  std::unique_ptr<platform::IProcessStatusApi> BindProcessStatusApi() override {
    route = "modules";
    return real_.BindProcessStatusApi();
  }
  std::unique_ptr<platform::ITaskWalkApi> BindTaskWalkApi() override {
    return real_.BindTaskWalkApi();
  }
  void EndProcess(std::uint32_t id, std::uint32_t exitCode) override { real_.EndProcess(id, exitCode); }
  void EndTask(std::uint32_t id, std::uint16_t task) override { real_.EndTask(id, task); }
  std::uint32_t CurrentProcessId() override { return real_.CurrentProcessId(); }

  std::string route;

 private:
  platform::IProcessSystem& real_;
};

struct Child {
  std::string path;
  std::string name;
  PROCESS_INFORMATION info{};
  bool started = false;
};

bool StartChild(const std::string& self, const std::string& folder, const std::string& name,
                Child& child) {
  child.name = name;
  child.path = folder + name;
  if (!CopyFileA(self.c_str(), child.path.c_str(), FALSE)) return false;
  std::string commandLine = "\"" + child.path + "\" wait";
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  // Without a console of its own: under Wine a new console is a conhost.exe
  // that inherits this probe's output pipe and outlives the copy, keeping
  // the test runner waiting.
  child.started = CreateProcessA(child.path.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                                 DETACHED_PROCESS, nullptr, nullptr, &startup, &child.info) != 0;
  return child.started;
}

void Dispose(Child& child) {
  if (child.started) {
    // Ours to end: it was started above and waits for nothing else.
    if (WaitForSingleObject(child.info.hProcess, 0) == WAIT_TIMEOUT) {
      TerminateProcess(child.info.hProcess, 0);
      WaitForSingleObject(child.info.hProcess, 5000);
    }
    CloseHandle(child.info.hThread);
    CloseHandle(child.info.hProcess);
  }
  for (int attempt = 0; attempt < 20 && !child.path.empty(); ++attempt) {
    if (DeleteFileA(child.path.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND) break;
    Sleep(100);
  }
}

struct Sighting {
  std::string upperName;
  std::uint32_t id = 0;
  std::string reported;  // the name as the walk gave it
  bool seen = false;
};

bool LookFor(std::uint32_t processId, std::uint16_t task, const char* name, std::uintptr_t context) {
  Sighting& sighting = *reinterpret_cast<Sighting*>(context);
  const std::string upper = Vesperon::UpperCaseCopy(name);
  // The 9x line names full paths.
  const bool same = upper == sighting.upperName ||
                    (upper.size() > sighting.upperName.size() &&
                     upper.compare(upper.size() - sighting.upperName.size() - 1, std::string::npos,
                                   "\\" + sighting.upperName) == 0);
  if (task == 0 && same) {
    sighting.id = processId;
    sighting.reported = name;
    sighting.seen = true;
    return false;
  }
  return true;
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

  RouteRecorder recorder(platform::DefaultProcessSystem());
  platform::ScopedProcessSystem processGuard(recorder);
  platform::MemoryRegistry registry;
  platform::ScopedRegistry registryGuard(registry);

  if (!StartChild(selfPath, folder, std::string(unique) + "t.exe", target) ||
      !StartChild(selfPath, folder, std::string(unique) + "b.exe", bystander)) {
    fail("starting the waiting copies");
  } else {
    // A process that has only just started may not yet name its first module.
    Sighting sighting;
    sighting.upperName = Vesperon::UpperCaseCopy(target.name);
    bool made = false;
    for (int attempt = 0; attempt < 100 && !sighting.seen; ++attempt) {
      if (attempt > 0) Sleep(100);
      made = Vesperon::EnumerateProcesses(LookFor, reinterpret_cast<std::uintptr_t>(&sighting));
    }
    std::printf("route %s, walk %s, %s %s as \"%s\", id %lu (started as %lu)\n",
                recorder.route.c_str(), made ? "made" : "not made", target.name.c_str(),
                sighting.seen ? "seen" : "not seen", sighting.reported.c_str(),
                static_cast<unsigned long>(sighting.id), target.info.dwProcessId);
    if (recorder.route != expectedRoute) fail("the walk took another route");
    if (!made) fail("the walk could not be made");
    if (!sighting.seen || sighting.id != target.info.dwProcessId) fail("the copy was not listed");

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
  Dispose(target);
  Dispose(bystander);
  std::printf("%s\n", failures == 0 ? "passed" : "failed");
  return failures == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "wait") == 0) {
    Sleep(60000);
    return kWaitingChildExitCode;
  }
  if (argc == 2 && (std::strcmp(argv[1], "modules") == 0 || std::strcmp(argv[1], "snapshot") == 0)) {
    return Check(argv[1]);
  }
  std::fprintf(stderr, "usage: %s modules|snapshot|wait\n", argv[0]);
  return 2;
}
