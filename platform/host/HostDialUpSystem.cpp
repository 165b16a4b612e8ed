// The host build has no remote access service, hence no dial-up connection.
// Tests install a fake instead.
#include "platform/DialUpSystem.h"

namespace platform {
namespace {
class NoDialUpSystem final : public IDialUpSystem {
 public:
  std::unique_ptr<IRasApi> Bind() override { return nullptr; }
};
}  // namespace

IDialUpSystem& DefaultDialUpSystem() {
  static NoDialUpSystem system;
  return system;
}
}  // namespace platform
