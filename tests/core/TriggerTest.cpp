#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "model/MainFormRecord.h"
#include "model/Trigger.h"
#include "model/WildcardMatch.h"
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
  void SetUp() override {
    savedDelay_ = ExpireDelay();
    savedLastEvent_ = LastEvent();
  }
  void TearDown() override {
    SetExpireDelay(savedDelay_);
    SetLastEvent(savedLastEvent_);
  }
  void At(const Clock& c) { clock.Set(c.y, c.mo, c.d, c.h, c.mi, c.s); }

  // Evaluates and polls at the clock's time; the span comes back in seconds.
  struct Result {
    TriggerState state;
    double seconds;
    std::int32_t poll;
  };
  static Result Run(const Trigger& trigger) {
    TimeSpan out(123, DateTimeStatus::Null);
    const TriggerState state = trigger.Evaluate(out);
    EXPECT_EQ(out.status, DateTimeStatus::Valid);
    return {state, out.TotalSeconds(), trigger.PollInterval()};
  }

  platform::FakeClock clock;
  platform::FakeDesktop desktop;

 private:
  platform::ScopedClock scopedClock_{clock};
  platform::ScopedDesktop scopedDesktop_{desktop};
  TimeSpan savedDelay_;
  DateTime savedLastEvent_;
};

TEST_F(TriggerTest, OneTimeAndCountdownWaitFireAndMiss) {
  struct Row {
    std::int32_t targetFromNow;  // seconds
    std::int32_t expire;         // seconds
    TriggerState state;
    double seconds;
    std::int32_t poll;
  };
  const Row rows[] = {
      {-10, 3600, TriggerState::Due, 10, -1},
      {-2 * kHour, 3600, TriggerState::Missed, 2 * kHour, 100},
      {0, 3600, TriggerState::Due, 0, -1},  // a target equal to Now() is due
      {-3599, 3600, TriggerState::Due, 3599, -1},
      {-3601, 3600, TriggerState::Missed, 3601, 100},
      {-1, 0, TriggerState::Missed, 1, 100},
      {30, 3600, TriggerState::Waiting, 30, 1000},
      {299, 3600, TriggerState::Waiting, 299, 1000},
      {300, 3600, TriggerState::Waiting, 300, 1000},  // "at most five minutes"
      {301, 3600, TriggerState::Waiting, 301, 60000},
      {400 * kDay, 3600, TriggerState::Waiting, 400.0 * kDay, 60000},
  };
  At({2004, 11, 5, 12, 0, 0});
  for (const Row& r : rows) {
    SCOPED_TRACE(r.targetFromNow);
    SetExpireDelay(MakeSpan(0, 0, 0, r.expire));
    const DateTime target = Now() + MakeSpan(0, 0, 0, r.targetFromNow);
    for (const Result& result : {Run(OneTimeTrigger(target)), Run(CountdownTrigger(target))}) {
      EXPECT_EQ(result.state, r.state);
      EXPECT_EQ(result.seconds, r.seconds);
      EXPECT_EQ(result.poll, r.poll);
    }
  }
}

TEST_F(TriggerTest, DailyFiresOnceWhileFreshAndNeverMisses) {
  struct Row {
    int h, mi, s;  // time of day
    Clock now;
    Clock lastEvent;
    std::int32_t expire;
    TriggerState state;
    double seconds;
    std::int32_t poll;
  };
  const Row rows[] = {
      {8, 0, 0, {2004, 11, 5, 8, 30, 0}, {2004, 11, 4, 9, 0, 0}, 3600, TriggerState::Due, 1800, -1},
      // Fired at 08:10 already: the next one is tomorrow.
      {8, 0, 0, {2004, 11, 5, 8, 30, 0}, {2004, 11, 5, 8, 10, 0}, 3600, TriggerState::Waiting,
       23 * kHour + 1800, 60000},
      {8, 0, 0, {2004, 11, 5, 7, 59, 30}, {2004, 11, 4, 9, 0, 0}, 3600, TriggerState::Waiting, 30,
       1000},
      {8, 0, 0, {2004, 11, 5, 7, 55, 0}, {2004, 11, 4, 9, 0, 0}, 3600, TriggerState::Waiting, 300,
       1000},
      {8, 0, 0, {2004, 11, 5, 7, 0, 0}, {2004, 11, 4, 9, 0, 0}, 3600, TriggerState::Waiting, 3600,
       60000},
      // Too old to fire: skipped, not missed.
      {8, 0, 0, {2004, 11, 5, 10, 0, 0}, {2004, 11, 4, 9, 0, 0}, 3600, TriggerState::Waiting,
       22 * kHour, 60000},
      {8, 0, 0, {2004, 11, 5, 9, 59, 59}, {2004, 11, 4, 9, 0, 0}, 7200, TriggerState::Due, 7199, -1},
      {8, 0, 0, {2004, 11, 5, 8, 0, 0}, {2004, 11, 4, 9, 0, 0}, 3600, TriggerState::Due, 0, -1},
      // Activated at the very moment of the occurrence: it does not fire at once.
      {8, 0, 0, {2004, 11, 5, 8, 0, 0}, {2004, 11, 5, 8, 0, 0}, 3600, TriggerState::Waiting, kDay,
       60000},
      // An activation just before 08:30 swallows the occurrence of 08:00.
      {8, 0, 0, {2004, 11, 5, 8, 30, 0}, {2004, 11, 5, 8, 29, 0}, 3600, TriggerState::Waiting,
       23 * kHour + 1800, 60000},
      // Across midnight: 23:30 yesterday is 40 minutes old.
      {23, 30, 0, {2005, 1, 1, 0, 10, 0}, {2004, 12, 30, 0, 0, 0}, 3600, TriggerState::Due, 2400, -1},
      {0, 0, 0, {2004, 11, 5, 23, 59, 59}, {2004, 11, 5, 0, 0, 5}, 3600, TriggerState::Waiting, 1,
       1000},
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    SCOPED_TRACE(i);
    const Row& r = rows[i];
    At(r.now);
    SetLastEvent(r.lastEvent.Date());
    SetExpireDelay(MakeSpan(0, 0, 0, r.expire));
    const Result result = Run(DailyTrigger(MakeDateTime(2000, 1, 1, r.h, r.mi, r.s)));
    EXPECT_EQ(result.state, r.state);
    EXPECT_EQ(result.seconds, r.seconds);
    EXPECT_EQ(result.poll, r.poll);
  }
}

TEST_F(TriggerTest, WeeklyCountsFromTheWeekday) {
  struct Row {
    std::int32_t weekday;  // 1 Sunday
    int h;
    Clock now;  // 6 Nov 2004 is a Saturday
    Clock lastEvent;
    TriggerState state;
    double seconds;
  };
  const Row rows[] = {
      {1, 8, {2004, 11, 6, 8, 0, 0}, {2004, 11, 1, 0, 0, 0}, TriggerState::Waiting, kDay},
      {1, 8, {2004, 11, 7, 8, 30, 0}, {2004, 11, 1, 0, 0, 0}, TriggerState::Due, 1800},
      {1, 8, {2004, 11, 7, 8, 30, 0}, {2004, 11, 7, 8, 0, 0}, TriggerState::Waiting,
       7 * kDay - 1800},
      {4, 12, {2004, 11, 10, 11, 0, 0}, {2004, 11, 1, 0, 0, 0}, TriggerState::Waiting, kHour},
      {4, 12, {2004, 11, 11, 11, 0, 0}, {2004, 11, 1, 0, 0, 0}, TriggerState::Waiting,
       6 * kDay + kHour},
      // Saturday 23:00 seen from Sunday 00:30: the week wraps.
      {7, 23, {2004, 11, 7, 0, 30, 0}, {2004, 11, 1, 0, 0, 0}, TriggerState::Due, 5400},
      {1, 8, {2004, 11, 7, 10, 30, 0}, {2004, 11, 1, 0, 0, 0}, TriggerState::Waiting,
       7 * kDay - 2 * kHour - 1800},
  };
  SetExpireDelay(MakeSpan(0, 2, 0, 0));
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    SCOPED_TRACE(i);
    const Row& r = rows[i];
    At(r.now);
    SetLastEvent(r.lastEvent.Date());
    const Result result = Run(WeeklyTrigger(MakeDateTime(2000, 1, 1, r.h, 0, 0), r.weekday));
    EXPECT_EQ(result.state, r.state);
    EXPECT_EQ(result.seconds, r.seconds);
  }
}

TEST_F(TriggerTest, MonthlySkipsMonthsWithoutTheDay) {
  constexpr Clock kJustHandled{0, 0, 0, 0, 0, 0};
  struct Row {
    std::int32_t dayOfMonth;
    int h;
    Clock now;
    Clock lastEvent;  // kJustHandled: the moment of `now`
    std::int32_t expireDays;
    TriggerState state;
    double seconds;
  };
  const Row rows[] = {
      // Day 31 from 15 April: next on 31 May (April has no 31st)...
      {31, 0, {2004, 4, 15, 12, 0, 0}, kJustHandled, 0, TriggerState::Waiting, 45.5 * kDay},
      // ...and the most recent one was 31 March.
      {31, 0, {2004, 4, 15, 12, 0, 0}, {2004, 3, 1, 0, 0, 0}, 16, TriggerState::Due, 15.5 * kDay},
      {31, 0, {2004, 4, 15, 12, 0, 0}, {2004, 3, 1, 0, 0, 0}, 15, TriggerState::Waiting,
       45.5 * kDay},
      // Day 31 looking back from March skips February to 31 January.
      {31, 0, {2004, 3, 5, 0, 0, 0}, {2004, 1, 1, 0, 0, 0}, 40, TriggerState::Due, 34.0 * kDay},
      // 31 December after the time: next is 31 January of the next year.
      {31, 8, {2004, 12, 31, 9, 0, 0}, {2004, 12, 31, 8, 0, 30}, 0, TriggerState::Waiting,
       31.0 * kDay - kHour},
      {31, 8, {2004, 12, 31, 8, 30, 0}, {2004, 12, 30, 0, 0, 0}, 0, TriggerState::Waiting,
       31.0 * kDay - 1800},  // expired: ExpireDelay 0
      {31, 8, {2004, 12, 31, 8, 30, 0}, {2004, 12, 30, 0, 0, 0}, 1, TriggerState::Due, 1800},
      // Day 29: 29 March in a common year, 29 February in a leap year.
      {29, 0, {2003, 2, 10, 12, 0, 0}, kJustHandled, 0, TriggerState::Waiting, 46.5 * kDay},
      {29, 0, {2004, 2, 10, 12, 0, 0}, kJustHandled, 0, TriggerState::Waiting, 18.5 * kDay},
      // Day 30 never in February, not even a leap one.
      {30, 0, {2004, 1, 31, 10, 0, 0}, kJustHandled, 0, TriggerState::Waiting, 58.0 * kDay + 14 * kHour},
      {30, 0, {2005, 1, 31, 0, 0, 0}, kJustHandled, 0, TriggerState::Waiting, 58.0 * kDay},
      {30, 0, {2004, 3, 5, 0, 0, 0}, {2004, 1, 1, 0, 0, 0}, 40, TriggerState::Due, 35.0 * kDay},
      // Day 31 from November: December has it.
      {31, 0, {2004, 11, 15, 0, 0, 0}, kJustHandled, 0, TriggerState::Waiting, 46.0 * kDay},
      // January looks back to December of the previous year.
      {15, 0, {2005, 1, 10, 0, 0, 0}, {2004, 12, 1, 0, 0, 0}, 30, TriggerState::Due, 26.0 * kDay},
      {31, 0, {2005, 1, 10, 0, 0, 0}, {2004, 12, 1, 0, 0, 0}, 30, TriggerState::Due, 10.0 * kDay},
      // Later this month, and the occurrence of this very second, already handled.
      {15, 8, {2004, 6, 10, 8, 0, 0}, kJustHandled, 0, TriggerState::Waiting, 5.0 * kDay},
      {15, 8, {2004, 6, 15, 8, 0, 0}, kJustHandled, 0, TriggerState::Waiting, 0},
      {15, 8, {2004, 6, 15, 8, 0, 0}, {2004, 6, 1, 0, 0, 0}, 0, TriggerState::Due, 0},
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    SCOPED_TRACE(i);
    const Row& r = rows[i];
    At(r.now);
    SetLastEvent(r.lastEvent.y == 0 ? r.now.Date() : r.lastEvent.Date());
    SetExpireDelay(MakeSpan(r.expireDays, 0, 0, 0));
    const Result result =
        Run(MonthlyTrigger(MakeDateTime(2000, 1, 1, r.h, 0, 0), r.dayOfMonth));
    EXPECT_EQ(result.state, r.state);
    EXPECT_EQ(result.seconds, r.seconds);
  }
}

// Polls every second around each occurrence the way the engine does, moving
// LastEvent to Now() on every fire: each occurrence must fire exactly once,
// at its own second, however the day counts round.
TEST_F(TriggerTest, EachOccurrenceFiresExactlyOnce) {
  struct Row {
    const char* name;
    std::unique_ptr<Trigger> trigger;
    Clock start;            // two minutes before the first occurrence
    std::int64_t period;    // seconds from one window to the next
    int windows;
  };
  const DateTime at0800 = MakeDateTime(2000, 1, 1, 8, 0, 0);
  Row rows[] = {
      {"daily", std::make_unique<DailyTrigger>(at0800), {2004, 11, 5, 7, 58, 0}, kDay, 120},
      {"weekly", std::make_unique<WeeklyTrigger>(at0800, 6), {2004, 11, 5, 7, 58, 0}, 7 * kDay, 60},
      {"monthly", std::make_unique<MonthlyTrigger>(at0800, 1), {2004, 1, 1, 7, 58, 0}, 0, 48},
  };
  SetExpireDelay(MakeSpan(0, 1, 0, 0));
  for (Row& r : rows) {
    SCOPED_TRACE(r.name);
    At(r.start);
    SetLastEvent(Now());
    int fires = 0;
    for (int window = 0; window < r.windows; ++window) {
      for (int second = 0; second < 600; ++second) {
        TimeSpan out;
        if (r.trigger->Evaluate(out) == TriggerState::Due) {
          ++fires;
          EXPECT_EQ(second, 120) << "window " << window;
          SetLastEvent(Now());
        }
        clock.Advance(1);
      }
      // On to two minutes before the next occurrence (the 1st of the next month).
      clock.Advance(-600);
      if (r.period != 0) {
        clock.Advance(r.period);
      } else {
        clock.Set(clock.Current().month == 12 ? clock.Current().year + 1 : clock.Current().year,
                  clock.Current().month % 12 + 1, 1, 7, 58, 0);
      }
    }
    EXPECT_EQ(fires, r.windows);
  }
}

TEST_F(TriggerTest, EventTriggersWaitWhileTheirWindowOrProcessIsThere) {
  TimeSpan out;
  DiskDefragmenterTrigger defrag;
  EXPECT_EQ(defrag.Evaluate(out), TriggerState::Due);  // no window at activation: due at once
  EXPECT_EQ(out.days, -1.0);
  EXPECT_EQ(defrag.PollInterval(), -1);
  desktop.OpenWindow("#32770", "Disk Defragmenter");
  EXPECT_EQ(defrag.Evaluate(out), TriggerState::Waiting);
  EXPECT_EQ(out.days, -1.0);
  EXPECT_EQ(defrag.PollInterval(), 1000);
  desktop.CloseWindow("#32770", "Disk Defragmenter");
  desktop.OpenWindow("#32770", "Disk defragmenter");
  desktop.OpenWindow("Defrag", "Disk Defragmenter");
  EXPECT_EQ(defrag.Evaluate(out), TriggerState::Due);

  struct Row {
    const char* pattern;
    std::vector<std::string> running;
    TriggerState state;
  };
  const Row rows[] = {
      {"note*.exe", {"explorer.exe", "notepad.exe"}, TriggerState::Waiting},
      {"note*.exe", {"explorer.exe", "Notepad.exe"}, TriggerState::Due},  // no case folding
      {"", {"explorer.exe", "notepad.exe"}, TriggerState::Due},  // an empty field matches nothing
      {"*", {}, TriggerState::Due},
      {"*", {"System"}, TriggerState::Waiting},
      {"C:\\WINDOWS\\NOTEPAD.EXE", {"C:\\WINDOWS\\NOTEPAD.EXE"}, TriggerState::Waiting},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.pattern);
    desktop.processNames = r.running;
    const ProcessTrigger trigger(r.pattern);
    EXPECT_EQ(trigger.Evaluate(out), r.state);
    EXPECT_EQ(out.days, -1.0);
    EXPECT_EQ(trigger.PollInterval(), r.state == TriggerState::Due ? -1 : 1000);
  }
}

TEST(WildcardMatchTest, MatchesTheWholeName) {
  struct Row {
    const char* pattern;
    const char* name;
    bool match;
  };
  const Row rows[] = {
      {"*", "anything.exe", true},
      {"*", "", true},
      {"**", "", true},
      {"", "", true},
      {"", "a", false},
      {"a", "", false},
      {"?", "", false},
      {"*?", "", false},
      {"A*B", "AXBYB", true},  // the star retries until the final B
      {"A*B", "AXBYBC", false},
      {"A?C", "AC", false},
      {"A?C", "ABC", true},
      {"note*.exe", "notepad.exe", true},
      {"note*.exe", "Notepad.exe", false},
      {"*.exe", "setup.ex", false},
      {"*aab", "aaab", true},
      {"a*b*c", "aXbYbZc", true},
      {"a*b*c", "aXbYbZ", false},
      {"a**", "a", true},
      {"abc*", "ab", false},
      {"*a", "bab", false},
      {"\xC4*", "\xC4pfel", true},  // bytes, not characters of a locale
      {"\xE4*", "\xC4pfel", false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << "'" << r.pattern << "' vs '" << r.name << "'");
    EXPECT_EQ(WildcardMatch(r.pattern, r.name), r.match);
  }
}

TEST(MainFormRecordTest, StoredDateAndTimeReadBackAsWritten) {
  struct Row {
    int y, mo, d, h, mi, s;
    std::uint32_t date, time;
  };
  const Row rows[] = {
      {2004, 11, 5, 0, 0, 0, 745834, 0},
      {2004, 12, 5, 10, 30, 0, 745865, 37800},
      {2005, 1, 31, 23, 59, 59, 745922, 86399},
      {2004, 2, 29, 12, 0, 0, 745579, 43200},
      {2004, 1, 1, 0, 0, 1, 745520, 1},
      {100, 1, 1, 0, 0, 0, 37232, 0},
      {9999, 12, 31, 23, 59, 59, 3720031, 86399},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.y << "-" << r.mo << "-" << r.d);
    EXPECT_EQ(EncodeTriggerDate(r.y, r.mo, r.d), r.date);
    EXPECT_EQ(EncodeTriggerTime(r.h, r.mi, r.s), r.time);
    const DateTime back = DecodeTriggerDateTime(r.date, r.time);
    EXPECT_EQ(back.status, DateTimeStatus::Valid);
    EXPECT_EQ(back.days, MakeDateTime(r.y, r.mo, r.d, r.h, r.mi, r.s).days);
  }

  const struct {
    std::uint32_t date, time;
  } invalid[] = {
      {0, 0},                                // the default
      {EncodeTriggerDate(2003, 2, 29), 0},   // no such day
      {EncodeTriggerDate(2004, 4, 31), 0},
      {EncodeTriggerDate(2004, 11, 5), 86400},  // 24:00:00
      {EncodeTriggerDate(99, 12, 31), 0},
      {31, 0},  // year 0, month 0
      {0xFFFFFFFFu, 0},
  };
  for (const auto& row : invalid) {
    SCOPED_TRACE(row.date);
    EXPECT_EQ(DecodeTriggerDateTime(row.date, row.time).status, DateTimeStatus::Invalid);
  }
}

TEST_F(TriggerTest, BuildsEachKindFromTheWindowFields) {
  At({2004, 11, 5, 12, 0, 0});
  TriggerFields fields;
  fields.year = 2004, fields.month = 12, fields.day = 24;
  fields.hour = 18, fields.minute = 30, fields.second = 15;
  fields.number = 3;
  fields.weekdayIndex = 0;
  fields.processText = "setup*.exe";
  const DateTime timeOfDay = MakeDateTime(2000, 1, 1, 18, 30, 15);

  fields.kind = 0;
  auto oneTime = BuildTrigger(fields);
  ASSERT_NE(dynamic_cast<OneTimeTrigger*>(oneTime.get()), nullptr);
  EXPECT_EQ(static_cast<OneTimeTrigger&>(*oneTime).target.days,
            MakeDateTime(2004, 12, 24, 18, 30, 15).days);

  fields.kind = 1;
  auto countdown = BuildTrigger(fields);
  ASSERT_NE(dynamic_cast<CountdownTrigger*>(countdown.get()), nullptr);
  TimeSpan left;
  EXPECT_EQ(countdown->Evaluate(left), TriggerState::Waiting);
  EXPECT_EQ(left.TotalSeconds(), 3.0 * kDay + 18 * kHour + 30 * 60 + 15);
  clock.Advance(3 * kDay + 18 * kHour + 30 * 60 + 15);  // the span was fixed at construction
  EXPECT_EQ(countdown->Evaluate(left), TriggerState::Due);

  fields.kind = 2;
  auto daily = BuildTrigger(fields);
  ASSERT_NE(dynamic_cast<DailyTrigger*>(daily.get()), nullptr);
  EXPECT_EQ(static_cast<DailyTrigger&>(*daily).timeOfDay.days, timeOfDay.days);

  fields.kind = 3;
  fields.weekdayIndex = 6;
  auto weekly = BuildTrigger(fields);
  ASSERT_NE(dynamic_cast<WeeklyTrigger*>(weekly.get()), nullptr);
  EXPECT_EQ(static_cast<WeeklyTrigger&>(*weekly).weekday, 7);
  EXPECT_EQ(static_cast<WeeklyTrigger&>(*weekly).timeOfDay.days, timeOfDay.days);

  fields.kind = 4;
  auto monthly = BuildTrigger(fields);
  ASSERT_NE(dynamic_cast<MonthlyTrigger*>(monthly.get()), nullptr);
  EXPECT_EQ(static_cast<MonthlyTrigger&>(*monthly).dayOfMonth, 3);

  fields.kind = 5;
  EXPECT_NE(dynamic_cast<DiskDefragmenterTrigger*>(BuildTrigger(fields).get()), nullptr);

  fields.kind = 6;
  auto process = BuildTrigger(fields);
  ASSERT_NE(dynamic_cast<ProcessTrigger*>(process.get()), nullptr);
  EXPECT_EQ(static_cast<ProcessTrigger&>(*process).processName, "setup*.exe");

  for (std::int32_t kind : {-1, 7}) {
    fields.kind = kind;
    EXPECT_THROW(BuildTrigger(fields), ImpossibleStateException);
  }
}

}  // namespace
