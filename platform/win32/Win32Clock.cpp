// The wall clock of the Windows build: the C runtime's 64-bit current time
// broken down to local time, whole seconds.
#include <time.h>

#include "platform/Services.h"

namespace platform {
namespace {
class Win32Clock final : public IClock {
 public:
  bool LocalNow(LocalTimeFields& out) override {
    const __time64_t now = _time64(nullptr);
    struct tm parts {};
    if (_localtime64_s(&parts, &now) != 0) return false;
    out = {parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday,
           parts.tm_hour,        parts.tm_min,     parts.tm_sec};
    return true;
  }
};
}  // namespace

IClock& DefaultClock() {
  static Win32Clock clock;
  return clock;
}
}  // namespace platform
