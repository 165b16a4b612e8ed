// The host build has no Windows desktop: no Windows processes run and no
// defragmenter window exists. Tests install a fake desktop instead.
#include "platform/Services.h"

namespace platform {
namespace {
class EmptyDesktop final : public IDesktop {
 public:
  bool ListRunningProcesses(std::vector<std::string>& out) override {
    out.clear();
    return true;
  }
  bool TopLevelWindowExists(const std::string&, const std::string&) override { return false; }
};
}  // namespace

IDesktop& DefaultDesktop() {
  static EmptyDesktop desktop;
  return desktop;
}
}  // namespace platform
