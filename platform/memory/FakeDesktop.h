#pragma once
// A desktop for tests and simulations: the running processes and the open
// top-level windows are whatever the test says.
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/Desktop.h"

namespace platform {

class FakeDesktop final : public IDesktop {
 public:
  bool ListRunningProcesses(std::vector<std::string>& out) override {
    out = walkFails ? std::vector<std::string>{} : processNames;
    return !walkFails;
  }
  bool TopLevelWindowExists(const std::string& className, const std::string& title) override;

  void OpenWindow(const std::string& className, const std::string& title);
  void CloseWindow(const std::string& className, const std::string& title);

  std::vector<std::string> processNames;  // in walk order
  bool walkFails = false;                 // the walk cannot be made

 private:
  std::set<std::pair<std::string, std::string>> windows_;
};

}  // namespace platform
