// Long runs on the simulated computer: every occurrence fires once, at its own second.
#include <gtest/gtest.h>

#include <functional>
#include <iostream>
#include <string>
#include <vector>

#include "app/SchedulerEngine.h"
#include "tests/support/EngineSimulation.h"

namespace {

using namespace Vesperon;
using namespace DataSystem;
using testsupport::EngineSimulation;

constexpr std::int64_t kDayMs = 86400000;

platform::LocalTimeFields At(int y, int mo, int d, int h, int mi, int s) {
  return {y, mo, d, h, mi, s};
}

TriggerFields Fields(TriggerKind kind, const platform::LocalTimeFields& at, std::int32_t number = 0,
                     std::int32_t weekday = 0) {
  return {static_cast<std::int32_t>(kind), at.year, at.month, at.day, at.hour, at.minute,
          at.second, number, weekday, ""};
}

// The moments at hour:minute:second of the `days` days from `first` on which `wanted` holds.
std::vector<DateTime> Occurrences(const platform::LocalTimeFields& first, int days, int hour,
                                  int minute, int second,
                                  const std::function<bool(const DateTime&)>& wanted) {
  std::vector<DateTime> moments;
  platform::FakeClock day(At(first.year, first.month, first.day, hour, minute, second));
  for (int i = 0; i < days; ++i, day.Advance(86400)) {
    const platform::LocalTimeFields& f = day.Current();
    const DateTime moment = MakeDateTime(f.year, f.month, f.day, f.hour, f.minute, f.second);
    if (wanted(moment)) moments.push_back(moment);
  }
  return moments;
}

// Each action ran at its occurrence's second, none missing or extra, at most 1 s late.
testsupport::DelayStats ExpectFiredAt(const EngineSimulation& sim,
                                      const std::vector<DateTime>& occurrences,
                                      const std::string& name) {
  const auto& runs = sim.window.executions;
  EXPECT_EQ(runs.size(), occurrences.size()) << name;
  std::vector<std::int64_t> delays;
  for (std::size_t i = 0; i < runs.size() && i < occurrences.size(); ++i) {
    EXPECT_EQ(runs[i].clock.ToText(), occurrences[i].ToText()) << name << " #" << i;
    const std::int64_t delay = runs[i].simMs - sim.MillisecondsAt(occurrences[i]);
    EXPECT_GE(delay, 0) << name << " #" << i;
    EXPECT_LE(delay, 1000) << name << " #" << i;
    delays.push_back(delay);
  }
  const testsupport::DelayStats stats = testsupport::Summarise(delays);
  std::cout << "[   delay  ] " << name << ": " << stats << std::endl;
  return stats;
}

// The computer running for `days` with the window hidden in the tray.
void RunHidden(EngineSimulation& sim, const TriggerFields& fields, std::int64_t days,
               bool clockWatch = false) {
  if (clockWatch) sim.engine.StartClockWatch();
  sim.window.fields = fields;
  sim.engine.OnActivateClicked();
  ASSERT_TRUE(sim.engine.IsActive());
  sim.engine.OnWindowShown(false);
  sim.RunFor(days * kDayMs);
}

TEST(SchedulerSimulationTest, DailyFiresOncePerDayForFourHundredDays) {
  // Across the 2024 leap day and two year ends.
  const auto start = At(2023, 12, 30, 10, 0, 0);
  EngineSimulation sim(start, 437);
  RunHidden(sim, Fields(TriggerKind::Daily, At(2023, 12, 30, 21, 17, 43)), 400, true);
  const auto expected = Occurrences(start, 400, 21, 17, 43, [](const DateTime&) { return true; });
  EXPECT_EQ(expected.size(), 400u);
  ExpectFiredAt(sim, expected, "daily, 400 days");
  EXPECT_TRUE(sim.engine.IsActive());
}

TEST(SchedulerSimulationTest, WeeklyFiresEveryWednesdayForTwoYears) {
  const auto start = At(2023, 1, 1, 0, 0, 0);
  EngineSimulation sim(start, 123);
  RunHidden(sim, Fields(TriggerKind::Weekly, At(2023, 1, 1, 6, 30, 0), 0, 3), 731);
  ExpectFiredAt(sim, Occurrences(start, 731, 6, 30, 0,
                                 [](const DateTime& d) { return d.DayOfWeek() == 4; }),
                "weekly, two years");
}

TEST(SchedulerSimulationTest, MonthlyFiresOnlyInMonthsThatHaveTheDay) {
  const struct {
    std::int32_t day;
    int februaries;  // among the 48 months from January 2023
    std::size_t fires;
  } rows[] = {{31, 0, 28}, {30, 0, 44}, {29, 1, 45}};
  const auto start = At(2023, 1, 1, 0, 0, 0);
  for (const auto& r : rows) {
    SCOPED_TRACE(r.day);
    EngineSimulation sim(start, 777);
    RunHidden(sim, Fields(TriggerKind::Monthly, At(2023, 1, 1, 12, 0, 0), r.day), 1461);
    const auto expected = Occurrences(start, 1461, 12, 0, 0, [&r](const DateTime& d) {
      return d.Day() == r.day;
    });
    EXPECT_EQ(expected.size(), r.fires);
    ExpectFiredAt(sim, expected, "monthly day " + std::to_string(r.day) + ", four years");
    int februaries = 0;
    for (const auto& run : sim.window.executions) februaries += run.clock.Month() == 2;
    EXPECT_EQ(februaries, r.februaries);
  }
}

TEST(SchedulerSimulationTest, RestartingCountdownFiresEveryTenSecondsForAnHour) {
  const auto start = At(2004, 11, 5, 10, 0, 0);
  EngineSimulation sim(start, 250);
  sim.SetGlobal(kAutoReactTrgr, 1);
  sim.engine.StartClockWatch();
  sim.window.fields = Fields(TriggerKind::Countdown, At(2004, 11, 5, 0, 0, 10));
  sim.engine.OnActivateClicked();
  sim.RunFor(3600 * 1000);  // the window stays visible: the display runs all along

  std::vector<DateTime> expected;
  platform::FakeClock target(start);
  for (int i = 0; i < 360; ++i) {
    target.Advance(10);
    const auto& t = target.Current();
    expected.push_back(MakeDateTime(t.year, t.month, t.day, t.hour, t.minute, t.second));
  }
  ExpectFiredAt(sim, expected, "countdown 10 s restarting, one hour");
  for (std::size_t i = 1; i < sim.window.executions.size(); ++i) {
    EXPECT_EQ(sim.window.executions[i].simMs - sim.window.executions[i - 1].simMs, 10000);
  }
  EXPECT_TRUE(sim.engine.IsActive());
}

TEST(SchedulerSimulationTest, SleepingAcrossAnOccurrence) {
  // Asleep from 07:50: on waking an occurrence within the expiry window fires
  // at once, an older one is skipped (missed, one-time); the next day is untouched.
  const auto at0800 = At(2004, 11, 5, 8, 0, 0);
  const struct {
    TriggerKind kind;
    platform::LocalTimeFields wake;
    bool firesOnWaking;
  } rows[] = {
      {TriggerKind::Daily, At(2004, 11, 5, 8, 0, 0), true},
      {TriggerKind::Daily, At(2004, 11, 5, 9, 0, 0), true},  // exactly ExpireDelay late
      {TriggerKind::Daily, At(2004, 11, 5, 9, 0, 1), false},
      {TriggerKind::OneTime, At(2004, 11, 5, 9, 0, 0), true},
      {TriggerKind::OneTime, At(2004, 11, 5, 9, 0, 1), false},
  };
  const auto start = At(2004, 11, 5, 7, 0, 0);
  for (const auto& r : rows) {
    SCOPED_TRACE(testing::Message() << static_cast<int>(r.kind) << " waking " << r.wake.hour << ":"
                                    << r.wake.minute << ":" << r.wake.second);
    EngineSimulation sim(start, 600);
    sim.engine.StartClockWatch();
    sim.window.fields = Fields(r.kind, at0800);
    sim.engine.OnActivateClicked();
    sim.RunFor(50 * 60 * 1000);
    const DateTime wake = MakeDateTime(r.wake.year, r.wake.month, r.wake.day, r.wake.hour,
                                       r.wake.minute, r.wake.second);
    sim.Sleep(sim.MillisecondsAt(wake) + 600 - sim.nowMs);
    sim.RunFor(0);
    ASSERT_EQ(sim.window.executions.size(), r.firesOnWaking ? 1u : 0u);
    if (r.firesOnWaking) {
      EXPECT_EQ(sim.window.executions[0].simMs, sim.nowMs);
    }
    if (r.kind == TriggerKind::OneTime) {
      EXPECT_FALSE(sim.engine.IsActive());
      EXPECT_EQ(sim.window.LastStatus(), r.firesOnWaking ? "" : "Trigger was missed.");
      continue;
    }
    EXPECT_TRUE(sim.engine.IsActive());
    if (r.kind != TriggerKind::Daily) continue;
    const std::size_t before = sim.window.executions.size();
    sim.RunFor(kDayMs);
    ASSERT_EQ(sim.window.executions.size(), before + 1);
    EXPECT_EQ(sim.window.executions.back().clock.ToText(),
              MakeDateTime(2004, 11, 6, 8, 0, 0).ToText());
  }
}

TEST(SchedulerSimulationTest, FiringDelayStaysWithinASecondWhateverThePhase) {
  // Where in the second the timers run must not matter.
  const auto start = At(2004, 2, 27, 9, 0, 0);
  const auto at = At(2004, 2, 27, 9, 10, 0);
  const struct {
    const char* name;
    TriggerFields fields;
    int days;
  } rows[] = {
      {"one-time", Fields(TriggerKind::OneTime, at), 1},
      {"countdown", Fields(TriggerKind::Countdown, At(2004, 2, 27, 0, 10, 0)), 1},
      {"daily", Fields(TriggerKind::Daily, at), 5},
      {"weekly", Fields(TriggerKind::Weekly, at, 0, 5), 15},
      {"monthly", Fields(TriggerKind::Monthly, at, 27), 70},
  };
  std::vector<std::int64_t> all;
  for (const auto& r : rows) {
    for (int phase : {0, 1, 500, 999}) {
      const std::string name = std::string(r.name) + ", phase " + std::to_string(phase) + " ms";
      SCOPED_TRACE(name);
      EngineSimulation sim(start, phase);
      RunHidden(sim, r.fields, r.days, true);
      const std::int32_t kind = r.fields.kind;
      const auto expected = Occurrences(start, r.days, 9, 10, 0, [kind](const DateTime& d) {
        if (kind == static_cast<std::int32_t>(TriggerKind::Weekly)) return d.DayOfWeek() == 6;
        if (kind == static_cast<std::int32_t>(TriggerKind::Monthly)) return d.Day() == 27;
        return true;
      });
      const testsupport::DelayStats stats = ExpectFiredAt(sim, expected, name);
      EXPECT_EQ(stats.maxMs, phase);
      for (const auto& run : sim.window.executions) {
        all.push_back(run.simMs - sim.MillisecondsAt(run.clock));
      }
    }
  }
  std::cout << "[   delay  ] all kinds and phases: " << testsupport::Summarise(all) << std::endl;
}

}  // namespace
