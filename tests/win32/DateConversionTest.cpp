// The core's own OLE Automation dates against the system's conversions, and
// the clock readings the clock watch depends on.
#include <windows.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "model/DateTime.h"
#include "platform/Services.h"

namespace {

using Vesperon::DateTime;
using Vesperon::DateTimeStatus;
using Vesperon::MakeDateTime;

SYSTEMTIME Record(int y, int mo, int d, int h, int mi, int s) {
  return {WORD(y), WORD(mo), 0, WORD(d), WORD(h), WORD(mi), WORD(s), 0};
}

// Year, month, day, hour, minute and second, compared and printed at once.
using Fields = std::array<int, 6>;
Fields Of(const SYSTEMTIME& t) { return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond}; }
Fields Of(const DateTime& d) { return {d.Year(), d.Month(), d.Day(), d.Hour(), d.Minute(), d.Second()}; }

// The round trip that decides whether MakeDateTime is valid, done by the
// system: true and the day count when the fields come back unchanged.
bool SystemRoundTrip(const Fields& f, double& days) {
  SYSTEMTIME in = Record(f[0], f[1], f[2], f[3], f[4], f[5]);
  SYSTEMTIME back{};
  return SystemTimeToVariantTime(&in, &days) && VariantTimeToSystemTime(days, &back) && Of(back) == Of(in);
}

// The calendar against the system: every day (and every impossible day
// 29..31) of the first and last years, of the leap rules' centuries and of
// the years around day zero; of every other year the turn of the year and
// the days around the end of February. Each at midnight, at the last second
// and at a time that wanders through the day; then impossible other fields.
TEST(DateConversionTest, MakeDateTimeAndFieldsMatchTheSystemAtTheEdges) {
  long mismatches = 0;
  std::int32_t wander = 0;
  for (int y = 100; y <= 9999; ++y) {
    const bool everyDay =
        y <= 101 || y == 1600 || y == 1899 || y == 1900 || y == 2000 || y == 2100 || y >= 9998;
    for (int mo = 1; mo <= 12; ++mo) {
      for (int d = 1; d <= 31; ++d) {
        if (!everyDay && !((mo == 1 && d == 1) || (mo == 12 && d == 31) || (mo <= 3 && d >= 28))) continue;
        wander = (wander + 7919) % 86400;
        const int times[3][3] = {
            {0, 0, 0}, {23, 59, 59}, {wander / 3600, wander / 60 % 60, wander % 60}};
        for (const auto& t : times) {
          const Fields fields{y, mo, d, t[0], t[1], t[2]};
          double expected = 0;
          const bool valid = SystemRoundTrip(fields, expected);
          const DateTime date = MakeDateTime(y, mo, d, t[0], t[1], t[2]);
          bool same = (date.status == DateTimeStatus::Valid) == valid;
          if (same && valid) {
            SYSTEMTIME st{};
            VariantTimeToSystemTime(expected, &st);
            same = date.days == expected && Of(date) == Of(st) && date.DayOfWeek() == st.wDayOfWeek + 1;
          }
          if (!same && ++mismatches <= 10) {
            ADD_FAILURE() << testing::PrintToString(fields) << " system " << valid << " " << expected
                          << ", core " << static_cast<int>(date.status) << " " << date.days;
          }
        }
      }
    }
  }
  EXPECT_EQ(mismatches, 0);
  // Impossible days 29..31 are in the sweep; these are the other fields.
  const Fields impossible[] = {
      {2004, 1, 0, 0, 0, 0},    {2004, 0, 1, 0, 0, 0},     {2004, 13, 1, 0, 0, 0},
      {2004, 1, 1, 24, 0, 0},   {2004, 1, 1, 0, 60, 0},    {2004, 1, 1, 0, 0, 60},
      {99, 12, 31, 0, 0, 0},    {0, 1, 1, 0, 0, 0},        {10000, 1, 1, 0, 0, 0},
      {65535, 1, 1, 0, 0, 0},   {2004, 65535, 1, 0, 0, 0}, {2004, 1, 1, 65535, 0, 0},
  };
  for (const Fields& r : impossible) {
    SCOPED_TRACE(testing::PrintToString(r));
    double ignored = 0;
    EXPECT_FALSE(SystemRoundTrip(r, ignored));
    EXPECT_EQ(MakeDateTime(r[0], r[1], r[2], r[3], r[4], r[5]).status, DateTimeStatus::Invalid);
  }
}

// Arbitrary day counts, many of them a hair from a half second, and the
// edges of the range: the fields round like VariantTimeToSystemTime.
TEST(DateConversionTest, FieldsOfAnyDayCountRoundLikeTheSystem) {
  std::mt19937_64 random(20041105);
  std::uniform_real_distribution<double> anyDay(-657434.99, 2958465.99);
  std::uniform_real_distribution<double> nearTie(-2e-11, 2e-11);
  std::vector<double> values = {0.0,           -0.25,        -1.25,         -1.9999999,
                                -0.999999999,  25569.999999, -657434.0,     -657434.99999,
                                -657434.999999999, -657435.0, 2958465.99998, 2958465.999994,
                                2958465.99999999, 2958466.0,  1e10,          -1e10};
  for (int i = 0; i < 1000000; ++i) {
    double value = anyDay(random);
    if (i % 2 == 0) {  // move it next to the tie between two seconds
      const double whole = std::trunc(value);
      const double tie = (std::floor(std::fabs(value - whole) * 86400.0) + 0.5) / 86400.0;
      value = whole < 0 ? whole - tie - nearTie(random) : whole + tie + nearTie(random);
    }
    values.push_back(value);
  }

  long mismatches = 0;
  for (const double value : values) {
    const DateTime date(value, DateTimeStatus::Valid);
    SYSTEMTIME st{};
    const bool converts = VariantTimeToSystemTime(value, &st) != 0;
    bool same = converts ? Of(date) == Of(st) : date.Year() == -1 && date.DayOfWeek() == -1;
    if (same && converts && st.wYear <= 9999) {  // the system has no weekday for year 10000
      // The weekday is that of the date shown. (When the rounding carries
      // into the next day, Wine's record still names the weekday before the
      // carry; ask the system for the weekday of the shown date instead.)
      SYSTEMTIME shown = st;
      double whole = 0;
      SYSTEMTIME weekday{};
      same = SystemTimeToVariantTime(&shown, &whole) && VariantTimeToSystemTime(whole, &weekday) &&
             date.DayOfWeek() == weekday.wDayOfWeek + 1;
    }
    if (!same && ++mismatches <= 10) {
      ADD_FAILURE() << std::hexfloat << value << std::defaultfloat << " (" << value << ") system " << converts
                    << " " << testing::PrintToString(Of(st)) << " core " << testing::PrintToString(Of(date));
    }
  }
  EXPECT_EQ(mismatches, 0);
}

TEST(DateConversionTest, TextOfTheSystemLocaleReadsBackToTheSecond) {
  long mismatches = 0;
  std::int32_t wander = 0;
  for (std::int64_t day = -657434; day <= 2958465; day += 997) {
    wander = (wander + 4099) % 86400;
    // Every tenth date at midnight, whose text has no time part.
    const double fraction = day % 10 == 0 ? 0.0 : wander / 86400.0;
    const DateTime date(day < 0 ? day - fraction : day + fraction, DateTimeStatus::Valid);
    const std::string text = date.ToText();
    DateTime back;
    if (!back.FromText(text) || (back - date).TotalSeconds() != 0) {
      if (++mismatches <= 10) ADD_FAILURE() << date.days << " -> '" << text << "' -> " << back.days;
    }
  }
  EXPECT_EQ(mismatches, 0);
}

// Milliseconds since 1601, UTC, as the system's file times count.
std::int64_t FileTimeMs(const FILETIME& time) {
  return static_cast<std::int64_t>(
      ((static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime) / 10000);
}

TEST(Win32ServicesTest, ClockWatchReadingsAreTheSystemClock) {
  // The clock watch compares UTC seconds, a precise UTC reading and the
  // steady count; each must be the system's own (whose clocks then move
  // together on a clock nobody touches).
  constexpr std::int64_t k1601To1970Ms = 11644473600000;
  platform::IClock& clock = platform::Clock();
  FILETIME before{}, after{};
  GetSystemTimeAsFileTime(&before);
  const ULONGLONG ticksBefore = GetTickCount64();
  std::int64_t utc = 0;
  platform::PreciseReading precise;
  platform::LocalTimeFields local;
  ASSERT_TRUE(clock.UtcNow(utc));
  ASSERT_TRUE(clock.PreciseNow(precise));
  ASSERT_TRUE(clock.LocalNow(local));
  SYSTEMTIME systemLocal{};
  GetLocalTime(&systemLocal);
  GetSystemTimeAsFileTime(&after);
  const ULONGLONG ticksAfter = GetTickCount64();

  EXPECT_GE(utc, (FileTimeMs(before) - k1601To1970Ms) / 1000);
  EXPECT_LE(utc, (FileTimeMs(after) - k1601To1970Ms) / 1000);
  EXPECT_GE(precise.wallMs, FileTimeMs(before));
  EXPECT_LE(precise.wallMs, FileTimeMs(after));
  EXPECT_GE(precise.tickMs, ticksBefore);
  EXPECT_LE(precise.tickMs, ticksAfter);
  // Local time is the system's local time (whole seconds, read a moment apart).
  SYSTEMTIME fields = Record(local.year, local.month, local.day, local.hour, local.minute, local.second);
  FILETIME localTime{}, systemLocalTime{};
  ASSERT_TRUE(SystemTimeToFileTime(&fields, &localTime));
  ASSERT_TRUE(SystemTimeToFileTime(&systemLocal, &systemLocalTime));
  EXPECT_LE(std::llabs(FileTimeMs(systemLocalTime) - FileTimeMs(localTime)), 2000);
}

}  // namespace
