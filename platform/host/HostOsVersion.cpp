// The host build reports a fixed Windows XP record: the portable core then
// takes the same branches it takes on the most common target.
#include "platform/Services.h"

namespace platform {
namespace {
class FixedOsVersion final : public IOsVersionSource {
 public:
  bool Query(OsVersionRecord& out) override {
    out = {2, 5, 1};
    return true;
  }
};
}  // namespace

IOsVersionSource& DefaultOsVersion() {
  static FixedOsVersion source;
  return source;
}
}  // namespace platform
