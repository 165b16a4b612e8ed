#pragma once
// The date text of a system set to German regional formats: day first, dots,
// 24 hours ("7.12.2026 04:34:20"). It reads nothing else, as the platform
// conversion of such a system reads a month-first text wrongly or not at all.
#include <cstdio>
#include <string>

#include "model/DateTime.h"
#include "platform/DateText.h"

namespace testsupport {

class GermanDateText final : public platform::IDateText {
 public:
  bool DateToText(double days, std::string& out) override {
    const Vesperon::DateTime date(days, Vesperon::DateTimeStatus::Valid);
    if (date.Year() < 0) return false;
    char text[32];
    std::snprintf(text, sizeof text, "%d.%d.%04d %02d:%02d:%02d", date.Day(), date.Month(),
                  date.Year(), date.Hour(), date.Minute(), date.Second());
    out = text;
    return true;
  }
  bool UserDateAndTime(double days, std::string& date, std::string& time) override {
    const Vesperon::DateTime moment(days, Vesperon::DateTimeStatus::Valid);
    if (moment.Year() < 0) return false;
    char text[32];
    std::snprintf(text, sizeof text, "%02d.%02d.%04d", moment.Day(), moment.Month(), moment.Year());
    date = text;
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", moment.Hour(), moment.Minute(), moment.Second());
    time = text;
    return true;
  }
  bool TextToDate(const std::string& text, double& days) override {
    int day = 0, month = 0, year = 0, hour = 0, minute = 0, second = 0;
    char rest = 0;
    if (std::sscanf(text.c_str(), "%d.%d.%d %d:%d:%d%c", &day, &month, &year, &hour, &minute,
                    &second, &rest) != 6) {
      return false;
    }
    const Vesperon::DateTime read = Vesperon::MakeDateTime(year, month, day, hour, minute, second);
    days = read.days;
    return read.status == Vesperon::DateTimeStatus::Valid;
  }
};

}  // namespace testsupport
