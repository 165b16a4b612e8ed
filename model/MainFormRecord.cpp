#include "model/MainFormRecord.h"

namespace Vesperon {

std::uint32_t EncodeTriggerDate(int year, int month, int day) {
  return static_cast<std::uint32_t>((year * 12 + month) * 31 + day);
}

std::uint32_t EncodeTriggerTime(int hour, int minute, int second) {
  return static_cast<std::uint32_t>((hour * 60 + minute) * 60 + second);
}

DateTime DecodeTriggerDateTime(std::uint32_t date, std::uint32_t time) {
  // Day 1..31 and month 1..12 make the packing one-to-one: peel them off
  // as remainders of the value less one.
  if (date == 0) return DateTime(0.0, DateTimeStatus::Invalid);
  const std::uint32_t day = (date - 1) % 31 + 1;
  const std::uint32_t yearMonth = (date - 1) / 31;  // year * 12 + month
  if (yearMonth == 0) return DateTime(0.0, DateTimeStatus::Invalid);
  const std::uint32_t month = (yearMonth - 1) % 12 + 1;
  const std::uint32_t year = (yearMonth - 1) / 12;

  const std::uint32_t hour = time / 3600;
  const std::uint32_t minute = time % 3600 / 60;
  const std::uint32_t second = time % 60;
  // Every part fits an int (the largest, the year, stays below 2^32 / 372);
  // MakeDateTime rejects those that are no calendar field.
  return MakeDateTime(static_cast<int>(year), static_cast<int>(month), static_cast<int>(day),
                      static_cast<int>(hour), static_cast<int>(minute), static_cast<int>(second));
}

}  // namespace Vesperon
