#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "model/MainFormRecord.h"
#include "model/Trigger.h"
#include "platform/Services.h"
#include "platform/memory/FakeClock.h"
#include "platform/memory/FakeDesktop.h"

namespace {

using namespace Vesperon;

constexpr std::int32_t kHour = 3600;
constexpr std::int32_t kDay = 86400;

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
  const DateTime at0000 = MakeDateTime(2000, 1, 1, 0, 0, 0);
  const DateTime at0800 = MakeDateTime(2000, 1, 1, 8, 0, 0);
  const DailyTrigger daily(at0800), late(MakeDateTime(2000, 1, 1, 23, 30, 0));
  const WeeklyTrigger sunday(at0800, 1), saturday(MakeDateTime(2000, 1, 1, 23, 0, 0), 7);
  const MonthlyTrigger day31(at0000, 31), day31at8(at0800, 31), day15(at0000, 15),
      day15at8(at0800, 15);
  const Clock handled{0, 0, 0, 0, 0, 0};  // the last event is now: the occurrence was handled
  const Clock old{2000, 1, 1, 0, 0, 0};
  using enum TriggerState;
  const struct {
    const Trigger& trigger;
    Clock now, lastEvent;
    std::int32_t expire;  // seconds
    TriggerState state;
    double seconds;
  } rows[] = {
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
      // January looks back to December of the previous year.
      {day15, {2005, 1, 10, 0, 0, 0}, old, 30 * kDay, Due, 26.0 * kDay},
      {day15at8, {2004, 6, 15, 8, 0, 0}, handled, 0, Waiting, 0},  // now, handled
      {day15at8, {2004, 6, 15, 8, 0, 0}, old, 0, Due, 0},
  };
  for (const auto& r : rows) {
    At(r.now);
    const Result result = Run(r.trigger, {r.lastEvent.y == 0 ? r.now.Date() : r.lastEvent.Date(),
                                           MakeSpan(0, 0, 0, r.expire)});
    EXPECT_EQ(std::pair(result.state, result.seconds), std::pair(r.state, r.seconds)) << &r - rows;
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
  const struct {
    int y, mo, d, h, mi, s;
    std::uint32_t date, time;
  } rows[] = {
      {2005, 1, 31, 23, 59, 59, 745922, 86399}, {2004, 2, 29, 12, 0, 0, 745579, 43200},
      {9999, 12, 31, 23, 59, 59, 3720031, 86399},
  };
  for (const auto& r : rows) {
    const DateTime back = DecodeTriggerDateTime(r.date, r.time);
    const DateTime written = MakeDateTime(r.y, r.mo, r.d, r.h, r.mi, r.s);
    EXPECT_EQ(std::tuple(EncodeTriggerDate(r.y, r.mo, r.d), EncodeTriggerTime(r.h, r.mi, r.s), back.status),
              std::tuple(r.date, r.time, DateTimeStatus::Valid));
    EXPECT_EQ(back.days, written.days) << r.date;
  }
  const std::uint32_t invalid[][2] = {
      {0, 0},  // the default
      {EncodeTriggerDate(2003, 2, 29), 0}, {EncodeTriggerDate(2004, 11, 5), 86400}, {0xFFFFFFFFu, 0},
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
      {TriggerKind::Weekly, 0, 221, 7},      {TriggerKind::Weekly, 0, -1, 1},
      {TriggerKind::Monthly, 100, 0, 31},
      {TriggerKind::Monthly, 0, 0, 1},       {TriggerKind::Monthly, INT_MIN, 0, 1},
      {TriggerKind::Countdown, INT_MAX, 0, kLongestCountdownDays},
      {TriggerKind::Countdown, -5, 0, 0},
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

}  // namespace
