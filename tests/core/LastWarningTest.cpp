// The last warning before a scheduled action, in the simulated-clock harness.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "app/SchedulerEngine.h"
#include "model/MainFormRecord.h"
#include "settings/SettingsStore.h"
#include "tests/support/EngineSimulation.h"

namespace {

using namespace Vesperon;
using namespace DataSystem;
using testsupport::EngineSimulation;

// The user's answers; none: the program ends under the warning.
using User = std::optional<WarningAnswer>;
constexpr User kRunNow = WarningAnswer::RunNow, kPostpone = WarningAnswer::Postpone,
               kCancel = WarningAnswer::Cancel, kEndProgram = std::nullopt;

struct Row {
  const char* name;
  TriggerKind kind;          // a countdown of 10 s, or daily at 10:00:10
  ActionId action;
  std::int32_t warnSecs;     // stored WarnSecs; -1: WarnBefore off
  bool reactivate;           // AutoReactTrgr
  std::vector<std::pair<std::int64_t, User>> answers;  // at ms
  std::int64_t runMs;
  std::vector<std::int64_t> executedMs;
  std::vector<std::int32_t> warnings;
  bool activeAtEnd;
};

// Starts at 10:00:00 with the trigger activated, runs and answers.
void Play(EngineSimulation& sim, const Row& r) {
  if (r.warnSecs >= 0) {
    sim.SetGlobal(kWarnBefore, 1);
    sim.SetGlobal(kWarnSecs, static_cast<std::uint32_t>(r.warnSecs));
  }
  if (r.reactivate) sim.SetGlobal(kAutoReactTrgr, 1);
  const std::int32_t hour = r.kind == TriggerKind::Countdown ? 0 : 10;
  sim.window.fields = {static_cast<std::int32_t>(r.kind), 2004, 11, 5, hour, 0, 10, 0, 0, ""};
  sim.window.action = r.action;
  sim.engine.OnActivateClicked();
  for (const auto& [atMs, user] : r.answers) {
    sim.RunUntil(atMs);
    if (user) {
      sim.engine.OnWarningAnswer(*user);
    } else {
      sim.engine.EndWarning();
    }
  }
  sim.RunUntil(r.runMs);
}

constexpr std::int64_t kDay = 86400000;
const std::vector<std::int32_t> kTimedOut = {5, 4, 3, 2, 1, -1};
const std::vector<std::int32_t> kAnsweredAt3 = {5, 4, 3, -1};

TEST(LastWarningTest, WhatEachAnswerDoesToTheActionAndTheTrigger) {
  const Row rows[] = {
      {"off: runs at once", TriggerKind::Countdown, kActionTurnOff, -1, false, {}, 60000, {10000}, {}, false},
      {"a reminder never warns", TriggerKind::Countdown, kActionReminder, 5, false, {}, 60000, {10000}, {}, false},
      {"time-out runs once; 1 s is held to 5", TriggerKind::Countdown, kActionReboot, 1, false, {}, 60000,
       {15000}, kTimedOut, false},
      {"run now", TriggerKind::Countdown, kActionLogOff, 5, false, {{12500, kRunNow}}, 60000, {12500},
       kAnsweredAt3, false},
      {"cancel ends a one-shot", TriggerKind::Countdown, kActionTurnOff, 5, false, {{12500, kCancel}}, 60000,
       {}, kAnsweredAt3, false},
      {"cancel: a daily trigger fires the next day", TriggerKind::Daily, kActionHibernate, 5, false,
       {{12500, kCancel}}, kDay + 60000, {kDay + 15000}, {5, 4, 3, -1, 5, 4, 3, 2, 1, -1}, true},
      {"postpone warns again 10 min later", TriggerKind::Countdown, kActionKillProcesses, 5, false,
       {{12500, kPostpone}}, 700000, {617500}, {5, 4, 3, -1, 5, 4, 3, 2, 1, -1}, false},
      {"cancel starts a reactivating one-shot over", TriggerKind::Countdown, kActionTurnOff, 5, true,
       {{12500, kCancel}, {23900, kRunNow}}, 24000, {23900}, {5, 4, 3, -1, 5, 4, -1}, true},
      {"ending the program runs nothing", TriggerKind::Countdown, kActionStandBy, 5, true,
       {{12500, kEndProgram}}, 60000, {}, kAnsweredAt3, false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    EngineSimulation sim({2004, 11, 5, 10, 0, 0});
    Play(sim, r);
    const auto& w = sim.window;
    EXPECT_EQ(std::tuple(w.FireMs(), w.warnings, sim.engine.IsActive(), sim.engine.WarningPending()),
              std::tuple(r.executedMs, r.warnings, r.activeAtEnd, false));
    const bool postponed = !r.answers.empty() && r.answers[0].second == kPostpone;
    const char* const told = "Action \"Kill Process(es)\" was postponed by 10 minutes";
    EXPECT_EQ(std::count(w.statusTexts.begin(), w.statusTexts.end(), told), postponed ? 1 : 0);
  }
}

// The warning is up when the program ends; at the next start nothing of
// that occurrence comes back.
TEST(LastWarningTest, ARestartDuringTheWarningNeverFiresTheOccurrenceAgain) {
  for (const TriggerKind kind : {TriggerKind::Daily, TriggerKind::OneTime}) {
    SCOPED_TRACE(static_cast<int>(kind));
    const SettingId stored[] = {kTrigger, kTriggerDate, kTriggerTime, kTriggerActive};
    std::vector<std::uint32_t> numbers;
    std::string lastEvent;
    {
      EngineSimulation first({2004, 11, 5, 10, 0, 0});
      Play(first, {"", kind, kActionTurnOff, 5, false, {{12500, kEndProgram}}, 12500, {}, {}, false});
      ASSERT_EQ(first.window.warnings, kAnsweredAt3);
      for (const SettingId id : stored) numbers.push_back(first.ProfileNumber(id));
      lastEvent = first.ProfileString(kLastEvent);
    }
    EngineSimulation later({2004, 11, 5, 10, 0, 20});
    for (std::size_t i = 0; i < numbers.size(); ++i) later.SetProfileNumber(stored[i], numbers[i]);
    later.SetProfileString(kLastEvent, lastEvent);
    later.SetGlobal(kWarnBefore, 1);
    later.StartUp();
    later.RunFor(60000);
    EXPECT_TRUE(later.window.executions.empty());
    EXPECT_TRUE(later.window.warnings.empty());
    EXPECT_EQ(later.engine.IsActive(), kind == TriggerKind::Daily);
  }
}

}  // namespace
