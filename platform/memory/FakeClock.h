#pragma once
// A wall clock for tests and simulations: it shows whatever local time it
// was set to and moves only when told. Its zone is a plain offset (UTC by
// default) that changes only when told, as a daylight-saving change or a
// new time zone would change it.
#include "model/OleDate.h"
#include "platform/Clock.h"

namespace platform {

class FakeClock final : public IClock {
 public:
  FakeClock() = default;
  explicit FakeClock(const LocalTimeFields& now) : now_(now) {}

  bool LocalNow(LocalTimeFields& out) override {
    out = now_;
    return true;
  }

  void Set(int year, int month, int day, int hour, int minute, int second) {
    now_ = {year, month, day, hour, minute, second};
  }
  // Moves the clock by whole seconds (negative moves back), carrying across
  // days, months and years of the proleptic Gregorian calendar.
  void Advance(std::int64_t seconds) {
    const std::int64_t total = LocalSeconds() + seconds;
    // Floor division keeps the time of day positive before 1970.
    const std::int64_t days = total / 86400 - (total % 86400 < 0 ? 1 : 0), rest = total - days * 86400;
    std::int64_t year = 0;
    Vesperon::OleDate::CivilFromDays(days, year, now_.month, now_.day);
    now_ = {static_cast<int>(year), now_.month, now_.day, static_cast<int>(rest / 3600),
            static_cast<int>(rest % 3600 / 60), static_cast<int>(rest % 60)};
  }
  // Local time minus UTC, in seconds. Setting it keeps the local fields, so
  // it is UTC that moves; a zone change as the system makes it moves the
  // local fields by the difference as well (Advance, then SetUtcOffset).
  void SetUtcOffset(std::int64_t seconds) { utcOffset_ = seconds; }
  std::int64_t UtcOffset() const { return utcOffset_; }
  bool UtcNow(std::int64_t& seconds) override {
    seconds = LocalSeconds() - Vesperon::OleDate::DaysFromCivil(1970, 1, 1) * 86400 - utcOffset_;
    return true;
  }
  // Until this is called the fake offers no precise reading.
  void SetPrecise(const PreciseReading& reading) {
    precise_ = reading;
    hasPrecise_ = true;
  }
  bool PreciseNow(PreciseReading& out) override {
    if (!hasPrecise_) return false;
    out = precise_;
    return true;
  }

  const LocalTimeFields& Current() const { return now_; }

 private:
  // The local fields as seconds on the calendar's own day count.
  std::int64_t LocalSeconds() const {
    return Vesperon::OleDate::DaysFromCivil(now_.year, now_.month, now_.day) * 86400 + now_.hour * 3600 +
           now_.minute * 60 + now_.second;
  }

  LocalTimeFields now_{2000, 1, 1, 0, 0, 0};
  std::int64_t utcOffset_ = 0;
  PreciseReading precise_;
  bool hasPrecise_ = false;
};

}  // namespace platform
