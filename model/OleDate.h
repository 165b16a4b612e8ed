#pragma once
// Calendar arithmetic of the OLE Automation date: a day count since midnight
// of 30 December 1899 whose fraction is the time of day. Below day 0 the
// integer part is negative while the fraction still counts forward from
// midnight (-1.25 is 29 December 1899, 06:00).
//
// The conversions reproduce what SystemTimeToVariantTime and
// VariantTimeToSystemTime give, bit for bit, so that the portable core and
// the fakes compute the same values as the Windows build. Header-only and
// free of dependencies: the host and in-memory stand-ins share it.
#include <cmath>
#include <cstdint>

namespace Vesperon::OleDate {

inline constexpr std::int64_t kFirstDay = -657434;  // 1 January 100
inline constexpr std::int64_t kLastDay = 2958465;   // 31 December 9999
inline constexpr double kSecondsPerDay = 86400.0;

struct Fields {
  int year = 0;
  int month = 0;  // 1..12
  int day = 0;    // 1..31
  int hour = 0;
  int minute = 0;
  int second = 0;
  int dayOfWeek = 0;  // 0 Sunday .. 6 Saturday
};

constexpr bool IsLeapYear(std::int64_t year) {
  return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

// month 1..12 of the proleptic Gregorian calendar.
constexpr int DaysInMonth(std::int64_t year, int month) {
  constexpr int kLengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kLengths[month - 1];
}

// Days since 1 January 1970 of a proleptic Gregorian date. Counting in
// 400-year eras starting in March puts the leap day last, so the day of
// the year follows from the month without tables.
constexpr std::int64_t DaysFromCivil(std::int64_t year, int month, int day) {
  year -= month <= 2 ? 1 : 0;
  const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
  const std::int64_t yearOfEra = year - era * 400;
  const std::int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

// Inverse of DaysFromCivil.
constexpr void CivilFromDays(std::int64_t days, std::int64_t& year, int& month, int& day) {
  days += 719468;
  const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const std::int64_t dayOfEra = days - era * 146097;
  const std::int64_t yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const std::int64_t shiftedMonth = (5 * dayOfYear + 2) / 153;
  day = static_cast<int>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
  month = static_cast<int>(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
  year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
}

// Day 0 of the OLE date on the 1970-based count.
inline constexpr std::int64_t kEpoch = DaysFromCivil(1899, 12, 30);

// The OLE date of calendar fields in their usual ranges (years 100..9999);
// false for anything else. The time of day is added term by term, away from
// zero below day 0, which is the order of operations that gives the same
// doubles as SystemTimeToVariantTime.
inline bool Encode(int year, int month, int day, int hour, int minute, int second, double& out) {
  if (year < 100 || year > 9999 || month < 1 || month > 12 || day < 1 ||
      day > DaysInMonth(year, month) || hour < 0 || hour > 23 || minute < 0 || minute > 59 ||
      second < 0 || second > 59) {
    return false;
  }
  const std::int64_t dayNumber = DaysFromCivil(year, month, day) - kEpoch;
  double value = static_cast<double>(dayNumber);
  if (dayNumber >= 0) {
    value += hour / 24.0;
    value += minute / 1440.0;
    value += second / 86400.0;
  } else {
    value -= hour / 24.0;
    value -= minute / 1440.0;
    value -= second / 86400.0;
  }
  out = value;
  return true;
}

// Breaks an OLE date down to the nearest second, as VariantTimeToSystemTime
// does: values from just above the day before 1 January 100 to just below
// the day after 31 December 9999 convert (the very top may round into
// 1 January 10000); NaN and everything else fail. A bias of 1e-11 day
// before rounding lets a value that is a hair below a half second (a
// binary fraction cannot hold most seconds exactly) round like the tie.
inline bool Decode(double value, Fields& out) {
  if (!(value > static_cast<double>(kFirstDay - 1) && value < static_cast<double>(kLastDay + 1))) {
    return false;
  }
  const double whole = std::trunc(value);
  const double fraction = std::fabs(value - whole);
  std::int64_t dayNumber = static_cast<std::int64_t>(whole);
  std::int64_t seconds = static_cast<std::int64_t>(std::floor((fraction + 1e-11) * kSecondsPerDay + 0.5));
  if (seconds >= 86400) {  // rounded up to the next midnight
    seconds -= 86400;
    ++dayNumber;
  }
  std::int64_t year = 0;
  CivilFromDays(dayNumber + kEpoch, year, out.month, out.day);
  out.year = static_cast<int>(year);
  out.hour = static_cast<int>(seconds / 3600);
  out.minute = static_cast<int>(seconds % 3600 / 60);
  out.second = static_cast<int>(seconds % 60);
  // Day 0 was a Saturday.
  out.dayOfWeek = static_cast<int>(((dayNumber % 7) + 7 + 6) % 7);
  return true;
}

}  // namespace Vesperon::OleDate
