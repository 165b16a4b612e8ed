#include "model/DateTime.h"

#include <cmath>
#include <cstdio>
#include <ctime>
#include <vector>

#include "model/OleDate.h"
#include "platform/Services.h"

namespace Vesperon {
namespace {

constexpr const char* kInvalidText = "Invalid DateTime";

// Truncation toward zero into a signed 32-bit integer. Values that do not
// fit (and NaN) give the "integer indefinite" INT32_MIN, which is what the
// x86 conversion instruction yields, instead of undefined behaviour.
std::int32_t TruncateToInt32(double value) {
  if (value > -2147483649.0 && value < 2147483648.0) return static_cast<std::int32_t>(value);
  return INT32_MIN;
}

double Total(double days, double unitsPerDay) {
  const double halfSecond = 0.5 / 86400.0;
  const double rounded = days >= 0.0 ? days + halfSecond : days - halfSecond;
  return TruncateToInt32(rounded * unitsPerDay);
}

bool Fields(const DateTime& date, OleDate::Fields& fields) {
  return date.status == DateTimeStatus::Valid && OleDate::Decode(date.days, fields);
}

template <typename Field>
int FieldOr(const DateTime& date, Field field) {
  OleDate::Fields fields;
  return Fields(date, fields) ? field(fields) : -1;
}

}  // namespace

TimeSpan TimeSpan::Checked(double days) {
  const bool inRange = days >= -kMaxSpanDays && days <= kMaxSpanDays;
  return TimeSpan(days, inRange ? DateTimeStatus::Valid : DateTimeStatus::Invalid);
}

double TimeSpan::TotalDays() const { return Total(days, 1.0); }
double TimeSpan::TotalHours() const { return Total(days, 24.0); }
double TimeSpan::TotalMinutes() const { return Total(days, 1440.0); }
double TimeSpan::TotalSeconds() const { return Total(days, 86400.0); }

TimeSpan MakeSpan(std::int32_t days, std::int32_t hours, std::int32_t minutes,
                  std::int32_t seconds) {
  return TimeSpan::Checked(days + hours / 24.0 + minutes / 1440.0 + seconds / 86400.0);
}

namespace {
// Null wins over invalid; both give a zero value.
template <typename Op>
TimeSpan Combine(const TimeSpan& a, const TimeSpan& b, Op op) {
  if (a.status == DateTimeStatus::Null || b.status == DateTimeStatus::Null) {
    return TimeSpan(0.0, DateTimeStatus::Null);
  }
  if (a.status == DateTimeStatus::Invalid || b.status == DateTimeStatus::Invalid) {
    return TimeSpan(0.0, DateTimeStatus::Invalid);
  }
  return TimeSpan::Checked(op(a.days, b.days));
}

bool BothValid(const TimeSpan& a, const TimeSpan& b) {
  return a.status == DateTimeStatus::Valid && b.status == DateTimeStatus::Valid;
}
}  // namespace

TimeSpan operator+(const TimeSpan& a, const TimeSpan& b) {
  return Combine(a, b, [](double x, double y) { return x + y; });
}
TimeSpan operator-(const TimeSpan& a, const TimeSpan& b) {
  return Combine(a, b, [](double x, double y) { return x - y; });
}
TimeSpan operator-(const TimeSpan& a) { return TimeSpan::Checked(-a.days); }

bool operator<(const TimeSpan& a, const TimeSpan& b) { return BothValid(a, b) && a.days < b.days; }
bool operator>(const TimeSpan& a, const TimeSpan& b) { return BothValid(a, b) && a.days > b.days; }
bool operator==(const TimeSpan& a, const TimeSpan& b) {
  if (a.status != b.status) return false;
  return a.status == DateTimeStatus::Null || (a.status == DateTimeStatus::Valid && a.days == b.days);
}
bool operator<=(const TimeSpan& a, const TimeSpan& b) { return a < b || a == b; }

int DateTime::Year() const { return FieldOr(*this, [](const OleDate::Fields& f) { return f.year; }); }
int DateTime::Month() const { return FieldOr(*this, [](const OleDate::Fields& f) { return f.month; }); }
int DateTime::Day() const { return FieldOr(*this, [](const OleDate::Fields& f) { return f.day; }); }
int DateTime::Hour() const { return FieldOr(*this, [](const OleDate::Fields& f) { return f.hour; }); }
int DateTime::Minute() const {
  return FieldOr(*this, [](const OleDate::Fields& f) { return f.minute; });
}
int DateTime::Second() const {
  return FieldOr(*this, [](const OleDate::Fields& f) { return f.second; });
}
int DateTime::DayOfWeek() const {
  return FieldOr(*this, [](const OleDate::Fields& f) { return f.dayOfWeek + 1; });
}

std::string DateTime::ToText() const {
  if (status == DateTimeStatus::Null) return {};
  std::string text;
  if (status != DateTimeStatus::Valid || !platform::DateText().DateToText(days, text)) {
    return kInvalidText;
  }
  return text;
}

bool DateTime::FromText(const std::string& text) {
  double value = 0.0;
  if (!platform::DateText().TextToDate(text, value)) {
    *this = DateTime(0.0, DateTimeStatus::Invalid);
    return false;
  }
  *this = DateTime(value, DateTimeStatus::Valid);
  return true;
}

std::string DateTime::ToStoredText() const {
  if (status == DateTimeStatus::Null) return {};
  OleDate::Fields f;
  if (!Fields(*this, f)) return kInvalidText;
  const int hour12 = f.hour % 12 == 0 ? 12 : f.hour % 12;
  char text[32];
  std::snprintf(text, sizeof text, "%02d/%02d/%04d %02d:%02d:%02d %s", f.month, f.day, f.year,
                hour12, f.minute, f.second, f.hour < 12 ? "AM" : "PM");
  return text;
}

namespace {
// Exactly the digits of the stored form, no sign, no blank.
bool Digits(const std::string& text, std::size_t at, std::size_t count, int& value) {
  value = 0;
  for (std::size_t i = at; i < at + count; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    value = value * 10 + (text[i] - '0');
  }
  return true;
}

// Only the exact form ToStoredText writes: a looser reader would take the
// day-first texts of other regional formats for month-first ones.
bool ReadStoredForm(const std::string& text, DateTime& out) {
  // MM/DD/YYYY hh:mm:ss AM
  // 0123456789012345678901
  if (text.size() != 22 || text[2] != '/' || text[5] != '/' || text[10] != ' ' ||
      text[13] != ':' || text[16] != ':' || text[19] != ' ' || text[21] != 'M' ||
      (text[20] != 'A' && text[20] != 'P')) {
    return false;
  }
  int month = 0, day = 0, year = 0, hour = 0, minute = 0, second = 0;
  if (!Digits(text, 0, 2, month) || !Digits(text, 3, 2, day) || !Digits(text, 6, 4, year) ||
      !Digits(text, 11, 2, hour) || !Digits(text, 14, 2, minute) ||
      !Digits(text, 17, 2, second) || hour < 1 || hour > 12) {
    return false;
  }
  hour = hour % 12 + (text[20] == 'P' ? 12 : 0);
  const DateTime read = MakeDateTime(year, month, day, hour, minute, second);
  if (read.status != DateTimeStatus::Valid) return false;
  out = read;
  return true;
}
}  // namespace

bool DateTime::FromStoredText(const std::string& text) {
  if (ReadStoredForm(text, *this)) return true;
  // Nothing stored (a first start) is a date in no regional format: the
  // system's conversion, and the library it lives in, are not needed.
  if (text.empty()) {
    *this = DateTime(0.0, DateTimeStatus::Invalid);
    return false;
  }
  return FromText(text);
}

DateTime MakeDateTime(int year, int month, int day, int hour, int minute, int second) {
  // Valid only if the fields survive the trip to a day count and back
  // unchanged: that rejects both impossible dates and those the conversion
  // would quietly normalise.
  double value = 0.0;
  OleDate::Fields back;
  if (!OleDate::Encode(year, month, day, hour, minute, second, value) ||
      !OleDate::Decode(value, back) || back.year != year || back.month != month ||
      back.day != day || back.hour != hour || back.minute != minute || back.second != second) {
    return DateTime(0.0, DateTimeStatus::Invalid);
  }
  return DateTime(value, DateTimeStatus::Valid);
}

DateTime Now() {
  platform::LocalTimeFields now;
  if (!platform::Clock().LocalNow(now)) return DateTime(0.0, DateTimeStatus::Invalid);
  return MakeDateTime(now.year, now.month, now.day, now.hour, now.minute, now.second);
}

double LinearDays(const DateTime& date) {
  if (date.days >= 0.0) return date.days;
  const double whole = std::ceil(date.days);
  return whole - (date.days - whole);
}

double DaysFromLinear(double linear) {
  if (linear >= 0.0) return linear;
  const double whole = std::floor(linear);
  return whole + (whole - linear);
}

TimeSpan operator-(const DateTime& a, const DateTime& b) {
  return TimeSpan::Checked(LinearDays(a) - LinearDays(b));
}

DateTime operator+(const DateTime& date, const TimeSpan& span) {
  return DateTime(DaysFromLinear(LinearDays(date) + span.days), DateTimeStatus::Valid);
}

bool operator<(const DateTime& a, const DateTime& b) {
  return a.status == DateTimeStatus::Valid && b.status == DateTimeStatus::Valid &&
         LinearDays(a) < LinearDays(b);
}
bool operator>(const DateTime& a, const DateTime& b) {
  return a.status == DateTimeStatus::Valid && b.status == DateTimeStatus::Valid &&
         LinearDays(a) > LinearDays(b);
}

std::string FormatDateTime(const DateTime& date, const char* pattern) {
  if (date.status == DateTimeStatus::Null) return {};
  OleDate::Fields fields;
  if (!Fields(date, fields)) return kInvalidText;

  std::tm parts{};
  parts.tm_year = fields.year - 1900;
  parts.tm_mon = fields.month - 1;
  parts.tm_mday = fields.day;
  parts.tm_hour = fields.hour;
  parts.tm_min = fields.minute;
  parts.tm_sec = fields.second;
  parts.tm_wday = fields.dayOfWeek;
  parts.tm_yday = static_cast<int>(OleDate::DaysFromCivil(fields.year, fields.month, fields.day) -
                                   OleDate::DaysFromCivil(fields.year, 1, 1));
  parts.tm_isdst = 0;

  if (pattern == nullptr || *pattern == '\0') return {};
  // strftime reports a too-small buffer and an empty result alike (0), so
  // grow the buffer a few times before settling for the empty text.
  std::vector<char> buffer(128);
  for (int attempt = 0; attempt < 8; ++attempt) {
    const std::size_t length = std::strftime(buffer.data(), buffer.size(), pattern, &parts);
    if (length > 0) return std::string(buffer.data(), length);
    buffer.resize(buffer.size() * 2);
  }
  return {};
}

std::string FormatSpan(const TimeSpan& span, const char* pattern) {
  if (span.status == DateTimeStatus::Null || pattern == nullptr) return {};
  // Remainders of truncating division: they carry the span's sign.
  const std::int32_t days = static_cast<std::int32_t>(span.TotalDays());
  const std::int32_t hours = static_cast<std::int32_t>(span.TotalHours()) % 24;
  const std::int32_t minutes = static_cast<std::int32_t>(span.TotalMinutes()) % 60;
  const std::int32_t seconds = static_cast<std::int32_t>(span.TotalSeconds()) % 60;

  std::string text;
  char number[16];
  for (const char* p = pattern; *p != '\0'; ++p) {
    if (*p != '%') {
      text += *p;
      continue;
    }
    ++p;
    if (*p == '\0') break;  // a lone percent sign at the end stands for nothing
    switch (*p) {
      case 'D':
        std::snprintf(number, sizeof number, "%ld", static_cast<long>(days));
        break;
      case 'H':
        std::snprintf(number, sizeof number, "%02ld", static_cast<long>(hours));
        break;
      case 'M':
        std::snprintf(number, sizeof number, "%02ld", static_cast<long>(minutes));
        break;
      case 'S':
        std::snprintf(number, sizeof number, "%02ld", static_cast<long>(seconds));
        break;
      default:  // "%%" and any other character after a percent sign
        number[0] = *p;
        number[1] = '\0';
        break;
    }
    text += number;
  }
  return text;
}

std::string DescribeSpan(const TimeSpan& span) {
  if (span == ZeroSpan) return {};
  if (span < MakeSpan(0, 0, 1, 0)) return FormatSpan(span, "%S Second(s)");
  if (span < MakeSpan(0, 1, 0, 0)) return FormatSpan(span, "%M Min %S Sec");
  if (span < MakeSpan(1, 0, 0, 0)) return FormatSpan(span, "%H Hour %M Min %S Sec");
  return FormatSpan(span, "%D Days %H Hour %M Min. %S Sec.");
}

}  // namespace Vesperon
