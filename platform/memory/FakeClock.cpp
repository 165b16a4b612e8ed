#include "platform/memory/FakeClock.h"

#include "model/OleDate.h"

namespace platform {

bool FakeClock::LocalNow(LocalTimeFields& out) {
  out = now_;
  return true;
}

bool FakeClock::UtcNow(std::int64_t& seconds) {
  namespace cal = Vesperon::OleDate;
  seconds = (cal::DaysFromCivil(now_.year, now_.month, now_.day) - cal::DaysFromCivil(1970, 1, 1)) *
                86400 +
            now_.hour * 3600 + now_.minute * 60 + now_.second - utcOffset_;
  return true;
}

void FakeClock::Advance(std::int64_t seconds) {
  namespace cal = Vesperon::OleDate;
  std::int64_t total = cal::DaysFromCivil(now_.year, now_.month, now_.day) * 86400 +
                       now_.hour * 3600 + now_.minute * 60 + now_.second + seconds;
  // Floor division keeps the time of day positive before 1970.
  std::int64_t days = total / 86400;
  std::int64_t rest = total % 86400;
  if (rest < 0) {
    rest += 86400;
    --days;
  }
  std::int64_t year = 0;
  cal::CivilFromDays(days, year, now_.month, now_.day);
  now_.year = static_cast<int>(year);
  now_.hour = static_cast<int>(rest / 3600);
  now_.minute = static_cast<int>(rest % 3600 / 60);
  now_.second = static_cast<int>(rest % 60);
}

}  // namespace platform
