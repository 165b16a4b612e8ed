// The wall clock of the Windows build: the C runtime's 64-bit current time
// broken down to local time, whole seconds.
#include <windows.h>
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

  bool UtcNow(std::int64_t& seconds) override {
    const __time64_t now = _time64(nullptr);
    if (now == -1) return false;
    seconds = static_cast<std::int64_t>(now);
    return true;
  }

  bool PreciseNow(PreciseReading& out) override {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const std::uint64_t ticks100ns =
        (static_cast<std::uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    out.wallMs = static_cast<std::int64_t>(ticks100ns / 10000);
    out.tickMs = GetTickCount64();  // counts through sleep and hibernation
    return true;
  }
};
}  // namespace

IClock& DefaultClock() {
  static Win32Clock clock;
  return clock;
}
}  // namespace platform
