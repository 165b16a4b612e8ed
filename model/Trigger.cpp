#include "model/Trigger.h"

#include <algorithm>
#include <cmath>

#include "model/WildcardMatch.h"
#include "platform/Services.h"

namespace Vesperon {
namespace {

constexpr const char* kListTexts[kTriggerKindCount] = {
    "Timer: One Time",  "Timer: Countdown",         "Schedule: Daily",    "Schedule: Weekly",
    "Schedule: Monthly", "After defragmenting disk", "When process stops",
};
constexpr const char* kWeekdays[7] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                      "Thursday", "Friday", "Saturday"};

// The event kinds know no time: their span is always minus one day.
TimeSpan NoTime() { return MakeSpan(-1, 0, 0, 0); }

std::int32_t TimeBasedPollInterval(TriggerState state, const TimeSpan& left) {
  switch (state) {
    case TriggerState::Waiting:
      // On whole seconds: the time left until a one-time target is a
      // difference of large day counts, so exactly five minutes may come
      // out a few microseconds longer and keep the slow rate a minute more.
      return std::round(left.days * 86400.0) <= 300.0 ? 1000 : 60000;
    case TriggerState::Due:
      return -1;
    case TriggerState::Missed:
      return 100;
  }
  throw ImpossibleStateException();
}

std::int32_t EventPollInterval(TriggerState state) {
  switch (state) {
    case TriggerState::Waiting:
      return 1000;
    case TriggerState::Due:
      return -1;
    case TriggerState::Missed:
      return 100;
  }
  throw ImpossibleStateException();
}

template <typename T>
std::int32_t PollTimeBased(const T& trigger, const TriggerHistory& history) {
  TimeSpan left;
  const TriggerState state = trigger.Evaluate(history, left);
  return TimeBasedPollInterval(state, left);
}

template <typename T>
std::int32_t PollEvent(const T& trigger, const TriggerHistory& history) {
  TimeSpan ignored;
  return EventPollInterval(trigger.Evaluate(history, ignored));
}

// Whether an occurrence `since` ago lies inside the expiry window, compared
// on whole seconds: an occurrence exactly `delay` old belongs inside,
// but as a difference of day counts it may come out a few microseconds
// longer than the span built from the setting's seconds.
bool WithinExpiry(const TimeSpan& since, const TimeSpan& delay) {
  if (since.status != DateTimeStatus::Valid || delay.status != DateTimeStatus::Valid) return false;
  // An occurrence still ahead has not come, whatever the window: without
  // this, a weekday or day of month outside its range (a damaged profile)
  // puts the occurrence in the future at every poll, and a repeating
  // trigger would run its action at each of them.
  const double seconds = std::round(since.days * 86400.0);
  return seconds >= 0.0 && seconds <= std::round(delay.days * 86400.0);
}

// One-time and countdown share one rule: waiting before the target, due up
// to the expiry window after it, missed later.
TriggerState EvaluateSince(const TimeSpan& since, const TimeSpan& expireDelay, TimeSpan& out) {
  if (since < ZeroSpan) {
    out = -since;
    return TriggerState::Waiting;
  }
  out = since;
  return WithinExpiry(since, expireDelay) ? TriggerState::Due : TriggerState::Missed;
}

TriggerState EvaluateTarget(const DateTime& target, const TimeSpan& expireDelay, TimeSpan& out) {
  return EvaluateSince(Now() - target, expireDelay, out);
}

// Whether the occurrence `since` ago still waits to be handled: the last
// event lies before it. Both sides are whole seconds in principle (Now()
// and the last event come from the second-resolution clock), but one is a
// difference of large day counts and the other of small spans, so their
// doubles differ in the last bits. Compared as they are, the poll a second
// after a fire could find the occurrence unhandled and fire it again; so
// the comparison is made on whole seconds.
bool NotYetHandled(const DateTime& now, const DateTime& lastEvent, const TimeSpan& since) {
  const TimeSpan sinceLastEvent = now - lastEvent;
  if (sinceLastEvent.status != DateTimeStatus::Valid || since.status != DateTimeStatus::Valid) {
    return false;
  }
  return std::round(sinceLastEvent.days * 86400.0) > std::round(since.days * 86400.0);
}

// Daily and weekly: `sinceOccurrence` is the time since the most recent
// occurrence within one period. It fires once (the last event lies before
// the occurrence) and only while it is fresh; otherwise the wait is the rest
// of the period. These kinds never miss: a stale occurrence is simply skipped.
TriggerState EvaluatePeriodic(const DateTime& now, const TriggerHistory& history,
                              TimeSpan sinceOccurrence, const TimeSpan& period, TimeSpan& out) {
  if (sinceOccurrence < ZeroSpan) sinceOccurrence = sinceOccurrence + period;
  if (WithinExpiry(sinceOccurrence, history.expireDelay) &&
      NotYetHandled(now, history.lastEvent, sinceOccurrence)) {
    out = sinceOccurrence;
    return TriggerState::Due;
  }
  out = period - sinceOccurrence;
  return TriggerState::Waiting;
}

TimeSpan TimeOfDay(std::int32_t days, const DateTime& moment) {
  return MakeSpan(days, moment.Hour(), moment.Minute(), moment.Second());
}

// Month index 0 January .. 11 December; February follows the year's calendar.
int MonthLength(int year, int monthIndex) {
  constexpr int kLengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (monthIndex == 1) {
    return MakeDateTime(year, 2, 29, 5, 0, 0).status == DateTimeStatus::Valid ? 29 : 28;
  }
  return kLengths[monthIndex];
}

TimeSpan Days(std::int32_t days) { return MakeSpan(days, 0, 0, 0); }

}  // namespace

const char* TriggerListText(std::int32_t kind) {
  return kind >= 0 && kind < kTriggerKindCount ? kListTexts[kind] : nullptr;
}
const char* WeekdayListText(std::int32_t index) {
  return index >= 0 && index < 7 ? kWeekdays[index] : nullptr;
}
bool IsRepeatingKind(std::int32_t kind) { return kind >= 2 && kind <= 4; }
bool IsTimeBasedKind(std::int32_t kind) { return kind >= 0 && kind <= 4; }

TriggerState OneTimeTrigger::Evaluate(const TriggerHistory& history, TimeSpan& out) const {
  return EvaluateTarget(target, history.expireDelay, out);
}
std::int32_t OneTimeTrigger::PollInterval(const TriggerHistory& history) const {
  return PollTimeBased(*this, history);
}

TriggerState CountdownTrigger::Evaluate(const TriggerHistory& history, TimeSpan& out) const {
  std::int64_t now = 0;
  if (hasUtcTarget && platform::Clock().UtcNow(now)) {
    return EvaluateSince(TimeSpan::Checked(static_cast<double>(now - utcTarget) / 86400.0),
                         history.expireDelay, out);
  }
  return EvaluateTarget(target, history.expireDelay, out);
}
std::int32_t CountdownTrigger::PollInterval(const TriggerHistory& history) const {
  return PollTimeBased(*this, history);
}

TriggerState DailyTrigger::Evaluate(const TriggerHistory& history, TimeSpan& out) const {
  const DateTime now = Now();
  return EvaluatePeriodic(now, history, TimeOfDay(0, now) - TimeOfDay(0, timeOfDay), Days(1), out);
}
std::int32_t DailyTrigger::PollInterval(const TriggerHistory& history) const {
  return PollTimeBased(*this, history);
}

TriggerState WeeklyTrigger::Evaluate(const TriggerHistory& history, TimeSpan& out) const {
  const DateTime now = Now();
  return EvaluatePeriodic(now, history,
                          TimeOfDay(now.DayOfWeek(), now) - TimeOfDay(weekday, timeOfDay), Days(7),
                          out);
}
std::int32_t WeeklyTrigger::PollInterval(const TriggerHistory& history) const {
  return PollTimeBased(*this, history);
}

// Positions within a month are spans from its first midnight: A for now, B
// for the occurrence. A month shorter than dayOfMonth has no occurrence and
// is stepped over whole, so day 31 fires only in 31-day months and day 30
// never in February. The month before January and the one after December
// both have 31 days, which also ends each search.
TriggerState MonthlyTrigger::Evaluate(const TriggerHistory& history, TimeSpan& out) const {
  const DateTime now = Now();
  const int year = now.Year();
  const int month = now.Month() - 1;
  const TimeSpan elapsed = TimeOfDay(now.Day() - 1, now);               // A
  const TimeSpan occurrence = TimeOfDay(dayOfMonth - 1, timeOfDay);     // B
  const auto hasDay = [this](int length) { return length >= dayOfMonth; };

  TimeSpan since;  // since the most recent occurrence
  if (occurrence <= elapsed) {
    since = elapsed - occurrence;
  } else {
    std::int32_t skipped = 0;
    int length = 31;  // December of the previous year
    for (int earlier = month - 1; earlier >= 0; --earlier) {
      length = MonthLength(year, earlier);
      if (hasDay(length)) break;
      skipped += length;
      length = 31;
    }
    since = elapsed + Days(skipped) + (Days(length) - occurrence);
  }

  if (WithinExpiry(since, history.expireDelay) && NotYetHandled(now, history.lastEvent, since)) {
    out = since;
    return TriggerState::Due;
  }

  const int currentLength = MonthLength(year, month);
  if (hasDay(currentLength) && !(occurrence < elapsed)) {
    out = occurrence - elapsed;  // later this month (zero: now, already handled)
  } else {
    std::int32_t skipped = 0;
    for (int later = month + 1; later <= 11; ++later) {
      const int length = MonthLength(year, later);
      if (hasDay(length)) break;
      skipped += length;
    }
    out = (Days(currentLength) - elapsed) + Days(skipped) + occurrence;
  }
  return TriggerState::Waiting;
}
std::int32_t MonthlyTrigger::PollInterval(const TriggerHistory& history) const {
  return PollTimeBased(*this, history);
}

TriggerState DiskDefragmenterTrigger::Evaluate(const TriggerHistory&, TimeSpan& out) const {
  out = NoTime();
  return DiskDefragmenterRuns() ? TriggerState::Waiting : TriggerState::Due;
}
std::int32_t DiskDefragmenterTrigger::PollInterval(const TriggerHistory& history) const {
  return PollEvent(*this, history);
}

TriggerState ProcessTrigger::Evaluate(const TriggerHistory&, TimeSpan& out) const {
  out = NoTime();
  // A walk that cannot be made proves nothing: the program waited for may
  // well be running, so only a walk that was made and found no match fires.
  std::vector<std::string> running;
  if (!platform::Desktop().ListRunningProcesses(running)) return TriggerState::Waiting;
  for (const std::string& name : running) {
    if (WildcardMatch(processName, name)) return TriggerState::Waiting;
  }
  return TriggerState::Due;
}
std::int32_t ProcessTrigger::PollInterval(const TriggerHistory& history) const {
  return PollEvent(*this, history);
}

bool DiskDefragmenterRuns() {
  platform::IDesktop& desktop = platform::Desktop();
  // The window's class changed with the generations (a dialog, a console
  // snap-in, a program of its own); its title did not, until it was renamed.
  for (const char* title : {"Disk Defragmenter", "Optimize Drives"}) {
    if (desktop.TopLevelWindowExists("", title)) return true;
  }
  // The command-line defragmenter has no window at all, and the 9x line
  // lists a process by its whole path, in whatever case the file has.
  for (const std::string& listed : desktop.RunningProcessNames()) {
    const std::string::size_type slash = listed.find_last_of("\\/");
    std::string name = slash == std::string::npos ? listed : listed.substr(slash + 1);
    for (char& c : name) {
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    if (name == "DFRGUI.EXE" || name == "DEFRAG.EXE") return true;
  }
  return false;
}

std::unique_ptr<Trigger> BuildTrigger(const TriggerFields& fields) {
  // The window keeps its fields inside these ranges, but stored fields come
  // back from the profile as they were written, by whoever wrote them:
  // hold them to the same ranges here, so a damaged profile gives the
  // nearest sensible trigger instead of one that fires out of turn.
  TriggerFields f = fields;
  f.weekdayIndex = std::clamp(f.weekdayIndex, 0, 6);
  if (f.kind == static_cast<std::int32_t>(TriggerKind::Monthly)) {
    f.number = std::clamp(f.number, kFirstDayOfMonth, kLastDayOfMonth);
  } else if (f.kind == static_cast<std::int32_t>(TriggerKind::Countdown)) {
    f.number = std::clamp(f.number, 0, kLongestCountdownDays);
  }
  switch (static_cast<TriggerKind>(f.kind)) {
    case TriggerKind::OneTime:
      return std::make_unique<OneTimeTrigger>(
          MakeDateTime(f.year, f.month, f.day, f.hour, f.minute, f.second));
    case TriggerKind::Countdown: {
      const DateTime target = Now() + MakeSpan(f.number, f.hour, f.minute, f.second);
      std::int64_t utc = 0;
      if (!platform::Clock().UtcNow(utc)) return std::make_unique<CountdownTrigger>(target);
      const std::int64_t seconds =
          (static_cast<std::int64_t>(f.number) * 24 + f.hour) * 3600 + f.minute * 60 + f.second;
      return std::make_unique<CountdownTrigger>(target, utc + seconds);
    }
    case TriggerKind::Daily:
      return std::make_unique<DailyTrigger>(MakeDateTime(2000, 1, 1, f.hour, f.minute, f.second));
    case TriggerKind::Weekly:
      return std::make_unique<WeeklyTrigger>(MakeDateTime(2000, 1, 1, f.hour, f.minute, f.second),
                                             f.weekdayIndex + 1);
    case TriggerKind::Monthly:
      return std::make_unique<MonthlyTrigger>(MakeDateTime(2000, 1, 1, f.hour, f.minute, f.second),
                                              f.number);
    case TriggerKind::DiskDefragmenter:
      return std::make_unique<DiskDefragmenterTrigger>();
    case TriggerKind::Process:
      return std::make_unique<ProcessTrigger>(f.processText);
  }
  throw ImpossibleStateException();
}

}  // namespace Vesperon
