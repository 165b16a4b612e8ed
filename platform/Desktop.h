#pragma once
// What the event triggers look at on the desktop: the names of the running
// processes and the top-level windows.
#include <string>
#include <vector>

namespace platform {

class IDesktop {
 public:
  virtual ~IDesktop() = default;
  // File names (with extension) of the running processes, in walk order.
  // False when the walk cannot be made (its functions missing, no list of
  // processes to be had): `out` is then empty and says nothing about which
  // processes run.
  virtual bool ListRunningProcesses(std::vector<std::string>& out) = 0;
  // The same names for the lists the user picks from, where a walk that
  // cannot be made simply offers nothing.
  std::vector<std::string> RunningProcessNames() {
    std::vector<std::string> names;
    ListRunningProcesses(names);
    return names;
  }
  // FindWindowA(className, title) found a top-level window; an empty class
  // name stands for any class.
  virtual bool TopLevelWindowExists(const std::string& className, const std::string& title) = 0;
};

}  // namespace platform
