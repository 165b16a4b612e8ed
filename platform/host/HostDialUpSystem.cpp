// The host build has no remote access service, hence no dial-up connection.
#include "platform/DialUpSystem.h"

namespace platform {
namespace {
class NoDialUpSystem final : public IDialUpSystem {
 public:
  std::uint32_t ListConnections(std::vector<DialUpConnection>& out) override {
    out.clear();
    return 0;
  }
  void HangUp(const DialUpConnection&) override {}
};
}  // namespace

IDialUpSystem& DefaultDialUpSystem() {
  static NoDialUpSystem system;
  return system;
}
}  // namespace platform
