// The triggers' rules, their stored dates, and the texts and progress they show.
#include <gtest/gtest.h>

#include <climits>
#include <limits>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "app/SchedulerEngine.h"
#include "app/TriggerText.h"
#include "model/MainFormRecord.h"
#include "model/Trigger.h"
#include "platform/Services.h"
#include "platform/memory/FakeClock.h"
#include "platform/memory/FakeDesktop.h"
#include "tests/support/FakeOsVersion.h"

namespace {

using namespace Vesperon;

constexpr std::int32_t kHour = 3600, kDay = 86400;

struct Clock {
  int y, mo, d, h, mi, s;
  DateTime Date() const { return MakeDateTime(y, mo, d, h, mi, s); }
};

class TriggerTest : public ::testing::Test {
 protected:
  void At(const Clock& c) { clock.Set(c.y, c.mo, c.d, c.h, c.mi, c.s); }

  // Evaluates and polls at the clock's time; the span comes back in seconds.
  struct Result {
    TriggerState state;
    double seconds;
    std::int32_t poll;
  };
  static Result Run(const Trigger& trigger, const TriggerHistory& history = {}) {
    TimeSpan out(123, DateTimeStatus::Null);
    const TriggerState state = trigger.Evaluate(history, out);
    EXPECT_EQ(out.status, DateTimeStatus::Valid);
    return {state, out.TotalSeconds(), trigger.PollInterval(history)};
  }

  platform::FakeClock clock;
  platform::FakeDesktop desktop;

 private:
  platform::ScopedClock scopedClock_{clock};
  platform::ScopedDesktop scopedDesktop_{desktop};
};

// (Expiry, misses and the polling around an occurrence: SchedulerEngineTest
// and SchedulerSimulationTest, through the engine.)
TEST_F(TriggerTest, RepeatingKindsFireWhileFreshAndNeverMiss) {
  const DateTime at0000 = MakeDateTime(2000, 1, 1, 0, 0, 0), at0800 = MakeDateTime(2000, 1, 1, 8, 0, 0);
  const DailyTrigger daily(at0800), late(MakeDateTime(2000, 1, 1, 23, 30, 0));
  const WeeklyTrigger sunday(at0800, 1), saturday(MakeDateTime(2000, 1, 1, 23, 0, 0), 7);
  const MonthlyTrigger day31(at0000, 31), day31at8(at0800, 31), day15(at0000, 15), day15at8(at0800, 15);
  // handled: the last event is now, the occurrence was handled.
  const Clock handled{0, 0, 0, 0, 0, 0}, old{2000, 1, 1, 0, 0, 0};
  using enum TriggerState;
  // The trigger, now, the last event, the expiry window in seconds, the state and the span.
  const std::tuple<const Trigger&, Clock, Clock, std::int32_t, TriggerState, double> rows[] = {
      {daily, {2004, 11, 5, 8, 30, 0}, old, kHour, Due, 1800},
      {daily, {2004, 11, 5, 8, 30, 0}, {2004, 11, 5, 8, 10, 0}, kHour, Waiting, 23 * kHour + 1800},
      {daily, {2004, 11, 5, 10, 0, 0}, old, kHour, Waiting, 22 * kHour},  // too old
      {late, {2005, 1, 1, 0, 10, 0}, old, kHour, Due, 2400},  // across midnight
      // 6 November 2004 is a Saturday.
      {sunday, {2004, 11, 7, 8, 30, 0}, {2004, 11, 7, 8, 0, 0}, kHour, Waiting, 7 * kDay - 1800},
      {saturday, {2004, 11, 7, 0, 30, 0}, old, 2 * kHour, Due, 5400},  // week wraps
      // Day 31 from 15 April: next on 31 May, most recent on 31 March.
      {day31, {2004, 4, 15, 12, 0, 0}, old, 16 * kDay, Due, 15.5 * kDay},
      {day31, {2004, 3, 5, 0, 0, 0}, old, 40 * kDay, Due, 34.0 * kDay},  // 31 Jan
      // 31 December after the time: next on 31 January of the next year.
      {day31at8, {2004, 12, 31, 9, 0, 0}, handled, kHour, Waiting, 31.0 * kDay - kHour},
      // After the time on 31 January of a leap year: February lacks the day, next on 31 March.
      {day31, {2004, 1, 31, 9, 0, 0}, old, kHour, Waiting, 59 * kDay + 15 * kHour},
      // January looks back to December of the previous year.
      {day15, {2005, 1, 10, 0, 0, 0}, old, 30 * kDay, Due, 26.0 * kDay},
      {day15at8, {2004, 6, 15, 8, 0, 0}, handled, 0, Waiting, 0},  // now, handled
      {day15at8, {2004, 6, 15, 8, 0, 0}, old, 0, Due, 0},
  };
  for (const auto& [trigger, now, lastEvent, expire, state, seconds] : rows) {
    At(now);
    const DateTime last = lastEvent.y == 0 ? now.Date() : lastEvent.Date();
    const Result result = Run(trigger, {last, MakeSpan(0, 0, 0, expire)});
    EXPECT_EQ(std::pair(result.state, result.seconds), std::pair(state, seconds)) << now.Date().ToText();
  }
}

TEST_F(TriggerTest, EventTriggersWaitWhileTheirWindowOrProcessIsThere) {
  // Every generation's defragmenter counts: its windows whatever their
  // class, its programs whatever their folder and case. A process trigger
  // waits while a running name matches its pattern.
  // The pattern (nullptr: the defragmenter trigger), the class and title of an open window (nullptr: none),
  // the running programs, the state, and whether walking the process list fails.
  using enum TriggerState;
  using Names = std::vector<std::string>;
  const std::tuple<const char*, const char*, const char*, Names, TriggerState, bool> rows[] = {
      {nullptr, nullptr, "", {"explorer.exe"}, Due, false},  // none at activation: due at once
      {nullptr, "#32770", "Disk Defragmenter", {}, Waiting, false},
      {nullptr, "MMCMainFrame", "Disk Defragmenter", {}, Waiting, false},
      {nullptr, "#32770", "Optimize Drives", {}, Waiting, false},
      {nullptr, "#32770", "Disk defragmenter", {}, Due, false},
      {nullptr, "#32770", "Optimize", {}, Due, false},
      {nullptr, nullptr, "", {"explorer.exe", "dfrgui.exe"}, Waiting, false},
      {nullptr, nullptr, "", {"Defrag.EXE"}, Waiting, false},
      {nullptr, nullptr, "", {"C:\\WINDOWS\\DEFRAG.EXE"}, Waiting, false},
      {nullptr, nullptr, "", {"defrag.exe.bak", "mydefrag.exe", "dfrgui"}, Due, false},
      {"note*.exe", nullptr, "", {"explorer.exe", "notepad.exe"}, Waiting, false},
      {"note*.exe", nullptr, "", {"explorer.exe", "Notepad.exe"}, Due, false},  // no case folding
      {"", nullptr, "", {"explorer.exe", "notepad.exe"}, Due, false},  // an empty field matches none
      {"*", nullptr, "", {}, Due, false},
      {"setup.exe", nullptr, "", {"setup.exe"}, Waiting, true},  // no walk: no proof it ended
  };
  for (const auto& [pattern, windowClass, title, running, state, walkFails] : rows) {
    SCOPED_TRACE(testing::Message() << (pattern ? pattern : "defrag") << " " << title << " "
                                    << testing::PrintToString(running));
    if (windowClass) desktop.OpenWindow(windowClass, title);
    desktop.processNames = running;
    desktop.walkFails = walkFails;
    const Result result = pattern ? Run(ProcessTrigger(pattern)) : Run(DiskDefragmenterTrigger());
    // Event kinds know no time; a due one is polled again at once.
    EXPECT_EQ(std::tuple(result.state, result.seconds, result.poll),
              std::tuple(state, -kDay + 0.0, state == Due ? -1 : 1000));
    if (windowClass) desktop.CloseWindow(windowClass, title);
  }
}

TEST(MainFormRecordTest, StoredDateAndTimeReadBackAsWritten) {
  const std::tuple<Clock, std::uint32_t, std::uint32_t> rows[] = {  // the moment, its date and time stored
      {{2005, 1, 31, 23, 59, 59}, 745922, 86399}, {{2004, 2, 29, 12, 0, 0}, 745579, 43200},
      {{9999, 12, 31, 23, 59, 59}, 3720031, 86399},
  };
  for (const auto& [c, date, time] : rows) {
    const DateTime back = DecodeTriggerDateTime(date, time);
    EXPECT_EQ(std::tuple(EncodeTriggerDate(c.y, c.mo, c.d), EncodeTriggerTime(c.h, c.mi, c.s), back.status),
              std::tuple(date, time, DateTimeStatus::Valid));
    EXPECT_EQ(back.days, c.Date().days) << date;
  }
  const std::uint32_t invalid[][2] = {  // the default first
      {0, 0}, {EncodeTriggerDate(2003, 2, 29), 0}, {EncodeTriggerDate(2004, 11, 5), 86400}, {0xFFFFFFFFu, 0},
  };
  for (const auto& row : invalid) {
    EXPECT_EQ(DecodeTriggerDateTime(row[0], row[1]).status, DateTimeStatus::Invalid) << row[0];
  }
}

// Each kind built from the window's fields fires when they say: SchedulerEngineTest.
// Fields from a damaged profile give the nearest sensible trigger, never one firing at every poll.
TEST_F(TriggerTest, OutOfRangeFieldsTakeTheNearestEndOfTheirRange) {
  At({2005, 1, 15, 12, 0, 0});  // a Saturday
  // The kind, number and weekday index; the weekday 1..7, day of the month or countdown days built.
  const std::tuple<TriggerKind, std::int32_t, std::int32_t, std::int32_t> rows[] = {
      {TriggerKind::Weekly, 0, 221, 7}, {TriggerKind::Weekly, 0, -1, 1}, {TriggerKind::Monthly, 100, 0, 31},
      {TriggerKind::Monthly, 0, 0, 1}, {TriggerKind::Monthly, INT_MIN, 0, 1},
      {TriggerKind::Countdown, INT_MAX, 0, kLongestCountdownDays}, {TriggerKind::Countdown, -5, 0, 0},
  };
  for (const auto& [kind, number, weekdayIndex, expected] : rows) {
    SCOPED_TRACE(testing::Message() << static_cast<int>(kind) << " " << number << " " << weekdayIndex);
    const TriggerFields f{static_cast<std::int32_t>(kind), 2005, 1, 15, 8, 0, 0, number, weekdayIndex, ""};
    const std::unique_ptr<Trigger> trigger = BuildTrigger(f);
    if (const auto* weekly = dynamic_cast<const WeeklyTrigger*>(trigger.get())) {
      EXPECT_EQ(weekly->weekday, expected);
    } else if (const auto* monthly = dynamic_cast<const MonthlyTrigger*>(trigger.get())) {
      EXPECT_EQ(monthly->dayOfMonth, expected);
    } else {
      const auto* countdown = dynamic_cast<const CountdownTrigger*>(trigger.get());
      ASSERT_NE(countdown, nullptr);
      EXPECT_EQ((countdown->target - Now()).TotalDays(), expected + 0.0);
    }
  }
}

// The texts and the progress bar of a trigger.

constexpr std::int32_t kInt32Max = std::numeric_limits<std::int32_t>::max();

TimeSpan Seconds(double seconds) { return TimeSpan(seconds / 86400.0, DateTimeStatus::Valid); }
TimeSpan Days(double days) { return TimeSpan(days, DateTimeStatus::Valid); }

TEST(TriggerTextTest, RemainingTimeKeepsEveryUnitBelowTheLargestNonZeroOne) {
  const std::pair<TimeSpan, const char*> rows[] = {
      {MakeSpan(1, 0, 0, 0), " 1 Days 00 Hours 00 Mins 00 Secs"},
      {ZeroSpan, " 00 Second(s)"},
      // Totals round to the nearest second before the unit is chosen.
      {Seconds(59.6), " 01 Minute(s) 00 Second(s)"},
      {Seconds(3599.5), " 01 Hours 00 Mins 00 Secs"},
      // A zero unit between non-zero ones is still shown.
      {MakeSpan(0, 1, 0, 5), " 01 Hours 00 Mins 05 Secs"},
      // Seconds past a 32-bit total: the longest countdown the window takes.
      {MakeSpan(24855, 3, 14, 9), " 24855 Days 03 Hours 14 Mins 09 Secs"},
  };
  for (const auto& [span, text] : rows) EXPECT_EQ(FormatRemaining(span), text) << span.days;
}

TEST(TriggerTextTest, DescriptionOfEveryKind) {
  testing_support::FakeOsVersion os(testing_support::kWin2000);
  const auto kind = [](TriggerKind k) { return static_cast<std::int32_t>(k); };
  // The fields, the action, the weekday's name and the description.
  const std::tuple<TriggerFields, ActionId, const char*, const char*> rows[] = {
      {{kind(TriggerKind::Weekly), 2004, 11, 5, 7, 5, 0, 1, 1, ""}, kActionReboot, "Monday",
       "Action \"Reboot\" is scheduled to arise every Monday at 07:05:00"},
      {{kind(TriggerKind::Monthly), 2004, 11, 5, 0, 0, 0, 2, 0, ""}, kActionTurnOff, "",
       "Action \"Turn off\" is scheduled to arise monthly: every 2th at 00:00:00"},
      {{kind(TriggerKind::OneTime), 2004, 12, 5, 23, 0, 0, 0, 0, ""}, kActionTurnOff, "",
       "Action \"Turn off\" will arise at 23:00:00 | December 05, 2004"},
      {{kind(TriggerKind::Countdown), 2004, 11, 5, 1, 0, 0, 2, 0, ""}, kActionReminder, "",
       "Action \"Reminder\" will arise after 2 Days 01 Hours 00 Mins 00 Secs"},
      {{kind(TriggerKind::DiskDefragmenter), 2004, 11, 5, 8, 0, 0, 0, 0, ""}, kActionTurnOff, "",
       "Action \"Turn off\" will arise after windows defragmentation utility will finish its work."},
      {{kind(TriggerKind::Process), 2004, 11, 5, 8, 0, 0, 0, 0, "note*.exe"}, kActionKillProcesses, "",
       "Action \"Kill Process(es)\" will arise when process \"note*.exe\" stops."},
      // Ids that name no action give an empty name rather than a stray read.
      {{kind(TriggerKind::Daily), 2004, 11, 5, 8, 0, 0, 0, 0, ""}, -1, "",
       "Action \"\" is scheduled to arise daily at 08:00:00"},
      {{-1, 2004, 11, 5, 8, 0, 0, 0, 0, ""}, kActionTurnOff, "", "Action \"Turn off\" "},
  };
  for (const auto& [fields, action, weekday, text] : rows) {
    EXPECT_EQ(BuildTriggerDescription(fields, action, weekday), text);
  }
}

TEST(TriggerTextTest, CountdownShowsTimeOnlyWhileCounting) {
  // The view: its label, whether it moves the bar, and to where (0: untouched).
  using View = std::tuple<std::string, bool, std::int32_t>;
  const std::tuple<TriggerState, TimeSpan, ProgressUnit, View> rows[] = {
      {TriggerState::Due, Seconds(5), ProgressUnit::Seconds, {" 00 Second(s)", false, 0}},
      {TriggerState::Waiting, MakeSpan(-1, 0, 0, 0), ProgressUnit::Seconds, {"Unknown", false, 0}},
      {TriggerState::Waiting, Seconds(90), ProgressUnit::Minutes, {" 01 Minute(s) 30 Second(s)", true, 1}},
      {TriggerState::Waiting, MakeSpan(3, 0, 0, 0), ProgressUnit::Hours,
       {" 3 Days 00 Hours 00 Mins 00 Secs", true, 72}},
  };
  for (const auto& [state, out, unit, expected] : rows) {
    const CountdownView view = ComputeCountdownView(state, out, unit);
    EXPECT_EQ(View(view.label, view.setsProgress, view.progress), expected);
  }
}

TEST(TriggerTextTest, ProgressRangeTakesTheFinestUnitThatFits) {
  const std::tuple<TimeSpan, std::int32_t, ProgressUnit> rows[] = {  // the time left, the range and its unit
      {Seconds(59.6), 60, ProgressUnit::Seconds},
      {Seconds(2147483647.0), kInt32Max, ProgressUnit::Seconds},
      // One second more and the seconds no longer fit a 32-bit range: they
      // must not wrap into a negative maximum.
      {Seconds(2147483648.0), 35791394, ProgressUnit::Minutes},
      {Days(kMaxSpanDays), 86781528, ProgressUnit::Hours},
      {Days(2147483648.0 / 24.0), 89478485, ProgressUnit::Days},
      {Days(3.0e9), kInt32Max, ProgressUnit::ClampedDays},
  };
  for (const auto& [out, maximum, unit] : rows) {
    const ProgressRange range = ChooseProgressRange(out);
    EXPECT_EQ(std::pair(range.maximum, range.unit), std::pair(maximum, unit)) << out.days;
  }
}

TEST(TriggerTextTest, ProgressPositionStaysInsideTheBar) {
  const std::tuple<TimeSpan, ProgressUnit, std::int32_t> rows[] = {  // the time left, the unit, the position
      {Seconds(3600), ProgressUnit::Minutes, 60},
      {Seconds(3599.5), ProgressUnit::Hours, 1},
      {Days(3.0e9), ProgressUnit::ClampedDays, kInt32Max},
      // Chosen for a short first wait, the seconds of a later, longer one
      // overflow 32 bits: the bar stays full instead of going negative.
      {Days(30000), ProgressUnit::Seconds, kInt32Max},
      {Seconds(-5), ProgressUnit::Seconds, 0},
  };
  for (const auto& [out, unit, position] : rows) EXPECT_EQ(ProgressPosition(out, unit), position) << out.days;
}

}  // namespace
