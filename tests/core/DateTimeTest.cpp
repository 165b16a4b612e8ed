#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "model/DateTime.h"
#include "platform/Services.h"
#include "platform/memory/FakeClock.h"

namespace {

using Vesperon::DateTime;
using Vesperon::DateTimeStatus;
using Vesperon::MakeDateTime;
using Vesperon::MakeSpan;
using Vesperon::TimeSpan;

constexpr double kSecond = 1.0 / 86400.0;
const double kNaN = std::numeric_limits<double>::quiet_NaN();

TimeSpan Valid(double days) { return TimeSpan(days, DateTimeStatus::Valid); }
TimeSpan Seconds(double seconds) { return Valid(seconds * kSecond); }

TEST(DateTimeTest, MakeDateTimeAcceptsExactlyTheRealMoments) {
  struct Row {
    int y, mo, d, h, mi, s;
    bool valid;
    double days;  // checked when valid; the doubles SystemTimeToVariantTime gives
  };
  const Row rows[] = {
      {2004, 2, 29, 5, 0, 0, true, 38046.208333333336},
      {2003, 2, 29, 5, 0, 0, false, 0},
      {1900, 2, 29, 0, 0, 0, false, 0},  // century years are common...
      {2000, 2, 29, 0, 0, 0, true, 36585},  // ...unless divisible by 400
      {2004, 4, 31, 0, 0, 0, false, 0},
      {2004, 0, 1, 0, 0, 0, false, 0},
      {2004, 13, 1, 0, 0, 0, false, 0},
      {2004, 1, 0, 0, 0, 0, false, 0},
      {2004, 1, 32, 0, 0, 0, false, 0},
      {2004, 1, 1, 24, 0, 0, false, 0},
      {2004, 1, 1, 0, 60, 0, false, 0},
      {2004, 1, 1, 0, 0, 60, false, 0},
      {2004, 1, 1, -1, 0, 0, false, 0},
      {2004 + 65536, 1, 1, 0, 0, 0, false, 0},  // no silent 16-bit wrap-around
      {99, 12, 31, 0, 0, 0, false, 0},   // two-digit years would mean 1999
      {100, 1, 1, 0, 0, 0, true, -657434},
      {9999, 12, 31, 23, 59, 59, true, 2958465.999988426},
      {10000, 1, 1, 0, 0, 0, false, 0},
      {1899, 12, 30, 0, 0, 0, true, 0},
      {1899, 12, 29, 6, 0, 0, true, -1.25},  // below day 0 the fraction still counts forward
      {1970, 1, 1, 0, 0, 0, true, 25569},
      {2004, 1, 1, 12, 34, 56, true, 37987.524259259255},
      {1800, 1, 1, 12, 34, 56, true, -36522.524259259255},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.y << "-" << r.mo << "-" << r.d << " " << r.h << ":"
                                    << r.mi << ":" << r.s);
    const DateTime date = MakeDateTime(r.y, r.mo, r.d, r.h, r.mi, r.s);
    EXPECT_EQ(date.status, r.valid ? DateTimeStatus::Valid : DateTimeStatus::Invalid);
    if (r.valid) {
      EXPECT_EQ(date.days, r.days);
    }
  }
}

TEST(DateTimeTest, FieldsRoundToTheNearestSecondAndFailOutsideTheCalendar) {
  struct Row {
    DateTime date;
    int y, mo, d, h, mi, s, dow;  // all -1: no fields
  };
  const auto at = [](double days) { return DateTime(days, DateTimeStatus::Valid); };
  const Row rows[] = {
      {at(-1.25), 1899, 12, 29, 6, 0, 0, 6},
      {at(-0.25), 1899, 12, 30, 6, 0, 0, 7},  // day 0 has two encodings
      {at(25569 + 0.5 * kSecond), 1970, 1, 1, 0, 0, 1, 5},
      {at(25569 + 0.49 * kSecond), 1970, 1, 1, 0, 0, 0, 5},
      {at(25569.999999), 1970, 1, 2, 0, 0, 0, 6},  // rounds into the next day
      {at(-1.9999999), 1899, 12, 30, 0, 0, 0, 7},  // and below day 0 as well
      {at(-657434), 100, 1, 1, 0, 0, 0, 6},
      {at(-657434.99999), 100, 1, 1, 23, 59, 59, 6},
      {at(2958465.999988426), 9999, 12, 31, 23, 59, 59, 6},
      {at(38296.5), 2004, 11, 5, 12, 0, 0, 6},
      {at(-657435), -1, -1, -1, -1, -1, -1, -1},
      {at(2958466), -1, -1, -1, -1, -1, -1, -1},
      {at(kNaN), -1, -1, -1, -1, -1, -1, -1},
      {DateTime(38296.5, DateTimeStatus::Invalid), -1, -1, -1, -1, -1, -1, -1},
      {DateTime(38296.5, DateTimeStatus::Null), -1, -1, -1, -1, -1, -1, -1},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.date.days << " status "
                                    << static_cast<int>(r.date.status));
    EXPECT_EQ(r.date.Year(), r.y);
    EXPECT_EQ(r.date.Month(), r.mo);
    EXPECT_EQ(r.date.Day(), r.d);
    EXPECT_EQ(r.date.Hour(), r.h);
    EXPECT_EQ(r.date.Minute(), r.mi);
    EXPECT_EQ(r.date.Second(), r.s);
    EXPECT_EQ(r.date.DayOfWeek(), r.dow);
  }
}

TEST(DateTimeTest, ArithmeticBridgesTheDiscontinuityBelowDayZero) {
  // LinearDays and its inverse.
  const struct {
    double days, linear;
  } linear[] = {{0, 0}, {1.25, 1.25}, {-1.25, -0.75}, {-1, -1}, {-2.5, -1.5}, {-0.25, 0.25}};
  for (const auto& row : linear) {
    SCOPED_TRACE(row.days);
    EXPECT_EQ(Vesperon::LinearDays(DateTime(row.days, DateTimeStatus::Valid)), row.linear);
    if (row.days != -0.25) {  // 30 December 06:00 reads back as +0.25
      EXPECT_EQ(Vesperon::DaysFromLinear(row.linear), row.days);
    }
  }

  const DateTime dec29_0600 = MakeDateTime(1899, 12, 29, 6, 0, 0);
  const DateTime dec29_1800 = MakeDateTime(1899, 12, 29, 18, 0, 0);
  const DateTime dec30 = MakeDateTime(1899, 12, 30, 0, 0, 0);
  EXPECT_EQ((dec30 - dec29_0600).days, 0.75);
  EXPECT_EQ((dec29_0600 - dec30).days, -0.75);
  EXPECT_EQ((dec29_0600 + MakeSpan(0, 12, 0, 0)).days, dec29_1800.days);
  EXPECT_EQ((dec29_1800 + MakeSpan(0, 12, 0, 0)).days, MakeDateTime(1899, 12, 30, 6, 0, 0).days);
  EXPECT_EQ((MakeDateTime(1899, 12, 30, 6, 0, 0) + MakeSpan(0, -12, 0, 0)).days, dec29_1800.days);
  EXPECT_EQ((dec30 + MakeSpan(-2, 0, 0, 0)).days, MakeDateTime(1899, 12, 28, 0, 0, 0).days);
  // Raw doubles would order these two the other way round.
  EXPECT_TRUE(dec29_0600 < dec29_1800);
  EXPECT_TRUE(dec29_1800 > dec29_0600);
  EXPECT_FALSE(dec29_0600 < DateTime(dec29_1800.days, DateTimeStatus::Invalid));
  EXPECT_FALSE(DateTime(0, DateTimeStatus::Null) > dec29_0600);
}

TEST(DateTimeTest, SpansCarryTheirStatusThroughArithmetic) {
  EXPECT_EQ(MakeSpan(0, 0, 5, 0).days, 5.0 / 1440.0);
  EXPECT_EQ(MakeSpan(0, 0, 0, 86400).days, MakeSpan(1, 0, 0, 0).days);
  EXPECT_EQ(MakeSpan(0, 25, 0, 0).days, 25.0 / 24.0);
  EXPECT_EQ(MakeSpan(1, -24, 0, 0).days, 0.0);

  struct Row {
    TimeSpan span;
    DateTimeStatus status;
    double days;
  };
  const TimeSpan null(0, DateTimeStatus::Null);
  const TimeSpan invalid(5, DateTimeStatus::Invalid);
  const Row rows[] = {
      {MakeSpan(3615897, 0, 0, 0), DateTimeStatus::Valid, 3615897},  // the bound itself
      {MakeSpan(-3615897, 0, 0, 0), DateTimeStatus::Valid, -3615897},
      {MakeSpan(3615897, 0, 0, 1), DateTimeStatus::Invalid, 3615897 + kSecond},  // kept as computed
      {MakeSpan(-3615898, 0, 0, 0), DateTimeStatus::Invalid, -3615898},
      {Valid(3615897) + Valid(1), DateTimeStatus::Invalid, 3615898},
      {-Valid(3615898), DateTimeStatus::Invalid, -3615898},
      {-invalid, DateTimeStatus::Valid, -5},  // negation re-checks only the range
      {null + invalid, DateTimeStatus::Null, 0},
      {invalid - null, DateTimeStatus::Null, 0},
      {invalid + Valid(1), DateTimeStatus::Invalid, 0},
      {Valid(1) - invalid, DateTimeStatus::Invalid, 0},
      {Valid(1.5) - Valid(2), DateTimeStatus::Valid, -0.5},
      {MakeDateTime(2004, 1, 1, 0, 0, 0) - MakeDateTime(100, 1, 1, 0, 0, 0), DateTimeStatus::Valid,
       37987 + 657434},
      {DateTime(3e6, DateTimeStatus::Valid) - DateTime(-3e6, DateTimeStatus::Valid),
       DateTimeStatus::Invalid, 6e6},
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(rows[i].span.status, rows[i].status);
    EXPECT_EQ(rows[i].span.days, rows[i].days);
  }
}

TEST(DateTimeTest, SpanComparisonsAreFalseForBadValues) {
  struct Row {
    TimeSpan a, b;
    bool lt, gt, eq, le;
  };
  const TimeSpan null(0, DateTimeStatus::Null);
  const TimeSpan invalid(0, DateTimeStatus::Invalid);
  const Row rows[] = {
      {Valid(1), Valid(2), true, false, false, true},
      {Valid(2), Valid(1), false, true, false, false},
      {Valid(1), Valid(1), false, false, true, true},
      {invalid, invalid, false, false, false, false},  // two invalid spans are not equal
      {null, TimeSpan(7, DateTimeStatus::Null), false, false, true, true},
      {null, Valid(0), false, false, false, false},
      {invalid, Valid(1), false, false, false, false},
      {Valid(-1), invalid, false, false, false, false},
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    SCOPED_TRACE(i);
    const Row& r = rows[i];
    EXPECT_EQ(r.a < r.b, r.lt);
    EXPECT_EQ(r.a > r.b, r.gt);
    EXPECT_EQ(r.a == r.b, r.eq);
    EXPECT_EQ(r.a <= r.b, r.le);
  }
}

TEST(DateTimeTest, TotalsRoundHalfASecondAwayFromZero) {
  struct Row {
    TimeSpan span;
    double days, hours, minutes, seconds;
  };
  const Row rows[] = {
      {Seconds(59.6), 0, 0, 1, 60},
      {Seconds(-59.6), 0, 0, -1, -60},
      {Seconds(89), 0, 0, 1, 89},
      {Seconds(0.5), 0, 0, 0, 1},
      {Seconds(-0.4), 0, 0, 0, 0},
      {Vesperon::ZeroSpan, 0, 0, 0, 0},
      {MakeSpan(1, 2, 3, 4), 1, 26, 1563, 93784},
      {MakeSpan(0, 0, 0, 59), 0, 0, 0, 59},  // whole seconds never round up
      {MakeSpan(0, 23, 59, 59), 0, 23, 1439, 86399},
      {MakeSpan(-1, 0, 0, 0), -1, -24, -1440, -86400},
      // Beyond 32 bits the conversion gives the integer indefinite value.
      {MakeSpan(30000, 0, 0, 0), 30000, 720000, 43200000, -2147483648.0},
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(rows[i].span.TotalDays(), rows[i].days);
    EXPECT_EQ(rows[i].span.TotalHours(), rows[i].hours);
    EXPECT_EQ(rows[i].span.TotalMinutes(), rows[i].minutes);
    EXPECT_EQ(rows[i].span.TotalSeconds(), rows[i].seconds);
  }
}

TEST(DateTimeTest, FormatAndDescribeSpans) {
  struct Row {
    TimeSpan span;
    const char* pattern;  // nullptr: DescribeSpan
    const char* expected;
  };
  const TimeSpan null(0, DateTimeStatus::Null);
  const Row rows[] = {
      {MakeSpan(1, 2, 3, 4), " %D Days %H Hours %M Mins %S Secs", " 1 Days 02 Hours 03 Mins 04 Secs"},
      {MakeSpan(1, 2, 3, 4), "%%D=%D %x%", "%D=1 x"},
      {MakeSpan(0, -1, -2, -3), "%H:%M:%S", "-1:-2:-3"},  // remainders keep the sign
      {Seconds(59.6), "%M:%S", "01:00"},
      {MakeSpan(123, 0, 0, 0), "%D|%H", "123|00"},
      {null, "%D Days", ""},
      {Vesperon::ZeroSpan, nullptr, ""},
      {null, nullptr, ""},
      {MakeSpan(0, 0, 0, 59), nullptr, "59 Second(s)"},
      {Seconds(-5), nullptr, "-5 Second(s)"},
      {MakeSpan(0, 0, 1, 0), nullptr, "01 Min 00 Sec"},
      {MakeSpan(0, 0, 59, 59), nullptr, "59 Min 59 Sec"},
      {MakeSpan(0, 1, 0, 0), nullptr, "01 Hour 00 Min 00 Sec"},
      {MakeSpan(0, 23, 59, 59), nullptr, "23 Hour 59 Min 59 Sec"},
      {MakeSpan(1, 0, 0, 0), nullptr, "1 Days 00 Hour 00 Min. 00 Sec."},
      {MakeSpan(3615898, 0, 0, 0), nullptr,  // invalid: the last pattern
       "3615898 Days 00 Hour -8 Min. -8 Sec."},
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    SCOPED_TRACE(i);
    const Row& r = rows[i];
    EXPECT_EQ(r.pattern ? Vesperon::FormatSpan(r.span, r.pattern) : Vesperon::DescribeSpan(r.span),
              r.expected);
  }
}

TEST(DateTimeTest, FormatDateTimeUsesTheBrokenDownFields) {
  struct Row {
    DateTime date;
    const char* pattern;
    const char* expected;
  };
  const DateTime nov5 = MakeDateTime(2004, 11, 5, 13, 4, 5);
  const Row rows[] = {
      {nov5, "%H:%M:%S", "13:04:05"},
      {nov5, "%H:%M:%S |", "13:04:05 |"},
      {nov5, " %B %d, %Y", " November 05, 2004"},
      {nov5, "%A %j", "Friday 310"},
      {DateTime(25569.999999, DateTimeStatus::Valid), "%d %H:%M:%S", "02 00:00:00"},
      {DateTime(-1.25, DateTimeStatus::Valid), "%Y-%m-%d %H", "1899-12-29 06"},
      {DateTime(0, DateTimeStatus::Null), "%H", ""},
      {DateTime(38296.5, DateTimeStatus::Invalid), "%H", "Invalid DateTime"},
      {DateTime(3e6, DateTimeStatus::Valid), "%H", "Invalid DateTime"},
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(Vesperon::FormatDateTime(rows[i].date, rows[i].pattern), rows[i].expected);
  }
}

TEST(DateTimeTest, NowReadsTheClockToTheSecond) {
  platform::FakeClock clock;
  platform::ScopedClock scoped(clock);
  clock.Set(2004, 11, 5, 13, 4, 5);
  EXPECT_EQ(Vesperon::Now().days, MakeDateTime(2004, 11, 5, 13, 4, 5).days);
  EXPECT_EQ(Vesperon::Now().status, DateTimeStatus::Valid);
  clock.Set(2003, 2, 29, 0, 0, 0);
  EXPECT_EQ(Vesperon::Now().status, DateTimeStatus::Invalid);
  clock.Set(2004, 11, 5, 13, 4, 5);
  clock.SetFailing(true);
  EXPECT_EQ(Vesperon::Now().status, DateTimeStatus::Invalid);
}

// A date text service that answers as told and counts its calls.
class ScriptedDateText final : public platform::IDateText {
 public:
  bool DateToText(double days, std::string& out) override {
    ++calls;
    lastDays = days;
    out = text;
    return succeed;
  }
  bool TextToDate(const std::string& in, double& days) override {
    ++calls;
    lastText = in;
    days = value;
    return succeed;
  }
  bool succeed = true;
  std::string text = "text";
  double value = 42.5;
  int calls = 0;
  double lastDays = 0;
  std::string lastText;
};

TEST(DateTimeTest, TextConversionGoesThroughThePlatform) {
  ScriptedDateText service;
  platform::ScopedDateText scoped(service);

  EXPECT_EQ(DateTime(7, DateTimeStatus::Null).ToText(), "");
  EXPECT_EQ(DateTime(7, DateTimeStatus::Invalid).ToText(), "Invalid DateTime");
  EXPECT_EQ(service.calls, 0);
  EXPECT_EQ(DateTime(7.25, DateTimeStatus::Valid).ToText(), "text");
  EXPECT_EQ(service.lastDays, 7.25);

  DateTime date;
  EXPECT_TRUE(date.FromText("some date"));
  EXPECT_EQ(service.lastText, "some date");
  EXPECT_EQ(date.days, 42.5);
  EXPECT_EQ(date.status, DateTimeStatus::Valid);

  service.succeed = false;
  EXPECT_EQ(DateTime(7.25, DateTimeStatus::Valid).ToText(), "Invalid DateTime");
  EXPECT_FALSE(date.FromText("bad"));
  EXPECT_EQ(date.status, DateTimeStatus::Invalid);
}

// Runs against the build's own date text: the host's English form here, the
// OLE Automation conversions of the Windows build under Wine.
TEST(DateTimeTest, PlatformTextReadsBackToTheSecond) {
  const DateTime dates[] = {
      MakeDateTime(1970, 1, 1, 0, 0, 0),      MakeDateTime(2004, 11, 5, 0, 0, 1),
      MakeDateTime(2004, 12, 31, 23, 59, 59), MakeDateTime(2004, 2, 29, 12, 0, 0),
      MakeDateTime(1899, 12, 30, 6, 30, 0),   MakeDateTime(1899, 12, 29, 18, 0, 0),
      MakeDateTime(1899, 12, 30, 0, 0, 0),    MakeDateTime(1800, 1, 1, 12, 34, 56),
      MakeDateTime(100, 1, 1, 0, 0, 0),       MakeDateTime(9999, 12, 31, 23, 59, 59),
      MakeDateTime(2038, 1, 19, 3, 14, 8),
  };
  for (const DateTime& date : dates) {
    SCOPED_TRACE(date.days);
    ASSERT_EQ(date.status, DateTimeStatus::Valid);
    const std::string text = date.ToText();
    DateTime back;
    ASSERT_TRUE(back.FromText(text)) << text;
    EXPECT_EQ(back.status, DateTimeStatus::Valid);
    EXPECT_EQ((back - date).TotalSeconds(), 0) << text;
  }

  DateTime stored;
  ASSERT_TRUE(stored.FromText("01/01/1970 12:00:00 AM"));
  EXPECT_EQ(stored.days, 25569.0);

  for (const char* garbage : {"", "garbage", "12/31/2004 25:00:00", "13/45/2004 10:00:00 AM"}) {
    SCOPED_TRACE(garbage);
    DateTime date;
    EXPECT_FALSE(date.FromText(garbage));
    EXPECT_EQ(date.status, DateTimeStatus::Invalid);
  }
}

#ifndef _WIN32
TEST(DateTimeTest, HostTextIsTheEnglishUnitedStatesForm) {
  platform::IDateText& text = platform::DefaultDateText();
  const struct {
    double days;
    const char* text;
  } written[] = {
      {25569, "01/01/1970"},  // midnight: no time
      {0, "12:00:00 AM"},     // day 0: no date
      {-0.25, "06:00:00 AM"},
      {-1.25, "12/29/1899 06:00:00 AM"},
      {38296.5, "11/05/2004 12:00:00 PM"},
      {38296.0 + 13.0 / 24, "11/05/2004 01:00:00 PM"},
      {25569.000001, "01/01/1970 12:00:00 AM"},  // not exactly midnight
      {-657434, "01/01/0100"},
      {2958465.999988426, "12/31/9999 11:59:59 PM"},
  };
  for (const auto& row : written) {
    SCOPED_TRACE(row.days);
    std::string out;
    ASSERT_TRUE(text.DateToText(row.days, out));
    EXPECT_EQ(out, row.text);
  }
  std::string out;
  EXPECT_FALSE(text.DateToText(2958466, out));
  EXPECT_FALSE(text.DateToText(kNaN, out));

  const struct {
    const char* text;
    bool ok;
    double days;
  } read[] = {
      {"1/1/1970", true, 25569},
      {" 01/01/1970  12:00:00 am ", true, 25569},
      {"12:00:00 AM", true, 0},
      {"13:30", true, 0.5625},
      {"12:30 PM", true, 0.5208333333333334},
      {"11/05/2004 01:00:00 PM", true, 38296.0 + 13.0 / 24},
      {"12/29/1899 06:00:00 AM", true, -1.25},
      {"2/29/2003", false, 0},
      {"1/1/99", false, 0},
      {"1/1/1970 13:00 PM", false, 0},
      {"1/1/1970 0:30 AM", false, 0},
      {"1/1/1970 12:00:60", false, 0},
      {"1/1/1970 12:00:00 XM", false, 0},
      {"1/1/1970 12", false, 0},
      {"1/1", false, 0},
      {"1/1/1970x", false, 0},
  };
  for (const auto& row : read) {
    SCOPED_TRACE(row.text);
    double days = -1;
    EXPECT_EQ(text.TextToDate(row.text, days), row.ok);
    if (row.ok) {
      EXPECT_EQ(days, row.days);
    }
  }
}
#endif

TEST(DateTimeTest, FakeClockAdvancesAcrossTheCalendar) {
  struct Row {
    platform::LocalTimeFields from;
    long long seconds;
    platform::LocalTimeFields to;
  };
  const Row rows[] = {
      {{2004, 12, 31, 23, 59, 59}, 1, {2005, 1, 1, 0, 0, 0}},
      {{2004, 2, 28, 12, 0, 0}, 86400, {2004, 2, 29, 12, 0, 0}},
      {{2003, 2, 28, 12, 0, 0}, 86400, {2003, 3, 1, 12, 0, 0}},
      {{1970, 1, 1, 0, 0, 0}, -1, {1969, 12, 31, 23, 59, 59}},
      {{1900, 3, 1, 0, 0, 0}, -86400, {1900, 2, 28, 0, 0, 0}},
      {{2000, 1, 1, 0, 0, 0}, 366LL * 86400 + 3661, {2001, 1, 1, 1, 1, 1}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.seconds);
    platform::FakeClock clock(r.from);
    clock.Advance(r.seconds);
    platform::LocalTimeFields now;
    ASSERT_TRUE(clock.LocalNow(now));
    EXPECT_EQ(now.year, r.to.year);
    EXPECT_EQ(now.month, r.to.month);
    EXPECT_EQ(now.day, r.to.day);
    EXPECT_EQ(now.hour, r.to.hour);
    EXPECT_EQ(now.minute, r.to.minute);
    EXPECT_EQ(now.second, r.to.second);
  }
}

}  // namespace
