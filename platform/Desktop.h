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
  virtual std::vector<std::string> RunningProcessNames() = 0;
  // FindWindowA(className, title) found a top-level window; an empty class
  // name stands for any class.
  virtual bool TopLevelWindowExists(const std::string& className, const std::string& title) = 0;
};

}  // namespace platform
