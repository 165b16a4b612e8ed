// The host build's wall clock: the C library's time() broken down to local time.
#include <time.h>

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
    const std::time_t now = std::time(nullptr);
    if (now == static_cast<std::time_t>(-1)) return false;
    seconds = static_cast<std::int64_t>(now);
    return true;
  }

  bool PreciseNow(PreciseReading& out) override {
    timespec wall{}, steady{};
    // CLOCK_BOOTTIME, like Windows' tick count, keeps counting in suspend.
    if (clock_gettime(CLOCK_REALTIME, &wall) != 0 || clock_gettime(CLOCK_BOOTTIME, &steady) != 0)
      return false;
    out.wallMs = static_cast<std::int64_t>(wall.tv_sec) * 1000 + wall.tv_nsec / 1000000;
    out.tickMs = static_cast<std::uint64_t>(steady.tv_sec) * 1000 +
                 static_cast<std::uint64_t>(steady.tv_nsec) / 1000000;
    return true;
  }
};
}  // namespace

IClock& DefaultClock() {
  static HostClock clock;
  return clock;
}
}  // namespace platform
