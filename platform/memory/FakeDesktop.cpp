#include "platform/memory/FakeDesktop.h"

namespace platform {

bool FakeDesktop::TopLevelWindowExists(const std::string& className, const std::string& title) {
  return windows_.count({className, title}) != 0;
}

void FakeDesktop::OpenWindow(const std::string& className, const std::string& title) {
  windows_.insert({className, title});
}

void FakeDesktop::CloseWindow(const std::string& className, const std::string& title) {
  windows_.erase({className, title});
}

}  // namespace platform
