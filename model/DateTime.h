#pragma once
// The two value types every moment and duration of the scheduler is held in.
// A DateTime is an OLE Automation date (days since 30 December 1899, local
// wall-clock time, no time zone); a TimeSpan is a signed number of days.
// Both carry a status instead of failing: operations on bad values give
// bad values, and comparisons involving them are false.
#include <cstdint>
#include <string>

namespace Vesperon {

enum class DateTimeStatus : std::int32_t { Valid = 0, Invalid = 1, Null = 2 };

class TimeSpan {
 public:
  constexpr TimeSpan() = default;
  constexpr TimeSpan(double days, DateTimeStatus status) : days(days), status(status) {}

  // A valid span of `days`, marked invalid when it leaves the representable
  // range (the value itself is kept).
  static TimeSpan Checked(double days);

  // Whole units, carried as doubles: the span is rounded half a second away
  // from zero, scaled and truncated to a signed 32-bit integer.
  double TotalDays() const;
  double TotalHours() const;
  double TotalMinutes() const;
  double TotalSeconds() const;

  double days = 0.0;
  DateTimeStatus status = DateTimeStatus::Valid;
};

// Spans beyond this many days in either direction are invalid.
inline constexpr double kMaxSpanDays = 3615897.0;

// The zero span that every test for a negative or positive span compares with.
inline constexpr TimeSpan ZeroSpan{};

TimeSpan MakeSpan(std::int32_t days, std::int32_t hours, std::int32_t minutes,
                  std::int32_t seconds);

TimeSpan operator+(const TimeSpan& a, const TimeSpan& b);
TimeSpan operator-(const TimeSpan& a, const TimeSpan& b);
TimeSpan operator-(const TimeSpan& a);
bool operator<(const TimeSpan& a, const TimeSpan& b);
bool operator>(const TimeSpan& a, const TimeSpan& b);
bool operator==(const TimeSpan& a, const TimeSpan& b);
bool operator<=(const TimeSpan& a, const TimeSpan& b);

class DateTime {
 public:
  constexpr DateTime() = default;
  constexpr DateTime(double days, DateTimeStatus status) : days(days), status(status) {}

  // Calendar fields, rounded to the second; -1 when the value is not valid
  // or lies outside 1 January 100 .. 31 December 9999.
  int Year() const;
  int Month() const;      // 1..12
  int Day() const;        // 1..31
  int Hour() const;       // 0..23
  int Minute() const;     // 0..59
  int Second() const;     // 0..59
  int DayOfWeek() const;  // 1 Sunday .. 7 Saturday

  // The platform's text of the date (empty for null, "Invalid DateTime" for
  // an invalid date or a failed conversion).
  std::string ToText() const;
  // Reads a date in the platform's text form; on failure the value becomes
  // invalid and the result is false.
  bool FromText(const std::string& text);

  // The one text form a stored moment takes, whatever the user's regional
  // formats: "MM/DD/YYYY hh:mm:ss AM", date, time and seconds always present
  // (empty for null, "Invalid DateTime" for a value that is not valid).
  std::string ToStoredText() const;
  // Reads the stored form first, then the platform's text in the user's
  // current formats (what was stored before the one form existed); on
  // failure the value becomes invalid and the result is false.
  bool FromStoredText(const std::string& text);

  double days = 0.0;
  DateTimeStatus status = DateTimeStatus::Valid;
};

// A valid date only when the six fields name an existing moment between
// 1 January 100 and 31 December 9999 (so 29 February of a common year,
// hour 24 or year 99 are invalid). Fields out of 16 bits are invalid too.
DateTime MakeDateTime(int year, int month, int day, int hour, int minute, int second);

// The current local time to the second; invalid when the clock fails.
DateTime Now();

// The date on a continuous number line: below day 0 the time of day is
// mirrored, so -1.25 (29 December 1899, 06:00) becomes -0.75.
double LinearDays(const DateTime& date);
// The inverse of LinearDays: the OLE day count of a linear value.
double DaysFromLinear(double linear);

TimeSpan operator-(const DateTime& a, const DateTime& b);
DateTime operator+(const DateTime& date, const TimeSpan& span);
bool operator<(const DateTime& a, const DateTime& b);
bool operator>(const DateTime& a, const DateTime& b);

// strftime patterns applied to the date's local fields; empty for a null
// date, "Invalid DateTime" when the date cannot be broken down.
std::string FormatDateTime(const DateTime& date, const char* pattern);

// Copies `pattern` replacing %D (days), %H, %M, %S (two-digit hours,
// minutes and seconds within the day, hour and minute) and %% (a percent
// sign); any other character after % stands for itself. Empty for null.
std::string FormatSpan(const TimeSpan& span, const char* pattern);

// The span in the words the reminder shows, coarsest unit first; empty for
// the zero span.
std::string DescribeSpan(const TimeSpan& span);

}  // namespace Vesperon
