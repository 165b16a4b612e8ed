// The Windows desktop as the event triggers see it: the executable names of
// the running processes from a tool-help snapshot, and FindWindowA.
#include <windows.h>
#include <tlhelp32.h>

#include "platform/Services.h"

namespace platform {
namespace {
class Win32Desktop final : public IDesktop {
 public:
  // A snapshot that cannot be taken lists nothing, as if no process ran.
  std::vector<std::string> RunningProcessNames() override {
    std::vector<std::string> names;
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return names;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32First(snapshot, &entry); more;
         more = Process32Next(snapshot, &entry)) {
      names.emplace_back(entry.szExeFile);
    }
    CloseHandle(snapshot);
    return names;
  }

  bool TopLevelWindowExists(const std::string& className, const std::string& title) override {
    return FindWindowA(className.c_str(), title.c_str()) != nullptr;
  }
};
}  // namespace

IDesktop& DefaultDesktop() {
  static Win32Desktop desktop;
  return desktop;
}
}  // namespace platform
