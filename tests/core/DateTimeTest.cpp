#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <string>
#include <tuple>
#include <utility>

#include "model/DateTime.h"
#include "platform/Services.h"
#include "platform/memory/FakeClock.h"
#include "tests/support/GermanDateText.h"

namespace {

using namespace Vesperon;

constexpr double kSecond = 1.0 / 86400.0, kNaN = std::numeric_limits<double>::quiet_NaN();

TimeSpan Valid(double days) { return TimeSpan(days, DateTimeStatus::Valid); }
TimeSpan Seconds(double seconds) { return Valid(seconds * kSecond); }

// The calendar and the rounding of every day count are held against the
// system in DateConversionTest; these are the inputs the system never sees.
TEST(DateTimeTest, BadInputsAreInvalidAndHaveNoFields) {
  EXPECT_EQ(MakeDateTime(2004, 1, 1, -1, 0, 0).status, DateTimeStatus::Invalid);
  EXPECT_EQ(MakeDateTime(2004 + 65536, 1, 1, 0, 0, 0).status, DateTimeStatus::Invalid);  // no 16-bit wrap
  const DateTime bad[] = {DateTime(2958466, DateTimeStatus::Valid), DateTime(kNaN, DateTimeStatus::Valid),
                          DateTime(38296.5, DateTimeStatus::Invalid), DateTime(38296.5, DateTimeStatus::Null)};
  for (const DateTime& d : bad) {
    SCOPED_TRACE(testing::Message() << d.days << " status " << static_cast<int>(d.status));
    const int fields[] = {d.Year(), d.Month(), d.Day(), d.Hour(), d.Minute(), d.Second(), d.DayOfWeek()};
    for (int f : fields) EXPECT_EQ(f, -1);
  }
}

TEST(DateTimeTest, SpansCarryTheirStatusThroughArithmetic) {
  const TimeSpan null(0, DateTimeStatus::Null), invalid(5, DateTimeStatus::Invalid);
  const std::tuple<TimeSpan, DateTimeStatus, double> rows[] = {  // the span, its status and days
      {MakeSpan(3615897, 0, 0, 0), DateTimeStatus::Valid, 3615897},  // the bound itself
      {MakeSpan(3615897, 0, 0, 1), DateTimeStatus::Invalid, 3615897 + kSecond},  // kept as computed
      {Valid(3615897) + Valid(1), DateTimeStatus::Invalid, 3615898},
      {-Valid(-3615898), DateTimeStatus::Invalid, 3615898},
      {-invalid, DateTimeStatus::Valid, -5},  // negation re-checks only the range
      {null + invalid, DateTimeStatus::Null, 0},
      {Valid(1) + invalid, DateTimeStatus::Invalid, 0},  // one invalid side is enough
      {DateTime(3e6, DateTimeStatus::Valid) - DateTime(-3e6, DateTimeStatus::Valid),
       DateTimeStatus::Invalid, 6e6},
  };
  for (const auto& [span, status, days] : rows) {
    EXPECT_EQ(std::pair(span.status, span.days), std::pair(status, days)) << days;
  }
}

// Below day zero the fraction counts backwards from the day: steps across
// 30 December 1899 land on the right wall time, in the right order. A span
// compares only with a valid span; two null spans are equal.
TEST(DateTimeTest, ArithmeticBelowDayZeroAndComparisonsOfBadValues) {
  const DateTime dec29_1800 = MakeDateTime(1899, 12, 29, 18, 0, 0);
  const DateTime dec30_0600 = MakeDateTime(1899, 12, 30, 6, 0, 0);
  EXPECT_EQ((dec30_0600 - dec29_1800).days, 0.5);
  EXPECT_EQ((dec30_0600 + MakeSpan(0, -12, 0, 0)).days, dec29_1800.days);
  EXPECT_TRUE(MakeDateTime(1899, 12, 29, 6, 0, 0) < dec29_1800);  // raw doubles order them the other way
  const TimeSpan null(0, DateTimeStatus::Null), invalid(0, DateTimeStatus::Invalid);
  EXPECT_TRUE(Valid(1) < Valid(2) && Valid(1) <= Valid(2) && !(Valid(1) > Valid(2)));
  EXPECT_FALSE(invalid < Valid(1) || Valid(-1) < invalid || invalid > Valid(-1) || invalid <= invalid);
  EXPECT_TRUE(null == TimeSpan(7, DateTimeStatus::Null) && null <= null);
  EXPECT_FALSE(null == Valid(0) || null < Valid(0) || null <= Valid(0));
}

TEST(DateTimeTest, TotalsRoundHalfASecondAwayFromZero) {
  // The span; its days, hours, minutes and seconds.
  const std::tuple<TimeSpan, double, double, double, double> rows[] = {
      {Seconds(59.6), 0, 0, 1, 60},
      {Seconds(-59.6), 0, 0, -1, -60},
      {MakeSpan(1, 2, 3, 4), 1, 26, 1563, 93784},
      {MakeSpan(0, 23, 59, 59), 0, 23, 1439, 86399},  // whole seconds never round up
      // Beyond 32 bits the conversion gives the integer indefinite value.
      {MakeSpan(30000, 0, 0, 0), 30000, 720000, 43200000, -2147483648.0},
  };
  for (const auto& [t, days, hours, minutes, seconds] : rows) {
    EXPECT_EQ(std::tuple(t.TotalDays(), t.TotalHours(), t.TotalMinutes(), t.TotalSeconds()),
              std::tuple(days, hours, minutes, seconds)) << t.days;
  }
}

class FailingDateText final : public platform::IDateText {
 public:
  bool DateToText(double, std::string&) override { return false; }
  bool TextToDate(const std::string&, double&) override { return false; }
  bool UserDateAndTime(double, std::string&, std::string&) override { return false; }
};

// The texts of valid dates: TriggerTextTest's descriptions; the system's
// own round trip: DateConversionTest.
TEST(DateTimeTest, TextsOfSpansAndDates) {
  const TimeSpan null(0, DateTimeStatus::Null);
  FailingDateText failing;
  const std::pair<std::string, const char*> rows[] = {
      {FormatSpan(MakeSpan(1, 2, 3, 4), " %D Days %H Hours %M Mins %S Secs"), " 1 Days 02 Hours 03 Mins 04 Secs"},
      {FormatSpan(MakeSpan(1, 2, 3, 4), "%%D=%D %x%"), "%D=1 x"},
      {FormatSpan(MakeSpan(0, -1, -2, -3), "%H:%M:%S"), "-1:-2:-3"},  // remainders keep the sign
      {FormatSpan(null, "%D Days"), ""},
      {DescribeSpan(Vesperon::ZeroSpan), ""},
      {DescribeSpan(MakeSpan(0, 0, 1, 0)), "01 Min 00 Sec"},
      {DescribeSpan(MakeSpan(0, 1, 0, 0)), "01 Hour 00 Min 00 Sec"},
      {DescribeSpan(MakeSpan(1, 0, 0, 0)), "1 Days 00 Hour 00 Min. 00 Sec."},
      {DescribeSpan(MakeSpan(3615898, 0, 0, 0)), "3615898 Days 00 Hour -8 Min. -8 Sec."},  // invalid
      {FormatDateTime(DateTime(-1.25, DateTimeStatus::Valid), "%Y-%m-%d %H"), "1899-12-29 06"},
      {FormatDateTime(DateTime(0, DateTimeStatus::Null), "%H"), ""},
      {FormatDateTime(DateTime(3e6, DateTimeStatus::Valid), "%H"), "Invalid DateTime"},
      {DateTime(7, DateTimeStatus::Null).ToText(), ""},
      {DateTime(7, DateTimeStatus::Invalid).ToText(), "Invalid DateTime"},
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) EXPECT_EQ(rows[i].first, rows[i].second) << i;
  platform::ScopedDateText scoped(failing);
  EXPECT_EQ(MakeDateTime(1970, 1, 1, 0, 0, 0).ToText(), "Invalid DateTime");
}

// A stored moment must read back the same under any regional formats; the
// texts stored before the one form existed are read in the user's formats.
TEST(DateTimeTest, StoredFormIsTheSameUnderAnyFormats) {
  const DateTime morning = MakeDateTime(2026, 12, 7, 4, 34, 8);
  const std::pair<DateTime, const char*> written[] = {
      {morning, "12/07/2026 04:34:08 AM"},
      {MakeDateTime(1970, 1, 1, 0, 0, 0), "01/01/1970 12:00:00 AM"},  // the stored default
      {MakeDateTime(2004, 2, 29, 12, 0, 0), "02/29/2004 12:00:00 PM"},
      {MakeDateTime(2026, 12, 7, 13, 0, 1), "12/07/2026 01:00:01 PM"},
      {MakeDateTime(9999, 12, 31, 23, 59, 59), "12/31/9999 11:59:59 PM"},
      {DateTime(0, DateTimeStatus::Valid), "12/30/1899 12:00:00 AM"}, {DateTime(7, DateTimeStatus::Null), ""},
      {DateTime(7, DateTimeStatus::Invalid), "Invalid DateTime"},
  };
  testsupport::GermanDateText german;
  for (const bool underGerman : {false, true}) {
    std::optional<platform::ScopedDateText> scoped;
    if (underGerman) scoped.emplace(german);
    for (const auto& [date, text] : written) {
      SCOPED_TRACE(testing::Message() << text << (underGerman ? " German" : ""));
      const bool valid = date.status == DateTimeStatus::Valid;
      DateTime back;
      const bool read = back.FromStoredText(text);  // and then its day count, when valid
      EXPECT_EQ(std::tuple(date.ToStoredText(), read, valid ? back.days : 0.0),
                std::tuple(text, valid, valid ? date.days : 0.0));
    }
  }

  // Under German formats: the stored form, then older texts in the user's
  // formats, else unreadable.
  const DateTime bad(0, DateTimeStatus::Invalid);
  const std::pair<const char*, DateTime> read[] = {
      {"12/07/2026 04:34:08 AM", morning}, {"7.12.2026 04:34:08", morning},
      {"12/7/2026 4:34:08 AM", bad},  // US formats, not stored form
      {"12/07/2026 04:34:08", bad},    {"12/07/2026 04:34 AM", bad},    {"12/07/2026 13:34:08 PM", bad},
      {"12/07/2026 00:34:08 AM", bad}, {"02/30/2004 10:00:00 AM", bad}, {"13/01/2004 10:00:00 AM", bad},
      {"12/07/2026 04:34:08 am", bad}, {"", bad},
  };
  platform::ScopedDateText scoped(german);
  for (const auto& [text, expected] : read) {
    DateTime back;
    const bool ok = back.FromStoredText(text);
    EXPECT_EQ(std::tuple(ok, back.status, back.days),
              std::tuple(expected.status == DateTimeStatus::Valid, expected.status, expected.days))
        << text;
  }
}

}  // namespace
