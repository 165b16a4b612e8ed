#pragma once
// A wall clock for tests and simulations: it shows whatever local time it
// was set to and moves only when told. No time zones, no daylight saving.
#include <cstdint>

#include "platform/Clock.h"

namespace platform {

class FakeClock final : public IClock {
 public:
  FakeClock() = default;
  explicit FakeClock(const LocalTimeFields& now) : now_(now) {}

  bool LocalNow(LocalTimeFields& out) override;

  void Set(const LocalTimeFields& now) { now_ = now; }
  void Set(int year, int month, int day, int hour, int minute, int second) {
    now_ = {year, month, day, hour, minute, second};
  }
  // Moves the clock by whole seconds (negative moves back), carrying across
  // days, months and years of the proleptic Gregorian calendar.
  void Advance(std::int64_t seconds);
  // A failing clock makes LocalNow return false.
  void SetFailing(bool failing) { failing_ = failing; }
  // Until this is called the fake offers no precise reading.
  void SetPrecise(const PreciseReading& reading) {
    precise_ = reading;
    hasPrecise_ = true;
  }
  bool PreciseNow(PreciseReading& out) override {
    if (!hasPrecise_ || failing_) return false;
    out = precise_;
    return true;
  }

  const LocalTimeFields& Current() const { return now_; }

 private:
  LocalTimeFields now_{2000, 1, 1, 0, 0, 0};
  bool failing_ = false;
  PreciseReading precise_;
  bool hasPrecise_ = false;
};

}  // namespace platform
