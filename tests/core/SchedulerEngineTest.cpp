// The scheduler engine against a recording window on a simulated computer, long runs on it,
// and the last warning before a scheduled action.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "app/SchedulerEngine.h"
#include "model/MainFormRecord.h"
#include "settings/Profiles.h"
#include "settings/SettingsKey.h"
#include "settings/SettingsStore.h"
#include "settings/StorableText.h"
#include "settings/StoreExceptions.h"
#include "tests/support/EngineSimulation.h"

namespace {

using namespace Vesperon;
using namespace DataSystem;
using testsupport::EngineSimulation;
using testsupport::RecordingWindow;
using TimerStart = testsupport::RecordingWindow::TimerStart;

using At = platform::LocalTimeFields;

// The window's fields: the date and time pickers show `at`.
TriggerFields Fields(TriggerKind kind, const platform::LocalTimeFields& at, std::int32_t number = 0,
                     std::int32_t weekday = 0, const std::string& process = "") {
  return {static_cast<std::int32_t>(kind), at.year, at.month, at.day, at.hour, at.minute,
          at.second, number, weekday, process};
}

std::int32_t Kind(TriggerKind kind) { return static_cast<std::int32_t>(kind); }

// The moment the clock's fields show.
DateTime Wall(const platform::LocalTimeFields& f) {
  return MakeDateTime(f.year, f.month, f.day, f.hour, f.minute, f.second);
}

// The window shows `fields` and the user activates them.
void Activate(EngineSimulation& sim, const TriggerFields& fields) {
  sim.window.fields = fields;
  sim.engine.OnActivateClicked();
}

// A trigger stored active by an earlier run, at 2004-11-`day` `hour`:00:00.
void StoreActive(std::int32_t kind, int day, int hour, std::uint32_t active = 1) {
  const auto type = static_cast<std::uint32_t>(kind);
  WriteNumbers({kTrigger, kTriggerDate, kTriggerTime, kTriggerActive},
               {type, EncodeTriggerDate(2004, 11, day), EncodeTriggerTime(hour, 0, 0), active},
               EngineSimulation::ActiveProfile(), kHiveCurrentUser);
}

// Inactive, and the window shows it: (active, Activate down, trigger controls
// usable, poll or display timer running, label), and nothing stored active.
void ExpectInactive(EngineSimulation& sim, bool stored = true) {
  const bool timers = sim.timers.IsRunning(kPollTimer) || sim.timers.IsRunning(kDisplayTimer);
  const RecordingWindow& w = sim.window;
  EXPECT_EQ(std::tuple(sim.engine.IsActive(), w.activateChecked, w.TriggerControlsAre(true), timers, w.label),
            std::tuple(false, false, true, false, "Trigger is inactive."));
  if (stored) {
    EXPECT_EQ(sim.ProfileNumber(kTriggerActive), 0u);
  }
}

using Text = std::string;
using Lines = std::vector<std::string>;
const std::string kSelectAnAction = "Please select an action. / Vesperon";

TEST(SchedulerEngineTest, ActivationShowsTheTriggerAndPollsAtOnceDeactivationGivesTheWindowBack) {
  // At 08:30 a daily trigger for 08:00 must not fire: the activation is the last event.
  EngineSimulation sim(At(2004, 11, 5, 8, 30, 0), 250);
  sim.window.action = kActionReboot;
  Activate(sim, Fields(TriggerKind::Daily, At(2004, 11, 5, 8, 0, 0)));

  const std::string description = "Action \"Reboot\" is scheduled to arise daily at 08:00:00";
  const RecordingWindow& w = sim.window;
  EXPECT_EQ(std::tuple(sim.engine.IsActive(), w.activateChecked, w.TriggerControlsAre(false)),
            std::tuple(true, true, true));
  EXPECT_EQ(std::pair(w.balloons, w.statusTexts), std::pair(Lines{description}, Lines{description}));
  EXPECT_EQ(std::pair(sim.ProfileNumber(kTriggerActive), sim.ProfileString(kLastEvent)),
            std::pair(1u, Now().ToStoredText()));
  EXPECT_EQ(std::pair(w.progressMaximum, w.label), std::pair(84600, Text(" 23 Hours 30 Mins 00 Secs")));

  sim.RunFor(5000);
  EXPECT_EQ(std::tuple(w.executions.size(), w.pollStarts),
            std::tuple(0u, std::vector<TimerStart>{{250, 0}, {250, 60000}}));
  EXPECT_EQ(std::pair(w.progressPosition, w.label), std::pair(84595, Text(" 23 Hours 29 Mins 55 Secs")));

  // Deactivation gives the window back: one last refresh 100 ms later, then
  // the display stays quiet.
  const std::size_t labelWrites = w.labelWrites;
  sim.engine.OnActivateClicked();
  ExpectInactive(sim);
  EXPECT_EQ(w.balloons.back(), "Trigger was deactivated");
  sim.RunFor(10000);
  EXPECT_EQ(std::tuple(w.labelWrites, w.executions.size()), std::tuple(labelWrites + 2, 0u));
}

TEST(SchedulerEngineTest, AShellRefusingTheBalloonsLeavesNothingHalfStartedOrStopped) {
  EngineSimulation sim(At(2004, 11, 5, 8, 30, 0));
  sim.window.refuseBalloons = true;
  Activate(sim, Fields(TriggerKind::Daily, At(2004, 11, 5, 8, 0, 0)));
  EXPECT_EQ(std::pair(sim.engine.IsActive(), sim.ProfileNumber(kTriggerActive)), std::pair(true, 1u));
  sim.engine.OnActivateClicked();
  ExpectInactive(sim);
  EXPECT_EQ(sim.window.statusTexts.size(), 2u);
}

TEST(SchedulerEngineTest, ActivationIsRefusedAskedAboutOrTaken) {
  // Refused with nothing stored and LastEvent left alone: no kind, no action
  // (the user is told), a one-time target a second ago, an empty or
  // unstorable process name. Due at the first poll means the action at
  // once: a name nothing matches or a defragmenter not yet started is asked
  // about, No by default. A one-time target of this second fires at the first poll.
  const auto at = At(2004, 11, 5, 10, 0, 0);
  const char* const kAtOnce = "The action would run at once. Activate anyway?";
  const auto told = [](const std::string& text) { return Lines{text + " / Vesperon"}; };
  const auto noMatch = [&](const std::string& name) {
    return Lines{"No running process matches \"" + name + "\". " + kAtOnce};
  };
  const Lines noDefrag = {std::string("No disk defragmenter is running. ") + kAtOnce};
  const auto process = [&](const char* name) { return Fields(TriggerKind::Process, at, 0, 0, name); };
  TriggerFields unstorable = process("??????.exe");
  unstorable.processTextStorable = false;  // holds characters the system cannot store
  const TriggerFields defrag = Fields(TriggerKind::DiskDefragmenter, at);
  const TriggerFields pastSecond = Fields(TriggerKind::OneTime, At(2004, 11, 5, 9, 59, 59));
  const auto eight = At(2004, 11, 5, 8, 0, 0);
  // The fields, the action, the title of an open window (nullptr: none), the answer to a question,
  // active after the click, the message boxes and questions, and the fires within a minute.
  using Ms = std::vector<std::int64_t>;
  const std::tuple<TriggerFields, ActionId, const char*, bool, bool, Lines, Ms> rows[] = {
      {Fields(TriggerKind{-1}, eight), kActionTurnOff, nullptr, true, false, {}, {}},
      {Fields(TriggerKind{7}, eight), kActionTurnOff, nullptr, true, false, {}, {}},
      {Fields(TriggerKind::Daily, eight), -1, nullptr, true, false, {kSelectAnAction}, {}},
      {Fields(TriggerKind::Daily, eight), 18, nullptr, true, false, {kSelectAnAction}, {}},
      {pastSecond, kActionTurnOff, nullptr, true, false, told(kPastTargetText), {}},
      {Fields(TriggerKind::OneTime, at), kActionTurnOff, nullptr, false, true, {}, {400}},
      {process(""), kActionTurnOff, nullptr, true, false, told("Please enter a process name."), {}},
      {unstorable, kActionTurnOff, nullptr, true, false, told(kUnstorableTextText), {}},
      {process("notepadd.exe"), kActionTurnOff, nullptr, false, false, noMatch("notepadd.exe"), {}},
      {process("Note*.exe"), kActionTurnOff, nullptr, true, true, noMatch("Note*.exe"), {400}},
      {process("note*.exe"), kActionTurnOff, nullptr, false, true, {}, {}},
      {defrag, kActionTurnOff, nullptr, false, false, noDefrag, {}},
      {defrag, kActionTurnOff, nullptr, true, true, noDefrag, {400}},
      {defrag, kActionTurnOff, "Optimize Drives", false, true, {}, {}},
  };
  for (const auto& [fields, action, defragWindow, answer, active, dialogs, firesMs] : rows) {
    SCOPED_TRACE(testing::Message() << fields.kind << " " << fields.processText);
    EngineSimulation sim(at, 400);
    SetLastEvent(MakeDateTime(2001, 1, 1, 0, 0, 0));
    sim.desktop.processNames = {"explorer.exe", "notepad.exe"};
    if (defragWindow) sim.desktop.OpenWindow("#32770", defragWindow);
    sim.window.answer = answer;
    sim.window.action = action;
    sim.window.activateChecked = true;  // the push-like button went down
    Activate(sim, fields);
    EXPECT_EQ(sim.window.dialogs, dialogs);
    EXPECT_EQ(sim.engine.IsActive(), active);
    if (!active) {  // refused before anything started: the action stored is the default, unwritten
      const RecordingWindow& w = sim.window;
      EXPECT_EQ(std::tuple(w.activateChecked, w.pollStarts.size(), w.balloons.size(),
                           sim.ProfileNumber(kTriggerActive), sim.ProfileNumber(kMainFormAction)),
                std::tuple(false, 0u, 0u, 0u, 0u));
    }
    if (!active && fields.kind != Kind(TriggerKind::OneTime)) {
      EXPECT_EQ(LastEvent().days, MakeDateTime(2001, 1, 1, 0, 0, 0).days);
    }
    if (fields.kind < 0 || fields.kind == 7 || !IsActionId(action)) {
      EXPECT_FALSE(sim.engine.ActivateTrigger());  // nor when asked directly
    }
    sim.RunFor(60000);
    EXPECT_EQ(sim.window.FireMs(), firesMs);
    if (!firesMs.empty()) {  // a fire deactivates without a balloon
      const std::size_t balloons = sim.window.balloons.size();
      EXPECT_EQ(std::tuple(sim.engine.IsActive(), balloons, sim.ProfileNumber(kTriggerActive)),
                std::tuple(false, 1u, 0u));
    }
  }
}

TEST(SchedulerEngineTest, OnceASecondTimersRunJustAfterTheNextWholeSecond) {
  const std::pair<std::int64_t, std::uint32_t> rows[] = {  // wall clock ms, delay
      {0, 1020}, {1, 1019}, {500, 520}, {999, 21}, {1101841200987, 33}, {-1, 21},
  };
  for (const auto& [wallMs, delay] : rows) EXPECT_EQ(DelayPastNextSecondMs(wallMs), delay) << wallMs;
}

// A clock that moves on by one second just before a chosen read, as the
// real one does when a second ends between two readings of it.
class SteppingClock final : public platform::IClock {
 public:
  explicit SteppingClock(platform::FakeClock& inner) : inner_(inner) {}
  void StepBeforeRead(int n, std::int64_t seconds) {
    readsLeft_ = n;
    seconds_ = seconds;
  }
  bool LocalNow(platform::LocalTimeFields& out) override {
    if (readsLeft_ > 0 && --readsLeft_ == 0) inner_.Advance(seconds_);
    return inner_.LocalNow(out);
  }

 private:
  platform::FakeClock& inner_;
  int readsLeft_ = 0;
  std::int64_t seconds_ = 1;
};

TEST(SchedulerEngineTest, SecondEndingBetweenTwoEvaluationsPollsAgainPromptly) {
  // The second evaluation of a poll, a moment later, says "due" (-1) or
  // "missed" (100): poll again at once, never a negative period wrapping to 49 days.
  // The fields, ExpireDelay, seconds the clock moves between the two evaluations, the poll period, fires.
  const std::tuple<TriggerFields, std::uint32_t, std::int64_t, std::uint32_t, std::size_t> rows[] = {
      {Fields(TriggerKind::Countdown, At(2004, 11, 5, 0, 0, 5)), 3600, 1, 0, 1},
      // With no expiry window, stepping over the due second misses it.
      {Fields(TriggerKind::OneTime, At(2004, 11, 5, 10, 0, 5)), 0, 2, 100, 0},
      // A hand-stored delay past 2^31 seconds is a long window, not a negative one.
      {Fields(TriggerKind::OneTime, At(2004, 11, 5, 10, 0, 5)), 0xFFFFFFFFu, 1, 0, 1},
  };
  for (const auto& [fields, expireDelay, step, period, fires] : rows) {
    SCOPED_TRACE(expireDelay);
    EngineSimulation sim(At(2004, 11, 5, 10, 0, 0));
    SteppingClock stepping(sim.clock);
    platform::ScopedClock scoped(stepping);
    sim.SetGlobal(kExpireDelay, expireDelay);
    Activate(sim, fields);
    sim.engine.OnWindowShown(false);  // no display refreshes reading the clock in between
    sim.RunUntil(3500);
    stepping.StepBeforeRead(2, step);  // the poll at 4000 ms: first read 10:00:04, second later
    sim.RunUntil(4000);
    EXPECT_EQ(sim.window.pollStarts.back(), (TimerStart{4000, period}));
    sim.RunUntil(4100);
    // One balloon, the activation's: none for a fire or a miss.
    const RecordingWindow& w = sim.window;
    EXPECT_EQ(std::tuple(sim.engine.IsActive(), w.executions.size(), w.LastStatus(), w.balloons.size(),
                         sim.ProfileNumber(kTriggerActive)),
              std::tuple(false, fires, fires ? "" : "Trigger was missed.", 1u, 0u));
  }
}

TEST(SchedulerEngineTest, StartUpRestoresWhatWasActive) {
  // Every kind waits for something in the future; only TriggerActive and PresTrgrAct decide.
  const std::string lastEvent = MakeDateTime(2004, 11, 1, 9, 15, 0).ToText();
  // For each kind: PresTrgrAct, TriggerActive, and the stored action, where one that names
  // nothing this system offers (18) means no action selected.
  for (std::int32_t kind = 0; kind < kTriggerKindCount; ++kind) {
    for (int bits = 0; bits < 8; ++bits) {
      const std::uint32_t present = bits & 1, wasActive = (bits >> 1) & 1, action = bits & 4 ? 18 : 0;
      SCOPED_TRACE(testing::Message() << kind << present << wasActive << " action " << action);
      EngineSimulation sim(At(2004, 11, 5, 12, 0, 0));
      sim.SetProfileNumber(kMainFormAction, action);
      sim.desktop.processNames = {"keep.exe"};
      sim.desktop.OpenWindow("#32770", "Disk Defragmenter");
      StoreActive(kind, 6, 13, wasActive);
      sim.SetProfileNumber(kTriggerEdit, 20);
      sim.SetProfileString(kTriggerCmb2, "keep.exe");
      sim.SetProfileString(kLastEvent, lastEvent);
      sim.SetGlobal(kPresTrgrAct, present);
      sim.StartUp();

      const bool restored = wasActive && (present || kind == 0 || IsRepeatingKind(kind));
      const bool expected = restored && action == 0;
      EXPECT_EQ(std::pair(sim.engine.IsActive(), sim.window.activateChecked), std::pair(expected, expected));
      sim.RunFor(5000);
      // The restore leaves LastEvent alone; the box comes once, and TriggerActive stays as stored.
      EXPECT_EQ(std::tuple(sim.window.executions.size(), sim.ProfileString(kLastEvent), LastEvent().ToText(),
                           sim.window.dialogs, sim.ProfileNumber(kTriggerActive)),
                std::tuple(0u, lastEvent, lastEvent, restored && action ? Lines{kSelectAnAction} : Lines{},
                           wasActive));
    }
  }
}

TEST(SchedulerEngineTest, LastEventAtStartUp) {
  // An unreadable value must not stop the start; it counts as "long ago",
  // so an occurrence inside the expiry window still fires. A one-time
  // trigger found missed (the default window is one hour) announces nothing.
  const DateTime written = MakeDateTime(2004, 11, 5, 8, 10, 15);
  const std::string writtenText = written.ToStoredText();
  // The text stored (nullptr: never written), the LastEvent read from it, the kind restored for
  // 08:00, the hour of the start at half past, and the fires.
  const std::tuple<const char*, DateTimeStatus, double, TriggerKind, int, std::size_t> rows[] = {
      {nullptr, DateTimeStatus::Valid, 25569.0, TriggerKind::Daily, 8, 1},  // 1 January 1970
      {writtenText.c_str(), DateTimeStatus::Valid, written.days, TriggerKind::Daily, 8, 0},
      {"not a date", DateTimeStatus::Invalid, 0.0, TriggerKind::Daily, 8, 1},
      {nullptr, DateTimeStatus::Valid, 25569.0, TriggerKind::OneTime, 10, 0},  // missed
  };
  for (const auto& [stored, status, days, kind, startHour, fires] : rows) {
    SCOPED_TRACE(days);
    EngineSimulation sim(At(2004, 11, 5, startHour, 30, 0));
    if (stored) sim.SetProfileString(kLastEvent, stored);
    StoreActive(Kind(kind), 5, 8);
    sim.StartUp();
    EXPECT_EQ(LastEvent().status, status);
    EXPECT_NEAR(LastEvent().days, days, 1e-9);
    sim.RunFor(1000);
    const bool missed = startHour > 9;  // told in the status bar alone
    const bool toldMissed = sim.window.LastStatus() == "Trigger was missed.";
    const std::size_t balloons = sim.window.balloons.size();
    EXPECT_EQ(std::tuple(sim.window.executions.size(), sim.engine.IsActive(), toldMissed, balloons),
              std::tuple(fires, !missed, missed, missed ? 0u : 1u));
  }
}

// Another profile's fields, written as an earlier run would have.
void StoreProfile(const std::string& profile, std::uint32_t kind, std::uint32_t weekday,
                  std::uint32_t active, const std::string& lastEvent) {
  const std::string section = "Profiles\\" + profile;
  WriteNumbers({kTrigger, kTriggerDate, kTriggerTime, kTriggerCmb1, kTriggerActive, kMainFormAction},
               {kind, EncodeTriggerDate(2004, 10, 1), EncodeTriggerTime(7, 5, 0), weekday, active,
                static_cast<std::uint32_t>(kActionReboot)},
               section, kHiveCurrentUser);
  WriteStrings({kLastEvent}, {lastEvent}, section, kHiveCurrentUser);
}

std::vector<std::uint32_t> StoredState(const std::string& profile) {
  std::vector<std::uint32_t> values;
  ReadNumbers({kTrigger, kTriggerTime, kTriggerCmb1, kTriggerEdit, kTriggerActive, kMainFormAction,
               kTriggerDate},
              values, "Profiles\\" + profile, kHiveCurrentUser);
  return values;
}

TEST(SchedulerEngineTest, ProfileSwitchTakesUpTheNewProfileAsAtStartUp) {
  // Default runs a countdown; Work holds a weekly trigger stored active.
  // However the window comes to look (a poll, a click on Activate, the
  // window asking after its options dialog), it ends the
  // countdown, leaves Default's stored state alone and shows Work restored.
  const std::string workEvent = MakeDateTime(2004, 11, 5, 9, 0, 0).ToText();
  enum How { kPoll, kClick, kAsked };
  for (const How how : {kPoll, kClick, kAsked}) {
    SCOPED_TRACE(how);
    EngineSimulation sim(At(2004, 11, 5, 10, 0, 0), 100);
    StoreProfile("Work", Kind(TriggerKind::Weekly), 1, 1, workEvent);
    sim.StartUp(false);
    Activate(sim, Fields(TriggerKind::Countdown, At(2004, 11, 5, 0, 30, 0)));
    ASSERT_TRUE(sim.engine.IsActive());
    const std::vector<std::uint32_t> defaultState = StoredState("Default");
    const std::vector<std::uint32_t> workState = StoredState("Work");
    ASSERT_EQ(defaultState[4], 1u);

    SetActiveProfileName("Profiles", "Work", kHiveCurrentUser);
    if (how == kPoll) sim.RunFor(60000);  // polls come every minute until the last five
    if (how == kClick) sim.engine.OnActivateClicked();  // meant for the countdown shown
    EXPECT_EQ(how == kAsked && sim.engine.FollowActiveProfile(), how == kAsked);
    EXPECT_FALSE(sim.engine.FollowActiveProfile());  // taken up once
    EXPECT_EQ(StoredState("Default"), defaultState);
    EXPECT_EQ(StoredState("Work"), workState);
    EXPECT_EQ(sim.window.fields.kind, Kind(TriggerKind::Weekly));
    EXPECT_EQ(sim.window.fields.weekdayIndex, 1);
    EXPECT_EQ(sim.window.action, kActionReboot);
    ASSERT_NE(dynamic_cast<const WeeklyTrigger*>(sim.engine.CurrentTrigger()), nullptr);
    EXPECT_TRUE(sim.window.activateChecked);
    EXPECT_EQ(LastEvent().ToText(), workEvent);
    EXPECT_TRUE(sim.window.executions.empty());

    // Work's own deactivation is Work's; Default keeps its countdown stored
    // active and gets it back, from now, as at a start.
    sim.engine.OnActivateClicked();
    EXPECT_EQ(StoredState("Work")[4], 0u);
    EXPECT_EQ(StoredState("Default"), defaultState);
    SetActiveProfileName("Profiles", "Default", kHiveCurrentUser);
    EXPECT_TRUE(sim.engine.FollowActiveProfile());
    ASSERT_NE(dynamic_cast<const CountdownTrigger*>(sim.engine.CurrentTrigger()), nullptr);
    EXPECT_EQ(sim.window.fields.kind, Kind(TriggerKind::Countdown));
  }
}

TEST(SchedulerEngineTest, RenamingTheShownProfileIsNoSwitch) {
  EngineSimulation sim(At(2004, 11, 5, 10, 0, 0));
  StoreProfile("Work", Kind(TriggerKind::Weekly), 1, 1, MakeDateTime(2004, 11, 5, 9, 0, 0).ToText());
  SetActiveProfileName("Profiles", "Work", kHiveCurrentUser);
  sim.StartUp();
  const Trigger* running = sim.engine.CurrentTrigger();
  ASSERT_NE(running, nullptr);
  RenameProfile("Work", "Office", kHiveCurrentUser);
  sim.RunFor(65000);
  EXPECT_EQ(sim.engine.CurrentTrigger(), running);
  sim.engine.OnActivateClicked();
  EXPECT_EQ(StoredState("Office")[4], 0u);  // its own deactivation, under the new name
}

TEST(SchedulerEngineTest, ClockSetBackStopsTimeBasedTriggersWithinThreeSeconds) {
  const auto tomorrow = At(2004, 11, 6, 7, 0, 0);
  // The fields, AutoStopTimer, the seconds the clock is set by, whether the trigger stops, whether the
  // clock is precise (off: whole seconds only, blind to setbacks up to 3 s), and the seconds the zone's
  // offset moves by too (daylight saving, travel).
  const TriggerFields daily = Fields(TriggerKind::Daily, tomorrow);
  const std::tuple<TriggerFields, std::uint32_t, std::int64_t, bool, bool, std::int64_t> rows[] = {
      {daily, 1, -1, true, true, 0}, {daily, 1, -3, false, false, 0}, {daily, 1, -4, true, false, 0},
      {Fields(TriggerKind::Countdown, At(2004, 11, 5, 1, 0, 0)), 1, -60, true, true, 0},
      {daily, 0, -3600, false, true, 0}, {daily, 1, 3600, false, true, 0},
      {Fields(TriggerKind::Process, tomorrow, 0, 0, "keep.exe"), 1, -3600, false, true, 0},
      // Local time going back is no setback while UTC goes on; UTC going back
      // is one, whichever way local time jumps with it.
      {daily, 1, 0, false, true, -3600}, {daily, 1, 0, false, false, -3600},
      {daily, 1, -4, true, false, 3600}, {Fields(TriggerKind::OneTime, tomorrow), 1, -1, true, true, 7200},
  };
  for (const auto& [fields, autoStop, shift, stops, precise, zone] : rows) {
    for (std::int64_t afterTick : {1, 1500, 2999}) {
      SCOPED_TRACE(testing::Message() << "shift " << shift << ", zone " << zone << ", precise " << precise
                                      << ", " << afterTick << " ms after a watch tick");
      EngineSimulation sim(At(2004, 11, 5, 7, 0, 0));
      sim.preciseClock = precise;
      sim.desktop.processNames = {"keep.exe"};
      sim.SetGlobal(kAutoStopTimer, autoStop);
      sim.StartUp();  // the clock watch ticks at 3000, 6000, ...
      Activate(sim, fields);
      sim.RunUntil(9000 + afterTick);
      const std::size_t balloons = sim.window.balloons.size();
      sim.SetClockBy(shift);
      sim.SetUtcOffsetAt(sim.nowMs, zone);
      sim.RunFor(3000);
      if (!stops) sim.RunFor(30000);
      const Lines notices(sim.window.balloons.begin() + balloons, sim.window.balloons.end());
      EXPECT_EQ(std::tuple(sim.engine.IsActive(), notices, sim.window.executions.size()),
                std::tuple(!stops, stops ? Lines{"Trigger was deactivated"} : Lines{}, 0u));
      if (stops) {
        EXPECT_EQ(std::pair(sim.window.LastStatus(), sim.ProfileNumber(kTriggerActive)),
                  std::pair(Text("Trigger was deactived (System time was set back)"), 0u));
      }
    }
  }
}

TEST(SchedulerEngineTest, StartingOverAfterAFireNeverRepeatsWithoutPause) {
  // With AutoReactTrgr a one-time trigger or an empty countdown would be due
  // again at once, so they end; event triggers wait for their condition to
  // end, and fire again at its next end.
  const auto now = At(2004, 11, 5, 10, 0, 0);
  const std::pair<TriggerFields, bool> rows[] = {  // fields, active after
      {Fields(TriggerKind::Countdown, At(2004, 11, 5, 0, 0, 0)), false},
      {Fields(TriggerKind::OneTime, At(2004, 11, 5, 10, 0, 5)), false},
      {Fields(TriggerKind::DiskDefragmenter, now), true},
      {Fields(TriggerKind::Process, now, 0, 0, "note*.exe"), true},
  };
  for (const auto& [fields, activeAfter] : rows) {
    SCOPED_TRACE(fields.kind);
    EngineSimulation sim(now, 500);
    sim.SetGlobal(kAutoReactTrgr, 1);
    sim.window.answer = true;  // none runs yet: activate anyway
    Activate(sim, fields);
    sim.RunFor(65000);
    const RecordingWindow& w = sim.window;
    EXPECT_EQ(std::tuple(w.executions.size(), sim.engine.IsActive(), w.activateChecked, w.label),
              std::tuple(1u, activeAfter, activeAfter, activeAfter ? "Unknown" : "Trigger is inactive."));
    if (fields.kind != Kind(TriggerKind::Process)) continue;
    sim.desktop.processNames = {"explorer.exe", "notepad.exe"};
    sim.RunFor(5000);
    EXPECT_EQ(sim.window.executions.size(), 1u);
    sim.desktop.processNames = {"explorer.exe"};
    sim.RunFor(10000);
    // Again at the first poll after the end, and still active.
    EXPECT_EQ(std::tuple(w.executions.size(), w.executions.back().simMs, sim.engine.IsActive()),
              std::tuple(2u, 65500 + 6000, true));
  }
}

TEST(SchedulerEngineTest, StoreFailuresLeaveAConsistentWindow) {
  // A key whose permissions were taken away refuses writes: the fields at
  // activation, TriggerActive at deactivation, LastEvent when a one-time
  // trigger is due (the action still runs, once).
  // The fields, whether they were active first, the key refusing writes, balloons and fires.
  const std::tuple<TriggerFields, bool, const char*, std::size_t, std::size_t> rows[] = {
      {Fields(TriggerKind::Daily, At(2004, 11, 5, 18, 0, 0)), false, "MainForm", 1, 0},
      {Fields(TriggerKind::Daily, At(2004, 11, 5, 18, 0, 0)), true, "MainForm", 2, 0},  // one says deactivated
      {Fields(TriggerKind::OneTime, At(2004, 11, 5, 10, 0, 2)), true, "Trigger", 1, 1},
  };
  for (const auto& [fields, activeFirst, subkey, balloons, fires] : rows) {
    SCOPED_TRACE(testing::Message() << subkey << " active " << activeFirst);
    EngineSimulation sim(At(2004, 11, 5, 10, 0, 0));
    sim.SetProfileNumber(kTrigger, 0);
    if (activeFirst) Activate(sim, fields);
    const std::string path = std::string(RootKeyPath) + "\\Profiles\\Default\\" + subkey;
    ASSERT_EQ(sim.registry.SetKeyReadOnly(platform::kCurrentUser, path, true), 0) << path;
    sim.window.fields = fields;
    EXPECT_THROW(fires ? sim.RunFor(3000) : sim.engine.OnActivateClicked(), RegistryException);
    ExpectInactive(sim, false);
    EXPECT_EQ(sim.window.LastStatus(), "");
    sim.RunFor(10000);
    const RecordingWindow& w = sim.window;
    EXPECT_EQ(std::pair(w.executions.size(), w.balloons.size()), std::pair(fires, balloons));
  }
}

// Long runs: every occurrence fires once, at its own second.

TEST(SchedulerSimulationTest, EveryOccurrenceFiresOnceAtItsSecondWhateverThePhase) {
  // An occurrence every `step` seconds from `first` for `span` seconds.
  // Each fires where in the second the timers run: the delay is the phase,
  // never a second late; a restarting countdown keeps its span.
  const auto at = At(2004, 2, 27, 9, 10, 0);
  const struct {
    const char* name;
    platform::LocalTimeFields start, first;
    std::vector<int> phases;
    TriggerFields fields;
    std::int64_t step, span;
    std::size_t fires;
    bool restart = false;
  } rows[] = {
      {"countdown 10 s restarting, one hour shown", At(2004, 11, 5, 10, 0, 0), At(2004, 11, 5, 10, 0, 10),
       {250}, Fields(TriggerKind::Countdown, At(2004, 11, 5, 0, 0, 10)), 10, 3600, 360, true},
      {"daily", At(2004, 2, 27, 9, 0, 0), at, {0, 1, 500, 999}, Fields(TriggerKind::Daily, at), 86400,
       5 * 86400, 5},
  };
  using Runs = std::vector<std::pair<std::int64_t, std::string>>;  // (ms on the line, wall time)
  for (const auto& r : rows) {
    Runs expected;  // as if the timers ran at the start of each second
    platform::FakeClock moment(r.first);
    const auto firstMs = static_cast<std::int64_t>((Wall(r.first) - Wall(r.start)).TotalSeconds()) * 1000;
    for (std::int64_t s = 0; s < r.span; s += r.step, moment.Advance(r.step)) {
      expected.emplace_back(firstMs + s * 1000, Wall(moment.Current()).ToText());
    }
    ASSERT_EQ(expected.size(), r.fires) << r.name;
    for (const int phase : r.phases) {
      SCOPED_TRACE(testing::Message() << r.name << ", phase " << phase << " ms");
      EngineSimulation sim(r.start, phase);
      sim.engine.StartClockWatch();
      if (r.restart) sim.SetGlobal(kAutoReactTrgr, 1);
      Activate(sim, r.fields);
      ASSERT_TRUE(sim.engine.IsActive());
      if (!r.restart) sim.engine.OnWindowShown(false);
      sim.RunFor(r.span * 1000);
      Runs fired;  // less the phase: each exactly that late
      for (const auto& run : sim.window.executions) fired.emplace_back(run.simMs - phase, run.clock.ToText());
      EXPECT_EQ(fired, expected);
      EXPECT_EQ(sim.engine.IsActive(), r.restart || IsRepeatingKind(r.fields.kind));
    }
  }
}

TEST(SchedulerSimulationTest, ZoneOffsetChangesKeepWallTimesAndRealSpans) {
  // The 2026 daylight-saving changes of Europe (countdowns) and the United
  // States (daily triggers, with offsets below zero) and a flight six zones
  // west, each 1480 s or 3280 s into the run, with AutoStopTimer on.
  // Wall-time triggers fire once at their wall time; one jumped over fires
  // at the jump, within a clock-watch period; a countdown lasts its span.
  // Nothing counts as the clock set back.
  struct Fire {
    std::int64_t ms;  // on the millisecond line, at most one watch period early
    platform::LocalTimeFields wall;
  };
  struct Change {
    platform::LocalTimeFields start;
    std::int64_t before, changeMs, after;  // the zone's offset, seconds
  };
  const Change euSpring{At(2026, 3, 29, 1, 35, 20), 3600, 1480000, 7200},
      euAutumn{At(2026, 10, 25, 2, 5, 20), 7200, 3280000, 3600},
      usSpring{At(2026, 3, 8, 1, 35, 20), -18000, 1480000, -14400},
      usAutumn{At(2026, 11, 1, 1, 5, 20), -14400, 3280000, -18000},
      west{At(2026, 6, 15, 12, 5, 20), 7200, 1480000, -14400};
  const struct {
    const char* name;
    Change change;
    TriggerFields fields;
    std::vector<Fire> fires;  // a countdown's one fire is its span: it shows 30 minutes left before
  } rows[] = {
      {"EU spring countdown", euSpring, Fields(TriggerKind::Countdown, At(2026, 3, 29, 1, 0, 0)),
       {{3600000, At(2026, 3, 29, 3, 35, 20)}}},
      {"EU autumn countdown", euAutumn, Fields(TriggerKind::Countdown, At(2026, 10, 25, 1, 30, 0)),
       {{5400000, At(2026, 10, 25, 2, 35, 20)}}},
      {"US spring daily in the gap", usSpring, Fields(TriggerKind::Daily, At(2026, 3, 8, 2, 30, 0)),
       {{1480000, At(2026, 3, 8, 3, 0, 2)}, {86080000, At(2026, 3, 9, 2, 30, 0)}}},
      {"US autumn daily in the repeated hour", usAutumn, Fields(TriggerKind::Daily, At(2026, 11, 1, 1, 30, 0)),
       {{1480000, At(2026, 11, 1, 1, 30, 0)}, {91480000, At(2026, 11, 2, 1, 30, 0)}}},
      {"six zones west, daily", west, Fields(TriggerKind::Daily, At(2026, 6, 15, 13, 0, 0)),
       {{24880000, At(2026, 6, 15, 13, 0, 0)}}},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.name);
    EngineSimulation sim(r.change.start, 300);
    sim.clock.SetUtcOffset(r.change.before);
    sim.SetUtcOffsetAt(r.change.changeMs, r.change.after);
    sim.SetGlobal(kAutoStopTimer, 1);
    sim.engine.StartClockWatch();
    Activate(sim, r.fields);
    ASSERT_TRUE(sim.engine.IsActive());
    sim.engine.OnWindowShown(false);
    if (r.fields.kind == Kind(TriggerKind::Countdown)) {
      sim.RunUntil(r.fires[0].ms - 1800000 + 300);
      sim.engine.UpdateCountdownDisplay();
      EXPECT_EQ(sim.window.label, " 30 Minute(s) 00 Second(s)");
      EXPECT_EQ(sim.window.progressPosition, 1800);
    }
    sim.RunUntil(26 * 3600 * 1000);
    const auto& runs = sim.window.executions;
    EXPECT_EQ(runs.size(), r.fires.size());
    for (std::size_t i = 0; i < runs.size() && i < r.fires.size(); ++i) {
      EXPECT_EQ(runs[i].clock.ToText(), Wall(r.fires[i].wall).ToText()) << "#" << i;
      EXPECT_GE(runs[i].simMs, r.fires[i].ms) << "#" << i;
      EXPECT_LE(runs[i].simMs, r.fires[i].ms + static_cast<std::int64_t>(kClockWatchPeriodMs))
          << "#" << i;
    }
    EXPECT_EQ(sim.engine.IsActive(), IsRepeatingKind(r.fields.kind));
    EXPECT_EQ(sim.window.balloons.size(), 1u);  // the activation's: no set-back notice
  }
}

// The last warning before a scheduled action.

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
  sim.window.action = r.action;
  Activate(sim, Fields(r.kind, At(2004, 11, 5, r.kind == TriggerKind::Countdown ? 0 : 10, 0, 10)));
  for (const auto& [atMs, user] : r.answers) {
    sim.RunUntil(atMs);
    user ? sim.engine.OnWarningAnswer(*user) : sim.engine.EndWarning();
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
