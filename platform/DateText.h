#pragma once
// Text form of a date: on Windows the OLE Automation variant conversions of
// the user's locale; elsewhere the English (United States) form
// "MM/DD/YYYY hh:mm:ss AM". Dates are OLE Automation day counts.
#include <string>

namespace platform {

class IDateText {
 public:
  virtual ~IDateText() = default;
  // VarBstrFromDate(locale 0, flags 0); false when the conversion fails.
  virtual bool DateToText(double days, std::string& out) = 0;
  // VarDateFromStr(locale 0, flags 0); false when the text is not a date.
  virtual bool TextToDate(const std::string& text, double& days) = 0;
  // The moment in the user's short date format and in the user's time
  // format (GetDateFormat with DATE_SHORTDATE and GetTimeFormat of the
  // user's default locale); false when either conversion fails.
  virtual bool UserDateAndTime(double days, std::string& date, std::string& time) = 0;
};

}  // namespace platform
