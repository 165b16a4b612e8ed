// The Windows desktop as the event triggers see it: the names of the running
// processes from the program's process walk, and FindWindowA.
#include <windows.h>

#include "platform/ProcessSystem.h"
#include "platform/Services.h"

namespace platform {
namespace {
class Win32Desktop final : public IDesktop {
 public:
  // The same walk as the kill action and the process lists, so that the
  // trigger waits for exactly the names the user picks from.
  bool ListRunningProcesses(std::vector<std::string>& out) override {
    out.clear();
    std::vector<RunningProcess> processes;
    if (!ProcessSystem().ListProcesses(processes)) return false;
    for (RunningProcess& process : processes) out.push_back(std::move(process.name));
    return true;
  }

  bool TopLevelWindowExists(const std::string& className, const std::string& title) override {
    return FindWindowA(className.empty() ? nullptr : className.c_str(), title.c_str()) != nullptr;
  }
};
}  // namespace

IDesktop& DefaultDesktop() {
  static Win32Desktop desktop;
  return desktop;
}
}  // namespace platform
