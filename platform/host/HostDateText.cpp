// The host build's date text: the English (United States) form of the OLE
// Automation conversions, "MM/DD/YYYY hh:mm:ss AM". Like VarBstrFromDate
// without flags it leaves out the time of a date at exactly midnight and the
// date of a value on day 0 (30 December 1899), so 0.0 reads "12:00:00 AM".
// The reader takes what the writer gives, with or without leading zeros,
// 24-hour times without AM/PM, and a date or a time alone.
#include <cctype>
#include <cmath>
#include <cstdio>

#include "model/OleDate.h"
#include "platform/Services.h"

namespace platform {
namespace {

namespace cal = Vesperon::OleDate;

class TextReader {
 public:
  explicit TextReader(const std::string& text) : p_(text.c_str()) {}

  void SkipSpaces() {
    while (*p_ == ' ' || *p_ == '\t') ++p_;
  }
  bool AtEnd() const { return *p_ == '\0'; }
  bool Peek(char c) const { return *p_ == c; }
  bool PeekDigit() const { return std::isdigit(static_cast<unsigned char>(*p_)) != 0; }
  bool Take(char c) {
    if (*p_ != c) return false;
    ++p_;
    return true;
  }
  // One to `maxDigits` decimal digits.
  bool Number(int maxDigits, int& value) {
    int digits = 0;
    value = 0;
    while (PeekDigit() && digits < maxDigits) {
      value = value * 10 + (*p_++ - '0');
      ++digits;
    }
    return digits > 0 && !PeekDigit();
  }
  // "AM" or "PM" in any case; 0 none, 1 AM, 2 PM.
  int Meridiem() {
    const char first = static_cast<char>(std::toupper(static_cast<unsigned char>(p_[0])));
    const char second = static_cast<char>(std::toupper(static_cast<unsigned char>(p_[0] ? p_[1] : 0)));
    if ((first != 'A' && first != 'P') || second != 'M') return 0;
    p_ += 2;
    return first == 'A' ? 1 : 2;
  }

 private:
  const char* p_;
};

class HostDateText final : public IDateText {
 public:
  bool DateToText(double days, std::string& out) override {
    cal::Fields f;
    if (!cal::Decode(days, f)) return false;
    const double whole = std::trunc(days);
    const bool showDate = whole != 0.0;
    const bool showTime = days != whole || !showDate;

    char text[64];
    int length = 0;
    if (showDate) {
      length += std::snprintf(text, sizeof text, "%02d/%02d/%04d", f.month, f.day, f.year);
    }
    if (showTime) {
      const int hour12 = f.hour % 12 == 0 ? 12 : f.hour % 12;
      std::snprintf(text + length, sizeof text - length, "%s%02d:%02d:%02d %s",
                    showDate ? " " : "", hour12, f.minute, f.second, f.hour < 12 ? "AM" : "PM");
    }
    out = text;
    return true;
  }

  // The tests that show dates in the user's formats install formats of their own.
  bool UserDateAndTime(double, std::string&, std::string&) override { return false; }

  bool TextToDate(const std::string& text, double& days) override {
    TextReader in(text);
    in.SkipSpaces();
    int year = 1899, month = 12, day = 30;  // day 0 when only a time is given
    int hour = 0, minute = 0, second = 0;

    int first = 0;
    if (!in.Number(4, first)) return false;
    bool haveTime = false;
    if (in.Take('/')) {
      month = first;
      if (!in.Number(2, day) || !in.Take('/') || !in.Number(4, year) || year < 100) return false;
      in.SkipSpaces();
      if (!in.AtEnd()) {
        if (!in.Number(2, hour)) return false;
        haveTime = true;
      }
    } else {
      hour = first;
      haveTime = true;
    }

    if (haveTime) {
      if (!in.Take(':') || !in.Number(2, minute)) return false;
      if (in.Take(':') && !in.Number(2, second)) return false;
      in.SkipSpaces();
      const int meridiem = in.Meridiem();
      if (meridiem != 0) {
        if (hour < 1 || hour > 12) return false;
        hour = hour % 12 + (meridiem == 2 ? 12 : 0);
      }
      in.SkipSpaces();
    }
    if (!in.AtEnd()) return false;
    return cal::Encode(year, month, day, hour, minute, second, days);
  }
};

}  // namespace

IDateText& DefaultDateText() {
  static HostDateText dateText;
  return dateText;
}
}  // namespace platform
