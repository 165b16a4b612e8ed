#include "app/SchedulerEngine.h"

#include <exception>
#include <limits>
#include <vector>

#include "model/MainFormRecord.h"
#include "model/OleDate.h"
#include "platform/Services.h"
#include "settings/SettingsRecords.h"
#include "settings/SettingsStore.h"
#include "settings/StorableText.h"
#include "app/TriggerStartupOptions.h"
#include "model/OsVersion.h"

namespace Vesperon {
namespace {

using DataSystem::SettingId;

constexpr char kGlobalSection[] = "Global";
// The rate at which the event kinds ask to be polled while they wait.
constexpr std::int32_t kEventPollPeriodMs = 1000;

std::string ActiveProfileName() {
  return DataSystem::GetActiveProfileName("Profiles", DataSystem::kHiveCurrentUser);
}

using DataSystem::ReadNumber;

bool GlobalFlag(SettingId id) { return ReadNumber(id, kGlobalSection) != 0; }

bool IsKnownKind(std::int32_t kind) { return kind >= 0 && kind < kTriggerKindCount; }

bool IsEventKind(std::int32_t kind) {
  return kind == static_cast<std::int32_t>(TriggerKind::DiskDefragmenter) ||
         kind == static_cast<std::int32_t>(TriggerKind::Process);
}

// Whether a one-shot trigger that has just fired may start over from the
// same fields. A one-time trigger's only moment is behind it: rebuilt, it
// would be due again at once for the rest of the expiry window. A countdown
// of zero length would be due the moment it starts, and again after that.
// Both would run the action at every poll; they end instead.
bool CanStartOver(const TriggerFields& f) {
  switch (static_cast<TriggerKind>(f.kind)) {
    case TriggerKind::Countdown:
      return MakeSpan(f.number, f.hour, f.minute, f.second) > ZeroSpan;
    case TriggerKind::DiskDefragmenter:
    case TriggerKind::Process:
      return true;  // they start disarmed
    default:
      return false;
  }
}

std::string WeekdayText(std::int32_t index) {
  const char* text = WeekdayListText(index);
  return text != nullptr ? text : "";
}

// Runs steps that must all happen even when one of them fails, keeping the
// first failure to report once the state is consistent again.
class FailureKeeper {
 public:
  template <typename Step>
  void Run(Step&& step) {
    try {
      step();
    } catch (const Exception&) {
      if (!failure_) failure_ = std::current_exception();
    }
  }
  void Rethrow() const {
    if (failure_) std::rethrow_exception(failure_);
  }

 private:
  std::exception_ptr failure_;
};

// Local time minus UTC in whole minutes, which every zone's offset is;
// rounding also absorbs a second that ends between the two readings.
bool ReadUtcOffsetMinutes(platform::IClock& clock, std::int64_t& minutes) {
  platform::LocalTimeFields local;
  std::int64_t utc = 0;
  if (!clock.LocalNow(local) || !clock.UtcNow(utc)) return false;
  const std::int64_t localDays = OleDate::DaysFromCivil(local.year, local.month, local.day) -
                                 OleDate::DaysFromCivil(1970, 1, 1);
  const std::int64_t localSeconds =
      localDays * 86400 + local.hour * 3600 + local.minute * 60 + local.second;
  const std::int64_t difference = localSeconds - utc;
  minutes = (difference + (difference >= 0 ? 30 : -30)) / 60;
  return true;
}

DateTime g_lastEvent(25569.0, DateTimeStatus::Valid);  // 1 January 1970, until loaded

}  // namespace

DateTime LastEvent() { return g_lastEvent; }
void SetLastEvent(const DateTime& moment) { g_lastEvent = moment; }

ProgressRange ChooseProgressRange(const TimeSpan& remaining) {
  constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
  for (ProgressUnit unit : {ProgressUnit::Seconds, ProgressUnit::Minutes, ProgressUnit::Hours,
                            ProgressUnit::Days}) {
    const std::int64_t total = WholeTotal(remaining, unit);
    if (total <= kMax) return {static_cast<std::int32_t>(total), unit};
  }
  return {static_cast<std::int32_t>(kMax), ProgressUnit::ClampedDays};
}

SchedulerEngine::SchedulerEngine(IEngineWindow& window) : window_(window) {
  DataSystem::AddProfileRenameListener(*this);
}

SchedulerEngine::~SchedulerEngine() { DataSystem::RemoveProfileRenameListener(*this); }

void SchedulerEngine::OnProfileRenamed(const std::string& oldName, const std::string& newName) {
  if (profile_ == oldName) profile_ = newName;
}

std::string SchedulerEngine::ProfileSection() {
  if (profile_.empty()) profile_ = ActiveProfileName();
  return "Profiles\\" + profile_;
}

bool SchedulerEngine::FollowActiveProfile() {
  const std::string active = ActiveProfileName();
  if (profile_.empty()) profile_ = active;
  if (active == profile_) return false;
  // Whatever the old profile stored stays as it is: its trigger comes back
  // when it is active again. Nothing of it may reach the new profile.
  if (trigger_) Deactivate(false, false, StoredState::Keep);
  EndWarning();
  profile_ = active;
  LoadLastEvent();
  LoadMainForm();
  RestoreActivation();
  return true;
}

void SchedulerEngine::LoadLastEvent() {
  // Whatever the profile holds, start-up goes on. A value that cannot be
  // read stays invalid with day count 0: Now() minus it is then large, so
  // every occurrence inside the expiry window counts as not yet handled.
  DateTime stored(0.0, DateTimeStatus::Invalid);
  try {
    profile_ = ActiveProfileName();
    stored.FromStoredText(DataSystem::ReadText(DataSystem::kLastEvent, ProfileSection()));
  } catch (const Exception&) {
    stored = DateTime(0.0, DateTimeStatus::Invalid);
  }
  SetLastEvent(stored);
}

void SchedulerEngine::StartClockWatch() {
  window_.StartTimer(kClockWatchTimer, kClockWatchPeriodMs);
}

void SchedulerEngine::LoadMainForm() {
  DataSystem::MainFormSettings stored;
  stored.Load(ProfileSection());

  StoredFields fields;
  fields.action = static_cast<ActionId>(stored.action);
  fields.kind = static_cast<std::int32_t>(stored.trigger);
  fields.dateTime = DecodeTriggerDateTime(stored.date, stored.time);
  // Never stored: the pickers show the moment, as in a window just made,
  // never what another profile left in them.
  if (fields.dateTime.status != DateTimeStatus::Valid) fields.dateTime = Now();
  fields.weekdayIndex = static_cast<std::int32_t>(stored.weekday);
  fields.number = static_cast<std::int32_t>(stored.number);
  fields.processText = stored.process;
  window_.ShowStoredFields(fields);
}

void SchedulerEngine::SaveMainForm() {
  StoreMainForm(window_.ReadTriggerFields(), window_.SelectedActionId());
}

void SchedulerEngine::StoreMainForm(const TriggerFields& fields, ActionId action) {
  DataSystem::MainFormSettings{static_cast<std::uint32_t>(action),
                               static_cast<std::uint32_t>(fields.kind),
                               EncodeTriggerDate(fields.year, fields.month, fields.day),
                               EncodeTriggerTime(fields.hour, fields.minute, fields.second),
                               static_cast<std::uint32_t>(fields.weekdayIndex),
                               static_cast<std::uint32_t>(fields.number), fields.processText}
      .Save(ProfileSection());
}

void SchedulerEngine::RestoreActivation() {
  if (trigger_ || ReadNumber(DataSystem::kTriggerActive, ProfileSection()) == 0) return;
  // One-time and the repeating kinds always come back; a countdown or an
  // event trigger only when the user asked for it (a countdown would start
  // over from now).
  const std::int32_t kind = window_.SelectedTriggerKind();
  if (kind == static_cast<std::int32_t>(TriggerKind::OneTime) || Vesperon::IsRepeatingKind(kind) ||
      GlobalFlag(DataSystem::kPresTrgrAct)) {
    // The stored action may be one this Windows version does not offer: say
    // why nothing runs, and keep TriggerActive for a system that offers it.
    if (!IsActionId(window_.SelectedActionId())) {
      window_.ShowMessageBox(kSelectActionText, kMessageCaption, kMessageIconExclamation);
      return;
    }
    ActivateTrigger();
  }
}

void SchedulerEngine::OnActivateClicked() {
  // The click was meant for the fields the window showed; after a switch it
  // shows another profile's, and its activation as restored.
  if (FollowActiveProfile()) {
    window_.SetActivateChecked(IsActive());
    return;
  }
  if (trigger_) {
    DeactivateTrigger(true);
    return;
  }
  const TriggerFields fields = window_.ReadTriggerFields();
  const ActionId action = window_.SelectedActionId();
  if (!IsKnownKind(fields.kind) || !IsActionId(action)) {
    window_.SetActivateChecked(false);
    if (!IsActionId(action)) {
      window_.ShowMessageBox(kSelectActionText, kMessageCaption, kMessageIconExclamation);
    }
    return;
  }
  if (!ConfirmEventTrigger(fields)) {
    window_.SetActivateChecked(false);
    return;
  }
  try {
    SetLastEventNow();
  } catch (const Exception&) {
    window_.SetActivateChecked(false);
    throw;
  }
  if (fields.kind == static_cast<std::int32_t>(TriggerKind::OneTime)) {
    // A target at the current second is accepted: it fires at the first poll.
    const DateTime target =
        MakeDateTime(fields.year, fields.month, fields.day, fields.hour, fields.minute, fields.second);
    if (target < Now()) {
      window_.ShowMessageBox(kPastTargetText, kMessageCaption, kMessageIconExclamation);
      window_.SetActivateChecked(false);
      return;
    }
  }
  Activate(fields, action, true);
}

bool SchedulerEngine::ConfirmEventTrigger(const TriggerFields& fields) {
  if (!IsEventKind(fields.kind)) return true;
  const bool process = fields.kind == static_cast<std::int32_t>(TriggerKind::Process);
  if (process && !fields.processTextStorable) {
    window_.ShowMessageBox(kUnstorableTextText, kMessageCaption, kMessageIconExclamation);
    return false;
  }
  if (process && fields.processText.empty()) {
    window_.ShowMessageBox(kEnterProcessNameText, kMessageCaption, kMessageIconExclamation);
    return false;
  }
  // The trigger would be due at the first poll: a mistyped name, or a
  // defragmenter not started yet, would run the action at once.
  TimeSpan out;
  if (BuildTrigger(fields)->Evaluate(History(), out) != TriggerState::Due) return true;
  const std::string shown = profile_;
  const bool anyway = window_.AskYesNo(
      process ? NoMatchingProcessQuestion(fields.processText) : kNoDefragmenterQuestion,
      kMessageCaption);
  // The question is modal: a profile switch inside it took the fields away.
  return anyway && !trigger_ && shown == profile_;
}

bool SchedulerEngine::ActivateTrigger() {
  return Activate(window_.ReadTriggerFields(), window_.SelectedActionId(), true);
}

bool SchedulerEngine::Activate(const TriggerFields& fields, ActionId action, bool armed) {
  // Without a kind there is no trigger to build, and without an action a due
  // trigger would have nothing to run: neither may leave the window looking
  // active.
  if (!IsKnownKind(fields.kind) || !IsActionId(action)) return false;
  trigger_ = BuildTrigger(fields);
  kind_ = fields.kind;
  armed_ = armed;
  try {
    const std::uint32_t delay = UsableExpireDelay(
        static_cast<std::uint32_t>(ReadNumber(DataSystem::kExpireDelay, kGlobalSection)));
    expireDelay_ = MakeSpan(0, 0, 0, static_cast<std::int32_t>(delay));

    TimeSpan out;
    const TriggerState state = EvaluateArmed(out);
    if (state == TriggerState::Waiting && out > ZeroSpan) {
      const ProgressRange range = ChooseProgressRange(out);
      progressUnit_ = range.unit;
      window_.SetProgressRange(range.maximum);
    }
    EnableTriggerControls(false);
    const std::string description =
        BuildTriggerDescription(fields, action, WeekdayText(fields.weekdayIndex));
    // A trigger missed already (restored after its moment) is reported as
    // missed by the first poll; announcing that it will arise would be false.
    NotifyTray(false, state != TriggerState::Missed, description);
    SetStatus(description);
    SetDisplayRunning(true);
    try {
      DataSystem::WriteNumber(DataSystem::kTriggerActive, 1, ProfileSection());
    } catch (const Exception&) {
      // Only the memory of the activation across a restart is lost; the
      // trigger itself runs.
    }
    StoreMainForm(fields, action);
    window_.SetActivateChecked(true);
    pollPeriod_ = 0;
    window_.StartTimer(kPollTimer, 0);  // the first poll comes at once
  } catch (const Exception&) {
    // A trigger that exists but is never polled would look active, ignore
    // its moment and turn the next press of Activate into a deactivation.
    Deactivate(false, false);
    throw;
  }
  return true;
}

void SchedulerEngine::DeactivateTrigger(bool notify) { Deactivate(notify, true); }

void SchedulerEngine::Deactivate(bool notify, bool reportStoreFailure, StoredState stored) {
  trigger_.reset();
  kind_ = -1;
  armed_ = true;
  window_.StopTimer(kPollTimer);
  window_.SetActivateChecked(false);
  window_.SetCountdownLabel(kTriggerInactiveText);
  window_.SetProgressPosition(0);
  window_.EnableControl(kActionList, true);
  NotifyTray(true, notify, kTriggerDeactivatedText);
  // The window must come back to life even when the store fails; the
  // failure is reported once it has.
  FailureKeeper store;
  if (stored == StoredState::Write) {
    store.Run([this] {
      DataSystem::WriteNumber(DataSystem::kTriggerActive, 0, ProfileSection());
    });
  }
  EnableTriggerControls(true);
  SetDisplayRunning(false);
  SetStatus("");
  if (reportStoreFailure) store.Rethrow();
}

void SchedulerEngine::EnableTriggerControls(bool enable) {
  for (EngineControl control : {kActionList, kNumberField, kNumberUpDown, kWeekdayList,
                                kProcessField, kDateField, kTimeField, kTriggerList}) {
    window_.EnableControl(control, enable);
  }
}

void SchedulerEngine::NotifyTray(bool resetIcon, bool balloon, const std::string& text) {
  // The tray only echoes what the window already shows. A shell that
  // refuses the icon or the balloon (no notification area, a text too long
  // for it) must not leave a trigger half started or half stopped.
  try {
    if (!IsOsVersionAtLeast(30, 120) || !window_.TrayIconExists()) return;
  } catch (const Exception&) {
    return;
  }
  if (resetIcon) {
    try {
      window_.SetTrayIconImage(kTrayImageFullColour);
    } catch (const Exception&) {
    }
  }
  if (balloon) {
    try {
      window_.ShowBalloon(kNotificationTitle, text, kNotificationTimeoutMs, kBalloonInfo);
    } catch (const Exception&) {
    }
  }
}

void SchedulerEngine::SetStatus(const std::string& text) {
  if (window_.StatusBarExists()) window_.SetStatusText(text);
}

bool SchedulerEngine::OnTimer(std::int32_t id) {
  // A poll or a warning tick may write the profile's state; the display
  // only reads the trigger, and the clock watch looks only before it would
  // stop one.
  if ((id == kPollTimer || id == kWarningTimer) && FollowActiveProfile()) return true;
  switch (id) {
    case kPollTimer: OnPollTick(); return true;
    case kDisplayTimer: OnDisplayTick(); return true;
    case kDisplayFinalTimer: OnDisplayFinalTick(); return true;
    case kClockWatchTimer: OnClockWatchTick(); return true;
    case kWarningTimer: OnWarningTick(); return true;
    default: return false;
  }
}

TriggerState SchedulerEngine::EvaluateArmed(TimeSpan& out) {
  TriggerState state = trigger_->Evaluate(History(), out);
  if (state == TriggerState::Waiting) {
    armed_ = true;
  } else if (state == TriggerState::Due && !armed_) {
    state = TriggerState::Waiting;  // its condition still holds from the last fire
  }
  return state;
}

void SchedulerEngine::OnPollTick() {
  if (!trigger_) return;
  TimeSpan out;
  switch (EvaluateArmed(out)) {
    case TriggerState::Waiting: {
      std::int32_t period = armed_ ? trigger_->PollInterval(History()) : kEventPollPeriodMs;
      // A second boundary between the two evaluations turns the answer into
      // "due" (-1) or "missed" (100): poll again at once so that the next
      // tick handles it. A negative period would wrap to a timer that never
      // comes.
      if (period < 0) period = 0;
      if (period != pollPeriod_) {
        pollPeriod_ = period;
        window_.StopTimer(kPollTimer);
        window_.StartTimer(kPollTimer, static_cast<std::uint32_t>(period));
      }
      break;
    }
    case TriggerState::Due:
      OnDue();
      break;
    case TriggerState::Missed: {
      FailureKeeper store;
      store.Run([this] { SetLastEventNow(); });
      store.Run([this] { DeactivateTrigger(false); });
      SetStatus(kTriggerMissedText);
      store.Rethrow();
      break;
    }
  }
}

void SchedulerEngine::OnDue() {
  const bool repeating = Vesperon::IsRepeatingKind(kind_);
  // The action is what the user scheduled: bookkeeping that cannot be stored
  // must not hold it back, nor leave a one-shot trigger due at every poll.
  // Such a failure is reported after the action.
  FailureKeeper store;
  store.Run([this] { SetLastEventNow(); });
  if (!repeating) store.Run([this] { DeactivateTrigger(false); });
  if (StartWarning(!repeating)) {
    store.Rethrow();
    return;
  }
  window_.ExecuteSelectedAction();
  // The action may have run a modal window in which the user activated a
  // trigger of his own; that one stays.
  if (!repeating && !trigger_ && GlobalFlag(DataSystem::kAutoReactTrgr)) Reactivate();
  store.Rethrow();
}

bool SchedulerEngine::StartWarning(bool oneShot) {
  const ActionId action = window_.SelectedActionId();
  std::uint32_t seconds = 0;
  try {
    if (!ActionWarns(action) || !GlobalFlag(DataSystem::kWarnBefore)) return false;
    seconds = UsableWarnSeconds(ReadNumber(DataSystem::kWarnSecs, kGlobalSection));
  } catch (const Exception&) {
    return false;  // a warning that cannot be read must not hold back the action
  }
  // Another occurrence while one is held back (a trigger the user started
  // meanwhile) takes its place: the machine goes down once.
  warning_ = PendingWarning{action, oneShot, false, 0, static_cast<std::int32_t>(seconds)};
  ShowWarningFromStart();
  return true;
}

void SchedulerEngine::ShowWarningFromStart() {
  warning_->shown = true;
  warning_->secondsLeft = warning_->totalSeconds;
  window_.StopTimer(kWarningTimer);
  window_.StartTimer(kWarningTimer, kDisplayPeriodMs);
  window_.ShowWarning(warning_->action, warning_->secondsLeft, warning_->totalSeconds);
}

void SchedulerEngine::OnWarningTick() {
  if (!warning_) {
    window_.StopTimer(kWarningTimer);
  } else if (!warning_->shown) {
    ShowWarningFromStart();  // the postponement is over
  } else if (--warning_->secondsLeft > 0) {
    window_.ShowWarning(warning_->action, warning_->secondsLeft, warning_->totalSeconds);
  } else {
    FinishWarning(true);
  }
}

void SchedulerEngine::OnWarningAnswer(WarningAnswer answer) {
  if (!warning_ || !warning_->shown) return;  // answered already, or taken away
  switch (answer) {
    case WarningAnswer::RunNow: FinishWarning(true); break;
    case WarningAnswer::Cancel: FinishWarning(false); break;
    case WarningAnswer::Postpone:
      warning_->shown = false;
      window_.CloseWarning();
      window_.StopTimer(kWarningTimer);
      window_.StartTimer(kWarningTimer, kWarningPostponeMs);
      SetStatus(PostponedText(warning_->action));
      break;
  }
}

void SchedulerEngine::FinishWarning(bool run) {
  const PendingWarning done = *warning_;
  warning_.reset();
  window_.StopTimer(kWarningTimer);
  window_.CloseWarning();
  if (run) window_.ExecuteAction(done.action);
  // A skipped occurrence counts as fired: a one-shot trigger starts over as
  // after a fire, unless the user started one of his own meanwhile.
  if (done.oneShot && !trigger_ && GlobalFlag(DataSystem::kAutoReactTrgr)) Reactivate();
}

void SchedulerEngine::EndWarning() {
  if (!warning_) return;
  warning_.reset();
  window_.StopTimer(kWarningTimer);
  window_.CloseWarning();
}

void SchedulerEngine::Reactivate() {
  const TriggerFields fields = window_.ReadTriggerFields();
  if (!CanStartOver(fields)) return;
  Activate(fields, window_.SelectedActionId(), !IsEventKind(fields.kind));
}

void SchedulerEngine::OnClockWatchTick() {
  platform::IClock& clock = platform::Clock();
  // Only UTC shows a clock set back: local time also goes back an hour when
  // daylight saving ends, and by hours when the time zone changes, and
  // nobody set the clock back then. Whole-second readings three seconds
  // apart only show a setback of more than three seconds; where the
  // platform has a steady count beside the wall clock, a wall clock that
  // advanced less than the count shows any setback from half a second on.
  std::int64_t utc = 0;
  bool setBack = clock.UtcNow(utc) && hasPreviousUtc_ && previousUtc_ > utc;
  platform::PreciseReading precise;
  const bool hasPrecise = clock.PreciseNow(precise);
  if (hasPrecise && hasPreviousPrecise_) {
    const std::int64_t wallElapsed = precise.wallMs - previousPrecise_.wallMs;
    const std::int64_t steadyElapsed = static_cast<std::int64_t>(precise.tickMs - previousPrecise_.tickMs);
    if (wallElapsed < steadyElapsed - kClockSetBackToleranceMs) setBack = true;
  }
  previousPrecise_ = precise;
  hasPreviousPrecise_ = hasPrecise;
  std::int64_t offset = 0;
  const bool hasOffset = ReadUtcOffsetMinutes(clock, offset);
  const bool offsetChanged = hasOffset && hasPreviousOffset_ && offset != previousOffsetMinutes_;
  previousOffsetMinutes_ = offset;
  hasPreviousOffset_ = hasOffset;

  // After a profile switch the trigger that saw the clock go back is gone.
  if (setBack && trigger_ && IsTimeBasedKind(kind_) &&
      GlobalFlag(DataSystem::kAutoStopTimer) && !FollowActiveProfile()) {
    DeactivateTrigger(true);
    SetStatus(kClockSetBackText);
  } else if (offsetChanged && trigger_ && IsTimeBasedKind(kind_)) {
    // The wall time a trigger waits for may just have been jumped over (it
    // is due now) or brought nearer: look at once, not after a minute.
    pollPeriod_ = 0;
    window_.StopTimer(kPollTimer);
    window_.StartTimer(kPollTimer, 0);
  }
  hasPreviousUtc_ = clock.UtcNow(previousUtc_);
}

void SchedulerEngine::OnDisplayTick() { UpdateCountdownDisplay(); }

void SchedulerEngine::OnDisplayFinalTick() {
  window_.StopTimer(kDisplayFinalTimer);
  UpdateCountdownDisplay();
}

void SchedulerEngine::OnWindowShown(bool shown) {
  if (trigger_) SetDisplayRunning(shown);
}

void SchedulerEngine::SetDisplayRunning(bool on) {
  if (on) {
    UpdateCountdownDisplay();
    window_.StartTimer(kDisplayTimer, kDisplayPeriodMs);
  } else {
    window_.StopTimer(kDisplayTimer);
    window_.StartTimer(kDisplayFinalTimer, kDisplayFinalPeriodMs);
  }
}

void SchedulerEngine::UpdateCountdownDisplay() {
  if (!trigger_) {
    window_.SetCountdownLabel(kTriggerInactiveText);
    return;
  }
  TimeSpan out;
  const TriggerState state = EvaluateArmed(out);
  const CountdownView view = ComputeCountdownView(state, out, progressUnit_);
  window_.SetCountdownLabel(view.label);
  if (view.setsProgress) window_.SetProgressPosition(view.progress);
}

bool SchedulerEngine::IsRepeatingKind() {
  return Vesperon::IsRepeatingKind(window_.SelectedTriggerKind());
}

bool SchedulerEngine::ShouldReactivate() {
  return IsRepeatingKind() || GlobalFlag(DataSystem::kAutoReactTrgr);
}

void SchedulerEngine::SetLastEventNow() {
  SetLastEvent(Now());
  DataSystem::WriteText(DataSystem::kLastEvent, LastEvent().ToStoredText(), ProfileSection());
}

std::uint32_t DelayPastNextSecondMs(std::int64_t wallMs) {
  const std::int64_t intoSecond = ((wallMs % 1000) + 1000) % 1000;
  return static_cast<std::uint32_t>(1000 - intoSecond) + kSecondMarginMs;
}

void ApplyStoredFields(const StoredFields& stored, TriggerFields& fields, ActionId& action) {
  action = IsActionId(stored.action) ? stored.action : -1;
  fields.kind = IsKnownKind(stored.kind) ? stored.kind : -1;
  fields.weekdayIndex = stored.weekdayIndex;
  if (stored.dateTime.status == DateTimeStatus::Valid) {
    fields.year = stored.dateTime.Year();
    fields.month = stored.dateTime.Month();
    fields.day = stored.dateTime.Day();
    fields.hour = stored.dateTime.Hour();
    fields.minute = stored.dateTime.Minute();
    fields.second = stored.dateTime.Second();
  }
  fields.number = stored.number;
  fields.processText = stored.processText;
}

}  // namespace Vesperon
