#pragma once
// Triggers decide when the chosen action runs. The engine builds one from the
// main window's fields at every activation and polls it: Evaluate tells
// whether the trigger is still waiting (and for how long), due, or missed,
// and PollInterval how soon to ask again. Triggers keep nothing between
// polls: they are given the last event, which the engine moves to Now()
// whenever it fires, misses or activates, so that a repeating kind fires an
// occurrence once, and the expiry window, so that a slept-through occurrence
// still fires while it is no older than that.
#include <cstdint>
#include <memory>
#include <string>
#include <utility>

#include "model/DateTime.h"
#include "model/Exception.h"

namespace Vesperon {

enum class TriggerState : std::int32_t { Waiting = 0, Due = 1, Missed = 2 };

// The index of the kind in the main window's trigger list.
enum class TriggerKind : std::int32_t {
  OneTime = 0,
  Countdown = 1,
  Daily = 2,
  Weekly = 3,
  Monthly = 4,
  DiskDefragmenter = 5,
  Process = 6,
};
inline constexpr std::int32_t kTriggerKindCount = 7;

// The list text of a kind ("Timer: One Time" ...); nullptr for no kind.
const char* TriggerListText(std::int32_t kind);
// The weekday list of the weekly trigger, index 0 "Sunday" .. 6 "Saturday";
// nullptr out of range.
const char* WeekdayListText(std::int32_t index);
// Daily, weekly and monthly start over after firing.
bool IsRepeatingKind(std::int32_t kind);
// One-time to monthly: they count down to a moment.
bool IsTimeBasedKind(std::int32_t kind);

// What a trigger is judged against besides the clock.
struct TriggerHistory {
  DateTime lastEvent;   // the moment of the last fire, miss or user activation
  TimeSpan expireDelay;  // how old an occurrence may be and still fire
};

class Trigger : public Object {
 public:
  // The state at Now(). `out` receives the time left while Waiting and the
  // time since the occurrence when Due or Missed; the event kinds, which
  // know no time, write minus one day. No side effects.
  virtual TriggerState Evaluate(const TriggerHistory& history, TimeSpan& out) const = 0;
  // Milliseconds until the next poll: 1000 in the last five minutes and
  // 60000 before them, 100 for a missed trigger, -1 once due.
  virtual std::int32_t PollInterval(const TriggerHistory& history) const = 0;
};

class OneTimeTrigger : public Trigger {
 public:
  explicit OneTimeTrigger(const DateTime& target) : target(target) {}
  TriggerState Evaluate(const TriggerHistory& history, TimeSpan& out) const override;
  std::int32_t PollInterval(const TriggerHistory& history) const override;

  DateTime target;
};

class CountdownTrigger : public Trigger {
 public:
  explicit CountdownTrigger(const DateTime& target) : target(target) {}
  CountdownTrigger(const DateTime& target, std::int64_t utcTarget)
      : target(target), utcTarget(utcTarget), hasUtcTarget(true) {}
  TriggerState Evaluate(const TriggerHistory& history, TimeSpan& out) const override;
  std::int32_t PollInterval(const TriggerHistory& history) const override;

  DateTime target;  // Now() plus the countdown, fixed when the trigger is built
  // The same moment in UTC seconds, where the clock offers UTC. A countdown
  // counts on it, so that it lasts its span in real time when local time
  // jumps (daylight saving begins or ends, the time zone changes).
  std::int64_t utcTarget = 0;
  bool hasUtcTarget = false;
};

class DailyTrigger : public Trigger {
 public:
  explicit DailyTrigger(const DateTime& timeOfDay) : timeOfDay(timeOfDay) {}
  TriggerState Evaluate(const TriggerHistory& history, TimeSpan& out) const override;
  std::int32_t PollInterval(const TriggerHistory& history) const override;

  DateTime timeOfDay;  // on 1 January 2000; only the time counts
};

class WeeklyTrigger : public Trigger {
 public:
  WeeklyTrigger(const DateTime& timeOfDay, std::int32_t weekday)
      : timeOfDay(timeOfDay), weekday(weekday) {}
  TriggerState Evaluate(const TriggerHistory& history, TimeSpan& out) const override;
  std::int32_t PollInterval(const TriggerHistory& history) const override;

  DateTime timeOfDay;
  std::int32_t weekday;  // 1 Sunday .. 7 Saturday, as DayOfWeek
};

class MonthlyTrigger : public Trigger {
 public:
  MonthlyTrigger(const DateTime& timeOfDay, std::int32_t dayOfMonth)
      : timeOfDay(timeOfDay), dayOfMonth(dayOfMonth) {}
  TriggerState Evaluate(const TriggerHistory& history, TimeSpan& out) const override;
  std::int32_t PollInterval(const TriggerHistory& history) const override;

  DateTime timeOfDay;
  std::int32_t dayOfMonth;  // 1..31; months without that day are skipped
};

// Whether a disk defragmenter runs, whatever the Windows generation: a
// window titled "Disk Defragmenter" or "Optimize Drives" (any class), or a
// process dfrgui.exe or defrag.exe (any case, any folder).
bool DiskDefragmenterRuns();

// Due as soon as no disk defragmenter runs.
class DiskDefragmenterTrigger : public Trigger {
 public:
  TriggerState Evaluate(const TriggerHistory& history, TimeSpan& out) const override;
  std::int32_t PollInterval(const TriggerHistory& history) const override;
};

// Due as soon as no running process matches the pattern (WildcardMatch,
// case sensitive).
class ProcessTrigger : public Trigger {
 public:
  explicit ProcessTrigger(std::string processName) : processName(std::move(processName)) {}
  TriggerState Evaluate(const TriggerHistory& history, TimeSpan& out) const override;
  std::int32_t PollInterval(const TriggerHistory& history) const override;

  std::string processName;
};

// The ranges of the number field: a countdown's days, a monthly trigger's day.
inline constexpr std::int32_t kLongestCountdownDays = 100000;
inline constexpr std::int32_t kFirstDayOfMonth = 1;
inline constexpr std::int32_t kLastDayOfMonth = 31;

// The main window's trigger fields at the moment of activation.
struct TriggerFields {
  std::int32_t kind = 0;  // TriggerKind
  int year = 0, month = 0, day = 0;  // the date field
  int hour = 0, minute = 0, second = 0;  // the time field
  std::int32_t number = 0;        // days of a countdown, day of a monthly trigger
  std::int32_t weekdayIndex = 0;  // 0 Sunday
  std::string processText;
  // False when the process field holds characters the system cannot store
  // (processText then has "?" for them).
  bool processTextStorable = true;
};

// Builds the trigger the fields describe; a countdown starts at Now().
// Numbers and the weekday index outside their ranges count as the nearest
// end of the range.
// Throws ImpossibleStateException for a kind that is not in the list.
std::unique_ptr<Trigger> BuildTrigger(const TriggerFields& fields);

}  // namespace Vesperon
