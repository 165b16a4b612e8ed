// The host build's wall clock: the C library's time() broken down to local time.
#include <ctime>

#include "platform/Services.h"

namespace platform {
namespace {
class HostClock final : public IClock {
 public:
  bool LocalNow(LocalTimeFields& out) override {
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
    if (localtime_r(&now, &parts) == nullptr) return false;
    out = {parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday,
           parts.tm_hour,        parts.tm_min,     parts.tm_sec};
    return true;
  }

  bool UtcNow(std::int64_t& seconds) override {
    seconds = static_cast<std::int64_t>(std::time(nullptr));
    return true;
  }
  // The simulations that need a precise reading get it from their clock.
  bool PreciseNow(PreciseReading&) override { return false; }
};
}  // namespace

IClock& DefaultClock() {
  static HostClock clock;
  return clock;
}
}  // namespace platform
