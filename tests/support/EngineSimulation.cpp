#include "tests/support/EngineSimulation.h"

#include <gtest/gtest.h>

#include "settings/SettingsStore.h"

namespace testsupport {

using namespace Vesperon;

void SimulatedTimers::Start(std::int32_t id, std::uint32_t periodMs, std::int64_t nowMs) {
  timers_[id] = {periodMs, nowMs + periodMs, nextTicket_++};
}

void SimulatedTimers::Stop(std::int32_t id) { timers_.erase(id); }

bool SimulatedTimers::Next(std::int64_t limitMs, std::int32_t& id, std::int64_t& dueMs,
                           std::uint64_t& ticket) const {
  bool found = false;
  for (const auto& [timerId, timer] : timers_) {
    if (timer.due > limitMs) continue;
    if (!found || timer.due < dueMs || (timer.due == dueMs && timer.ticket < ticket)) {
      found = true;
      id = timerId;
      dueMs = timer.due;
      ticket = timer.ticket;
    }
  }
  return found;
}

void SimulatedTimers::Rearm(std::int32_t id, std::uint64_t ticket, std::int64_t nowMs) {
  const auto it = timers_.find(id);
  if (it == timers_.end() || it->second.ticket != ticket) return;
  it->second.due = nowMs + it->second.period;
  it->second.ticket = nextTicket_++;
}

void SimulatedTimers::Wake(std::int64_t nowMs) {
  for (auto& [id, timer] : timers_) {
    if (timer.due < nowMs) timer.due = nowMs;
  }
}

bool RecordingWindow::TriggerControlsAre(bool enabledState) const {
  for (std::int32_t id : {kActionList, kNumberField, kNumberUpDown, kWeekdayList, kProcessField,
                          kDateField, kTimeField, kTriggerList}) {
    const auto it = enabled.find(id);
    if (it == enabled.end() || it->second != enabledState) return false;
  }
  return true;
}

std::vector<std::int64_t> RecordingWindow::FireMs() const {
  std::vector<std::int64_t> fires;
  for (const ExecutionRecord& run : executions) fires.push_back(run.simMs);
  return fires;
}

void RecordingWindow::ShowStoredFields(const StoredFields& stored) {
  // As the real window shows it.
  ApplyStoredFields(stored, fields, action);
}

void RecordingWindow::StartTimer(std::int32_t id, std::uint32_t periodMs) {
  if (id == kPollTimer) pollStarts.push_back({nowMs_, periodMs});
  timers_.Start(id, periodMs, nowMs_);
}

void RecordingWindow::ShowBalloon(const std::string&, const std::string& text, std::uint32_t,
                                  BalloonIcon) {
  if (onBalloon) onBalloon();
  balloons.push_back(text);
}

void RecordingWindow::ExecuteSelectedAction() {
  executions.push_back({nowMs_, Now()});
  if (onExecute) onExecute();
}

EngineSimulation::EngineSimulation(const platform::LocalTimeFields& start, int phaseMs)
    : clock(start), nowMs(phaseMs), start_(start) {
  savedLastEvent_ = LastEvent();
}

EngineSimulation::~EngineSimulation() {
  // LastEvent is process-wide: leave it as found.
  SetLastEvent(savedLastEvent_);
}

void EngineSimulation::StartUp(bool withClockWatch) {
  engine.LoadLastEvent();
  if (withClockWatch) engine.StartClockWatch();
  engine.LoadMainForm();
  engine.RestoreActivation();
}

void EngineSimulation::SyncClock() {
  const std::int64_t seconds = (nowMs >= 0 ? nowMs / 1000 : (nowMs - 999) / 1000) + wallShift_;
  if (seconds != clockSeconds_) {
    clock.Advance(seconds - clockSeconds_);
    clockSeconds_ = seconds;
  }
  std::int64_t offset = clock.UtcOffset();
  for (const auto& [atMs, seconds] : offsetChanges_) {
    if (atMs <= nowMs) offset = seconds;
  }
  if (offset != clock.UtcOffset()) {
    clock.Advance(offset - clock.UtcOffset());
    clock.SetUtcOffset(offset);
  }
  // The steady count follows the millisecond line; the wall clock also follows the user.
  if (preciseClock) {
    constexpr std::int64_t kWallBaseMs = 1'100'000'000'000;  // any moment will do
    clock.SetPrecise({kWallBaseMs + nowMs + wallShift_ * 1000, static_cast<std::uint64_t>(nowMs)});
  }
}

void EngineSimulation::RunUntil(std::int64_t untilMs) {
  // A handler restarting a timer at period 0 forever is an engine fault.
  constexpr int kStormLimit = 1000;
  int atSameMoment = 0;
  std::int32_t id = 0;
  std::int64_t due = 0;
  std::uint64_t ticket = 0;
  while (timers.Next(untilMs, id, due, ticket)) {
    if (due > nowMs) {
      nowMs = due;
      atSameMoment = 0;
    } else if (++atSameMoment > kStormLimit) {
      ADD_FAILURE() << "timer " << id << " keeps coming at " << nowMs << " ms";
      return;
    }
    SyncClock();
    if (!engine.OnTimer(id)) timers.Stop(id);  // the window's own timer: one shot
    timers.Rearm(id, ticket, nowMs);
  }
  if (untilMs > nowMs) nowMs = untilMs;
  SyncClock();
}

void EngineSimulation::Sleep(std::int64_t ms) {
  nowMs += ms;
  SyncClock();
  timers.Wake(nowMs);
}

void EngineSimulation::SetClockBy(std::int64_t seconds) {
  wallShift_ += seconds;
  SyncClock();
}

void EngineSimulation::SetUtcOffsetAt(std::int64_t atMs, std::int64_t seconds) {
  offsetChanges_.emplace_back(atMs, seconds);
  SyncClock();
}

std::string EngineSimulation::ActiveProfile() {
  return "Profiles\\" + DataSystem::GetActiveProfileName("Profiles", DataSystem::kHiveCurrentUser);
}

std::int64_t EngineSimulation::MillisecondsAt(const DateTime& wall) const {
  const DateTime origin = MakeDateTime(start_.year, start_.month, start_.day, start_.hour,
                                       start_.minute, start_.second);
  return static_cast<std::int64_t>((wall - origin).TotalSeconds()) * 1000;
}

}  // namespace testsupport
