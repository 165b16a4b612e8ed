#pragma once
// The wall clock: the current local time broken down to calendar fields,
// whole seconds (the C runtime's time() and localtime()).
#include <cstdint>

namespace platform {

struct LocalTimeFields {
  int year = 0;
  int month = 0;  // 1..12
  int day = 0;    // 1..31
  int hour = 0;
  int minute = 0;
  int second = 0;
};

// The wall clock to the millisecond together with a steady count that keeps
// running through sleep and hibernation. Whole-second local readings taken
// seconds apart cannot tell a clock set back by one second from a clock that
// stood still; the difference between the two elapsed times can.
struct PreciseReading {
  std::int64_t wallMs = 0;   // system time (UTC), milliseconds
  std::uint64_t tickMs = 0;  // steady milliseconds since an arbitrary start
};

class IClock {
 public:
  virtual ~IClock() = default;
  // False when the current time cannot be broken down.
  virtual bool LocalNow(LocalTimeFields& out) = 0;
  // False where no such pair of readings exists.
  virtual bool PreciseNow(PreciseReading& out) {
    (void)out;
    return false;
  }
  // The same clock as LocalNow before the zone's offset is applied: whole
  // seconds since 1 January 1970, UTC. A daylight-saving change or a new
  // time zone moves local time, never this. False where it cannot be read.
  virtual bool UtcNow(std::int64_t& seconds) {
    (void)seconds;
    return false;
  }
};

}  // namespace platform
