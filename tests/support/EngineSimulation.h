#pragma once
// A simulated computer for the scheduler engine: wall clock, a millisecond
// line of window timers, in-memory registry and desktop, a pretended Windows
// version and a recording main window. Runs jump from timer to timer.
#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "app/SchedulerEngine.h"
#include "platform/Services.h"
#include "platform/memory/FakeClock.h"
#include "platform/memory/FakeDesktop.h"
#include "platform/memory/MemoryRegistry.h"
#include "settings/SettingSchema.h"
#include "settings/SettingsRecords.h"
#include "settings/SettingsStore.h"
#include "tests/support/FakeOsVersion.h"

namespace testsupport {

// Like WM_TIMER: a timer comes again one period after it fired, restarting
// replaces its schedule; a period of 0 comes at once.
class SimulatedTimers {
 public:
  void Start(std::int32_t id, std::uint32_t periodMs, std::int64_t nowMs) {
    timers_[id] = {periodMs, nowMs + periodMs, nextTicket_++};
  }
  void Stop(std::int32_t id) { timers_.erase(id); }
  bool IsRunning(std::int32_t id) const { return timers_.count(id) != 0; }
  struct Due {
    std::int32_t id;
    std::int64_t ms;
    std::uint64_t ticket;
  };
  // The earliest timer due by `limitMs`; of timers due together, the first scheduled.
  std::optional<Due> Next(std::int64_t limitMs) const {
    const auto first = std::min_element(timers_.begin(), timers_.end(), [](const auto& a, const auto& b) {
      return std::tie(a.second.due, a.second.ticket) < std::tie(b.second.due, b.second.ticket);
    });
    if (first == timers_.end() || first->second.due > limitMs) return std::nullopt;
    return Due{first->first, first->second.due, first->second.ticket};
  }
  // Schedules a fired timer again unless its handler stopped or restarted it.
  void Rearm(std::int32_t id, std::uint64_t ticket, std::int64_t nowMs) {
    const auto it = timers_.find(id);
    if (it == timers_.end() || it->second.ticket != ticket) return;
    it->second.due = nowMs + it->second.period;
    it->second.ticket = nextTicket_++;
  }

 private:
  struct Timer {
    std::uint32_t period;
    std::int64_t due;
    std::uint64_t ticket;  // scheduling order; changes at every (re)scheduling
  };
  std::map<std::int32_t, Timer> timers_;
  std::uint64_t nextTicket_ = 1;
};

struct ExecutionRecord {
  std::int64_t simMs;       // when the action ran on the millisecond line
  Vesperon::DateTime clock; // what Now() showed then
};

// The main window: the test sets what it shows and reads back what the engine did.
class RecordingWindow final : public Vesperon::IEngineWindow {
 public:
  RecordingWindow(SimulatedTimers& timers, const std::int64_t& nowMs)
      : timers_(timers), nowMs_(nowMs) {}

  // What the window shows.
  Vesperon::TriggerFields fields;
  Vesperon::ActionId action = Vesperon::kActionTurnOff;
  bool refuseBalloons = false;  // as a shell does a text too long for it

  // What the engine did.
  std::vector<ExecutionRecord> executions;
  // The balloons' texts; message boxes as "text / caption" and questions; every
  // text of status part 0, in order.
  std::vector<std::string> balloons, dialogs, statusTexts;
  std::string label;                     // the countdown label now
  std::size_t labelWrites = 0;
  std::map<std::int32_t, bool> enabled;  // control id -> enabled
  bool activateChecked = false;
  std::int32_t progressMaximum = -1, progressPosition = -1;
  using TimerStart = std::pair<std::int64_t, std::uint32_t>;  // (when, period), both in ms
  std::vector<TimerStart> pollStarts;  // every start of the poll timer

  std::string LastStatus() const { return statusTexts.empty() ? "<none>" : statusTexts.back(); }
  // When each action ran, on the millisecond line.
  std::vector<std::int64_t> FireMs() const {
    std::vector<std::int64_t> fires;
    for (const ExecutionRecord& run : executions) fires.push_back(run.simMs);
    return fires;
  }
  // Whether every trigger control is in that state (false for a mixture).
  bool TriggerControlsAre(bool state) const {
    using namespace Vesperon;
    return enabled == std::map<std::int32_t, bool>{{kActionList, state},   {kNumberField, state},
                                                   {kNumberUpDown, state}, {kWeekdayList, state},
                                                   {kProcessField, state}, {kDateField, state},
                                                   {kTimeField, state},    {kTriggerList, state}};
  }

  Vesperon::TriggerFields ReadTriggerFields() override { return fields; }
  std::int32_t SelectedTriggerKind() override { return fields.kind; }
  Vesperon::ActionId SelectedActionId() override { return action; }
  // As the real window shows it.
  void ShowStoredFields(const Vesperon::StoredFields& stored) override {
    Vesperon::ApplyStoredFields(stored, fields, action);
  }
  void StartTimer(std::int32_t id, std::uint32_t periodMs) override {
    if (id == Vesperon::kPollTimer) pollStarts.push_back({nowMs_, periodMs});
    timers_.Start(id, periodMs, nowMs_);
  }
  void StopTimer(std::int32_t id) override { timers_.Stop(id); }
  void EnableControl(Vesperon::EngineControl control, bool enable) override { enabled[control] = enable; }
  void SetActivateChecked(bool checked) override { activateChecked = checked; }
  void SetCountdownLabel(const std::string& text) override {
    label = text;
    ++labelWrites;
  }
  void SetProgressRange(std::int32_t maximum) override { progressMaximum = maximum; }
  void SetProgressPosition(std::int32_t position) override { progressPosition = position; }
  bool StatusBarExists() override { return true; }
  void SetStatusText(const std::string& text) override { statusTexts.push_back(text); }
  bool TrayIconExists() override { return true; }
  void ShowBalloon(const std::string&, const std::string& text, std::uint32_t, Vesperon::BalloonIcon) override {
    if (refuseBalloons) throw Vesperon::Exception(2, Vesperon::kCategoryTaskbar);
    balloons.push_back(text);
  }
  void SetTrayIconImage(Vesperon::TrayImage) override {}
  void ShowMessageBox(const std::string& text, const std::string& caption, Vesperon::MessageIcon) override {
    dialogs.push_back(text + " / " + caption);
  }
  // Every question asked, answered with `answer` (No unless the test says).
  bool AskYesNo(const std::string& text, const std::string&) override {
    dialogs.push_back(text);
    return answer;
  }
  void ExecuteSelectedAction() override { executions.push_back({nowMs_, Vesperon::Now()}); }
  void ExecuteAction(Vesperon::ActionId) override { ExecuteSelectedAction(); }
  // The last warning: the seconds left at every showing, -1 at every closing.
  std::vector<std::int32_t> warnings;
  void ShowWarning(Vesperon::ActionId, std::int32_t left, std::int32_t) override { warnings.push_back(left); }
  void CloseWarning() override { warnings.push_back(-1); }
  bool answer = false;

 private:
  SimulatedTimers& timers_;
  const std::int64_t& nowMs_;
};

class EngineSimulation {
 public:
  // Starts at `start`, `phaseMs` into that second.
  explicit EngineSimulation(const platform::LocalTimeFields& start, int phaseMs = 0)
      : clock(start), nowMs(phaseMs) {}
  // LastEvent is process-wide: leave it as found.
  ~EngineSimulation() { Vesperon::SetLastEvent(savedLastEvent_); }

  platform::FakeClock clock;
  platform::MemoryRegistry registry;
  platform::FakeDesktop desktop;
  testing_support::FakeOsVersion os;
  SimulatedTimers timers;
  std::int64_t nowMs = 0;  // the millisecond line; never goes back
  // A precise wall reading beside a steady count, as on both real platforms;
  // off, only whole-second local time is seen.
  bool preciseClock = true;
  RecordingWindow window{timers, nowMs};

 private:
  platform::ScopedClock scopedClock_{clock};
  platform::ScopedRegistry scopedRegistry_{registry};
  platform::ScopedDesktop scopedDesktop_{desktop};
  Vesperon::DateTime savedLastEvent_ = Vesperon::LastEvent();

 public:
  Vesperon::SchedulerEngine engine{window};

  // The window's start-up: LastEvent, clock watch, stored fields, activation.
  void StartUp(bool withClockWatch = true) {
    engine.LoadLastEvent();
    if (withClockWatch) engine.StartClockWatch();
    engine.LoadMainForm();
    engine.RestoreActivation();
  }

  // Fires every timer that comes due up to the moment, in order.
  void RunUntil(std::int64_t untilMs) {
    // A handler restarting a timer at period 0 forever is an engine fault.
    constexpr int kStormLimit = 1000;
    int atSameMoment = 0;
    while (const auto next = timers.Next(untilMs)) {
      if (next->ms > nowMs) {
        nowMs = next->ms;
        atSameMoment = 0;
      } else if (++atSameMoment > kStormLimit) {
        ADD_FAILURE() << "timer " << next->id << " keeps coming at " << nowMs << " ms";
        return;
      }
      SyncClock();
      if (!engine.OnTimer(next->id)) timers.Stop(next->id);  // the window's own timer: one shot
      timers.Rearm(next->id, next->ticket, nowMs);
    }
    if (untilMs > nowMs) nowMs = untilMs;
    SyncClock();
  }
  void RunFor(std::int64_t ms) { RunUntil(nowMs + ms); }
  // The user moves the wall clock; the millisecond line and timers go on.
  void SetClockBy(std::int64_t seconds) {
    wallShift_ += seconds;
    SyncClock();
  }
  // From `atMs` on (at once if passed) the zone's offset is `seconds`, as
  // daylight saving or a new time zone sets it: local time jumps by the
  // change, UTC and the steady count go on. The offset before the first
  // change is the clock's own (clock.SetUtcOffset).
  void SetUtcOffsetAt(std::int64_t atMs, std::int64_t seconds) {
    offsetChanges_.emplace_back(atMs, seconds);
    SyncClock();
  }

  // Settings as the user left them.
  static std::string ActiveProfile() {  // its section
    return "Profiles\\" + DataSystem::GetActiveProfileName("Profiles", DataSystem::kHiveCurrentUser);
  }
  using Id = DataSystem::SettingId;
  void SetGlobal(Id id, std::uint32_t value) { DataSystem::WriteNumber(id, value, "Global"); }
  void SetProfileNumber(Id id, std::uint32_t value) { DataSystem::WriteNumber(id, value, ActiveProfile()); }
  void SetProfileString(Id id, const std::string& text) { DataSystem::WriteText(id, text, ActiveProfile()); }
  std::uint32_t ProfileNumber(Id id) { return DataSystem::ReadNumber(id, ActiveProfile()); }
  std::string ProfileString(Id id) { return DataSystem::ReadText(id, ActiveProfile()); }

 private:
  void SyncClock() {
    const std::int64_t seconds = (nowMs >= 0 ? nowMs / 1000 : (nowMs - 999) / 1000) + wallShift_;
    clock.Advance(seconds - clockSeconds_);
    clockSeconds_ = seconds;
    std::int64_t offset = clock.UtcOffset();
    for (const auto& [atMs, change] : offsetChanges_) {
      if (atMs <= nowMs) offset = change;
    }
    clock.Advance(offset - clock.UtcOffset());
    clock.SetUtcOffset(offset);
    // The steady count follows the millisecond line; the wall clock also follows the user.
    if (preciseClock) {
      constexpr std::int64_t kWallBaseMs = 1'100'000'000'000;  // any moment will do
      clock.SetPrecise({kWallBaseMs + nowMs + wallShift_ * 1000, static_cast<std::uint64_t>(nowMs)});
    }
  }

  std::int64_t wallShift_ = 0;      // seconds the user moved the clock by
  std::int64_t clockSeconds_ = 0;   // seconds the fake clock has been advanced by
  std::vector<std::pair<std::int64_t, std::int64_t>> offsetChanges_;  // (at ms, offset s)
};

}  // namespace testsupport
