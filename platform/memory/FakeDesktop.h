#pragma once
// A desktop for tests and simulations: the running processes and the open
// top-level windows are whatever the test says.
#include <set>
#include <utility>

#include "platform/Desktop.h"

namespace platform {

class FakeDesktop final : public IDesktop {
 public:
  bool ListRunningProcesses(std::vector<std::string>& out) override {
    out = walkFails ? std::vector<std::string>{} : processNames;
    return !walkFails;
  }
  // An empty class name matches a window of any class.
  bool TopLevelWindowExists(const std::string& className, const std::string& title) override {
    for (const auto& [openClass, openTitle] : windows_) {
      if (openTitle == title && (className.empty() || openClass == className)) return true;
    }
    return false;
  }

  void OpenWindow(const std::string& className, const std::string& title) { windows_.insert({className, title}); }
  void CloseWindow(const std::string& className, const std::string& title) { windows_.erase({className, title}); }

  std::vector<std::string> processNames;  // in walk order
  bool walkFails = false;                 // the walk cannot be made

 private:
  std::set<std::pair<std::string, std::string>> windows_;
};

}  // namespace platform
