// Fields from a damaged profile give the nearest sensible trigger, never one firing at every poll.
#include <gtest/gtest.h>

#include <climits>
#include <memory>

#include "model/Trigger.h"
#include "platform/Services.h"
#include "platform/memory/FakeClock.h"
#include "platform/memory/FakeDesktop.h"

namespace {

using namespace Vesperon;

class TriggerFieldRangeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    savedDelay_ = ExpireDelay();
    savedLastEvent_ = LastEvent();
    SetExpireDelay(MakeSpan(0, 1, 0, 0));
  }
  void TearDown() override {
    SetExpireDelay(savedDelay_);
    SetLastEvent(savedLastEvent_);
  }

  platform::FakeClock clock{{2005, 1, 15, 12, 0, 0}};  // a Saturday

 private:
  platform::ScopedClock scopedClock_{clock};
  TimeSpan savedDelay_;
  DateTime savedLastEvent_;
};

TEST_F(TriggerFieldRangeTest, OutOfRangeFieldsTakeTheNearestEndOfTheirRange) {
  struct Row {
    TriggerKind kind;
    std::int32_t number;
    std::int32_t weekdayIndex;
    std::int32_t expected;  // weekday 1..7, day of month, or countdown days
  };
  const Row rows[] = {
      {TriggerKind::Weekly, 0, 221, 7},     {TriggerKind::Weekly, 0, -1, 1},
      {TriggerKind::Weekly, 0, INT_MAX, 7}, {TriggerKind::Weekly, 0, 3, 4},
      {TriggerKind::Monthly, 100, 0, 31},   {TriggerKind::Monthly, 0, 0, 1},
      {TriggerKind::Monthly, INT_MIN, 0, 1}, {TriggerKind::Monthly, 15, 0, 15},
      {TriggerKind::Countdown, INT_MAX, 0, kLongestCountdownDays},
      {TriggerKind::Countdown, -5, 0, 0},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << static_cast<int>(r.kind) << " number " << r.number
                                    << " weekday " << r.weekdayIndex);
    TriggerFields f{static_cast<std::int32_t>(r.kind), 2005, 1, 15, 8, 0, 0, r.number,
                    r.weekdayIndex, ""};
    const std::unique_ptr<Trigger> trigger = BuildTrigger(f);
    if (const auto* weekly = dynamic_cast<const WeeklyTrigger*>(trigger.get())) {
      EXPECT_EQ(weekly->weekday, r.expected);
    } else if (const auto* monthly = dynamic_cast<const MonthlyTrigger*>(trigger.get())) {
      EXPECT_EQ(monthly->dayOfMonth, r.expected);
    } else {
      const auto* countdown = dynamic_cast<const CountdownTrigger*>(trigger.get());
      ASSERT_NE(countdown, nullptr);
      EXPECT_EQ((countdown->target - Now()).TotalDays(), r.expected + 0.0);
    }
  }
}

TEST_F(TriggerFieldRangeTest, AnOccurrenceStillAheadNeverFires) {
  // Built directly, past the clamp: the occurrence lies beyond the period.
  const DateTime at0800 = MakeDateTime(2000, 1, 1, 8, 0, 0);
  struct Row {
    const char* name;
    std::unique_ptr<Trigger> trigger;
  };
  Row rows[] = {
      {"weekly, weekday 222", std::make_unique<WeeklyTrigger>(at0800, 222)},
      {"weekly, weekday -40", std::make_unique<WeeklyTrigger>(at0800, -40)},
      {"monthly, day 100", std::make_unique<MonthlyTrigger>(at0800, 100)},
      {"monthly, day 400", std::make_unique<MonthlyTrigger>(at0800, 400)},
  };
  for (Row& r : rows) {
    SCOPED_TRACE(r.name);
    clock.Set(2005, 1, 15, 12, 0, 0);
    SetLastEvent(MakeDateTime(2004, 1, 1, 0, 0, 0));
    int fires = 0;
    for (int poll = 0; poll < 3 * 24 * 60; ++poll, clock.Advance(60)) {
      TimeSpan out;
      if (r.trigger->Evaluate(out) == TriggerState::Due) {
        ++fires;
        SetLastEvent(Now());
      }
    }
    EXPECT_EQ(fires, 0);
  }
}

}  // namespace
