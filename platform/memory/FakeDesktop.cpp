#include "platform/memory/FakeDesktop.h"

namespace platform {

bool FakeDesktop::TopLevelWindowExists(const std::string& className, const std::string& title) {
  if (!className.empty()) return windows_.count({className, title}) != 0;
  for (const auto& [openClass, openTitle] : windows_) {
    if (openTitle == title) return true;
  }
  return false;
}

void FakeDesktop::OpenWindow(const std::string& className, const std::string& title) {
  windows_.insert({className, title});
}

void FakeDesktop::CloseWindow(const std::string& className, const std::string& title) {
  windows_.erase({className, title});
}

}  // namespace platform
