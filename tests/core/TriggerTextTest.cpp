#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <tuple>
#include <utility>

#include "app/SchedulerEngine.h"
#include "app/TriggerText.h"
#include "tests/support/FakeOsVersion.h"

namespace {

using namespace Vesperon;

constexpr std::int32_t kInt32Max = std::numeric_limits<std::int32_t>::max();

TimeSpan Seconds(double seconds) { return TimeSpan(seconds / 86400.0, DateTimeStatus::Valid); }
TimeSpan Days(double days) { return TimeSpan(days, DateTimeStatus::Valid); }

TEST(TriggerTextTest, RemainingTimeKeepsEveryUnitBelowTheLargestNonZeroOne) {
  const std::pair<TimeSpan, const char*> rows[] = {
      {MakeSpan(1, 0, 0, 0), " 1 Days 00 Hours 00 Mins 00 Secs"},
      {MakeSpan(0, 0, 0, 45), " 45 Second(s)"},
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
       "Action \"Turn off\" will arise after windows defragmentation utility will finish its "
       "work."},
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
