// The host build's date text: the English (United States) form of the OLE
// Automation conversions, "MM/DD/YYYY hh:mm:ss AM". Like VarBstrFromDate
// without flags it leaves out the time of a date at exactly midnight and the
// date of a value on day 0 (30 December 1899), so 0.0 reads "12:00:00 AM".
// The reader takes exactly what the writer gives: the core's tests read the
// user's formats through a stand-in of their own (GermanDateText), so here a
// text is read only if it writes back the same.
#include <cmath>
#include <cstdio>
#include <cstring>

#include "model/OleDate.h"
#include "platform/Services.h"

namespace platform {
namespace {

namespace cal = Vesperon::OleDate;

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
    int month = 0, day = 0, year = 0, hour = 12, minute = 0, second = 0;
    char half = 'A';
    const bool dated = std::sscanf(text.c_str(), "%2d/%2d/%4d", &month, &day, &year) == 3;
    const char* time = dated ? std::strchr(text.c_str(), ' ') : text.c_str();
    if (time != nullptr) std::sscanf(time, "%2d:%2d:%2d %c", &hour, &minute, &second, &half);
    std::string written;  // a time alone is on day 0, 30 December 1899
    return cal::Encode(dated ? year : 1899, dated ? month : 12, dated ? day : 30,
                       hour % 12 + (half == 'P' ? 12 : 0), minute, second, days) &&
           DateToText(days, written) && written == text;
  }
};

}  // namespace

IDateText& DefaultDateText() {
  static HostDateText dateText;
  return dateText;
}
}  // namespace platform
