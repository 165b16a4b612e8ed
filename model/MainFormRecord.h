#pragma once
// The main window's trigger fields as the active profile keeps them between
// runs (values under MainForm). The date and time fields are packed into one
// number each; unpacking gives back exactly the fields that were packed.
#include <cstdint>
#include <string>

#include "model/DateTime.h"

namespace Vesperon {

struct MainFormRecord {
  std::int32_t action = 0;       // Action: the selected ActionId
  std::int32_t trigger = 0;      // Trigger: the selected TriggerKind
  std::uint32_t triggerDate = 0; // TriggerDate: EncodeTriggerDate of the date field
  std::uint32_t triggerTime = 0; // TriggerTime: EncodeTriggerTime of the time field
  std::int32_t triggerCmb1 = 0;  // TriggerCmb1: weekday list index, 0 Sunday
  std::int32_t triggerEdit = 0;  // TriggerEdit: the number field
  std::string triggerCmb2;       // TriggerCmb2: the process field
  bool triggerActive = false;    // TriggerActive: a trigger was active
};

// (year * 12 + month) * 31 + day, month 1..12 and day 1..31.
std::uint32_t EncodeTriggerDate(int year, int month, int day);
// (hour * 60 + minute) * 60 + second.
std::uint32_t EncodeTriggerTime(int hour, int minute, int second);

// The one moment both stored values name; invalid when `date` is not the
// packing of a real date (the default 0 among them) or `time` is not a time
// of day.
DateTime DecodeTriggerDateTime(std::uint32_t date, std::uint32_t time);

}  // namespace Vesperon
