// The wall clock of the Windows build: the C runtime's 64-bit current time
// broken down to local time, whole seconds.
#include <windows.h>
#include <time.h>

#include <cstdint>

#include "platform/Services.h"

namespace platform {
namespace {

// GetTickCount64 first came with Vista: an import of it keeps the loader of
// the x64 editions of XP and Server 2003 from starting the program at all.
// It is looked up once; without it the 32-bit count is carried past its
// wrap (every 49.7 days), which holds as long as readings come more often
// than that (the clock watch reads every few seconds).
using TickCount64Fn = ULONGLONG(WINAPI*)();

TickCount64Fn BindTickCount64() {
  const HMODULE kernel = GetModuleHandleA("kernel32.dll");
  if (kernel == nullptr) return nullptr;
  return reinterpret_cast<TickCount64Fn>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "GetTickCount64")));
}

class WidenedTickCount {
 public:
  std::uint64_t Read(std::uint32_t now) {
    if (now < last_) high_ += std::uint64_t{1} << 32;
    last_ = now;
    return high_ | now;
  }

 private:
  std::uint32_t last_ = 0;
  std::uint64_t high_ = 0;
};

ULONGLONG WINAPI SteadyMilliseconds() {
  static const TickCount64Fn tickCount64 = BindTickCount64();
  if (tickCount64 != nullptr) return tickCount64();
  static WidenedTickCount widened;
  return widened.Read(GetTickCount());
}

}  // namespace

// The threads library linked into the program calls GetTickCount64 through
// its import slot. Defining the slot here points those calls at the lookup
// above and keeps the function out of the import table.
extern "C" {
TickCount64Fn tickCount64ImportSlot __asm__("__imp_GetTickCount64") = SteadyMilliseconds;
}

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
    out.tickMs = SteadyMilliseconds();  // counts through sleep and hibernation
    return true;
  }
};
}  // namespace

IClock& DefaultClock() {
  static Win32Clock clock;
  return clock;
}
}  // namespace platform
