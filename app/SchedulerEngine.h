#pragma once
// The scheduler engine of the main window: it turns the window's trigger
// fields into a trigger when the user activates, polls it at the rate the
// trigger asks for, runs the selected action when it is due, reports a missed
// trigger, stops time-based triggers when the clock is set back, starts
// one-shot triggers over when the user asked for it, and remembers across
// runs whether a trigger was active. It runs on the window's one thread,
// driven by the window's timers, and reaches the window only through
// IEngineWindow; settings are read from the store at the moment of use.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "actions/ActionCatalog.h"
#include "actions/ActionDispatcher.h"
#include "app/LastWarning.h"
#include "app/TriggerText.h"
#include "model/DateTime.h"
#include "model/Trigger.h"
#include "platform/Clock.h"
#include "settings/Profiles.h"
#include "shell/TrayIcon.h"

namespace Vesperon {

// The main window's timers. The window routes WM_TIMER for these ids to
// SchedulerEngine::OnTimer, except StartHidden, which is its own.
enum EngineTimer : std::int32_t {
  kPollTimer = 1,          // 0 at activation, then the trigger's PollInterval
  kDisplayTimer = 2,       // 1000 ms while the countdown display runs
  kDisplayFinalTimer = 3,  // 100 ms, one shot: the last refresh after stopping
  kStartHiddenTimer = 4,   // 0 ms, one shot at start-up (the window's)
  kClockWatchTimer = 5,    // 3000 ms for the window's whole life
  kWarningTimer = 6,       // 1000 ms while a last warning counts down, then
                           // the postponement
};
inline constexpr std::uint32_t kDisplayPeriodMs = 1000;
inline constexpr std::uint32_t kDisplayFinalPeriodMs = 100;
inline constexpr std::uint32_t kClockWatchPeriodMs = 3000;
// A timer started with a period of one second (the poll in the last five
// minutes, the countdown display) runs just after each whole second of the
// wall clock instead of at whatever phase it was started: the window arms it
// with this delay from the clock's milliseconds and arms it again at every
// tick. The margin lets a timer that comes a little early still see the new
// second; one that comes earlier still only sees the old second and is armed
// again for just after the boundary.
inline constexpr std::uint32_t kSecondPeriodMs = 1000;
inline constexpr std::uint32_t kSecondMarginMs = 20;
std::uint32_t DelayPastNextSecondMs(std::int64_t wallMs);
// How far the wall clock may fall behind the steady count between two
// clock-watch ticks before the clock counts as set back: above the jitter
// of the two readings, below the one second a user can set back by.
inline constexpr std::int64_t kClockSetBackToleranceMs = 500;

// Controls of the main window that the engine enables and disables.
enum EngineControl : std::int32_t {
  kActivateButton,
  kActionList,
  kTriggerList,
  kTimeField,
  kDateField,
  kNumberField,
  kWeekdayList,
  kNumberUpDown,
  kProcessField,
};
inline constexpr int kEngineControlCount = 9;

// Message box icons.
enum MessageIcon : std::uint32_t { kMessageIconExclamation, kMessageIconQuestion };

// The main window's fields as the active profile stores them, for the window
// to show at start-up.
struct StoredFields {
  ActionId action = 0;       // select the first action item with this item data; none if absent
  std::int32_t kind = 0;     // select this trigger list index
  std::int32_t weekdayIndex = 0;
  DateTime dateTime;         // into both pickers; invalid: leave the pickers as they are
  std::int32_t number = 0;   // the number field
  std::string processText;   // the process field
};

// The fields and action a window holds after showing a stored record: an
// unknown action or kind selects nothing (-1); an invalid date leaves the
// date and time fields as they were.
void ApplyStoredFields(const StoredFields& stored, TriggerFields& fields, ActionId& action);

// The moment of the last fire, miss or user activation, one for the whole
// process: the engine loads it from the shown profile and moves it to Now().
DateTime LastEvent();
void SetLastEvent(const DateTime& moment);

// Everything the engine needs of the main window. The Win32 window implements
// it directly; tests record the calls. TrayIconExists and ShowBalloon have
// the signatures of IActionHost, so one window method serves both.
class IEngineWindow {
 public:
  virtual ~IEngineWindow() = default;

  // The trigger fields as shown (kind -1 when the trigger list has no
  // selection). Reading the number field is the window's: it reports a text
  // that is no whole number and gives the previous value instead.
  virtual TriggerFields ReadTriggerFields() = 0;
  // The trigger list's selection alone, -1 for none; no side effects.
  virtual std::int32_t SelectedTriggerKind() = 0;
  // The action list's selected item data, -1 for none.
  virtual ActionId SelectedActionId() = 0;
  virtual void ShowStoredFields(const StoredFields& fields) = 0;

  // SetTimer/KillTimer on the window; starting a running timer restarts it.
  virtual void StartTimer(std::int32_t id, std::uint32_t periodMs) = 0;
  virtual void StopTimer(std::int32_t id) = 0;

  virtual void EnableControl(EngineControl control, bool enable) = 0;
  // The push-like Activate check box: pressed while a trigger is active.
  virtual void SetActivateChecked(bool checked) = 0;
  virtual void SetCountdownLabel(const std::string& text) = 0;
  // The progress bar's range is 0 .. maximum.
  virtual void SetProgressRange(std::int32_t maximum) = 0;
  virtual void SetProgressPosition(std::int32_t position) = 0;
  virtual bool StatusBarExists() = 0;
  // Part 0 of the status bar.
  virtual void SetStatusText(const std::string& text) = 0;

  virtual bool TrayIconExists() = 0;
  virtual void ShowBalloon(const std::string& title, const std::string& text,
                           std::uint32_t timeoutMs, BalloonIcon icon) = 0;
  // Reloads the tray icon's image at 16 x 16 and applies it to the icon.
  virtual void SetTrayIconImage(TrayImage image) = 0;
  // A modal message box owned by the main window.
  virtual void ShowMessageBox(const std::string& text, const std::string& caption,
                              MessageIcon icon) = 0;
  // A modal Yes/No question owned by the main window, No the default
  // button; true for Yes.
  virtual bool AskYesNo(const std::string& text, const std::string& caption) = 0;

  // Runs the action selected in the action list (the dispatcher's
  // ExecuteSelectedAction, which announces it itself).
  virtual void ExecuteSelectedAction() = 0;
  // Runs that action, announced as ExecuteSelectedAction announces its own.
  virtual void ExecuteAction(ActionId action) = 0;

  // The last warning before `action`: shows it, or brings the one shown up
  // to date, with `secondsLeft` of `totalSeconds`. It must not wait for the
  // user: the answer comes back through SchedulerEngine::OnWarningAnswer.
  virtual void ShowWarning(ActionId action, std::int32_t secondsLeft, std::int32_t totalSeconds) = 0;
  // Takes the warning away without an answer; nothing when none is shown.
  virtual void CloseWarning() = 0;
};

// Chooses the progress bar's range for the remaining time at activation: the
// finest unit whose whole total fits 0 .. 2147483647.
struct ProgressRange {
  std::int32_t maximum = 0;
  ProgressUnit unit = ProgressUnit::Seconds;
};
ProgressRange ChooseProgressRange(const TimeSpan& remaining);

class SchedulerEngine final : private DataSystem::IProfileRenameListener {
 public:
  explicit SchedulerEngine(IEngineWindow& window);
  // The trigger goes without a deactivation, so the stored TriggerActive
  // keeps what the last activation or deactivation wrote.
  ~SchedulerEngine();
  SchedulerEngine(const SchedulerEngine&) = delete;
  SchedulerEngine& operator=(const SchedulerEngine&) = delete;

  // Start-up, in the window's order. Window creation: LoadLastEvent.
  // Initialisation: StartClockWatch, LoadMainForm, (the window shows the
  // selected kind's editor), RestoreActivation. The window then shows the
  // profile active at LoadLastEvent; the engine reads and writes only that
  // profile's fields and state.
  void LoadLastEvent();
  void StartClockWatch();
  void LoadMainForm();
  void RestoreActivation();
  void SaveMainForm();

  // When another profile has become active since the window last looked,
  // the window takes it up as at start-up: an active trigger ends without
  // touching the stored state of the profile it came from (which brings it
  // back when that profile is active again), then the new profile's
  // LastEvent and fields are loaded and its activation restored. A rename
  // of the shown profile is no switch: the window follows the new name.
  // True when it switched. The engine looks before every tick and click
  // that may write; the window also asks after a dialog that may switch.
  bool FollowActiveProfile();

  // The Activate button (control 1000).
  void OnActivateClicked();
  // Builds and starts a trigger from the window's fields; false, with nothing
  // changed, when no trigger kind or no action is selected. A failure after
  // the trigger was built leaves the engine inactive and propagates.
  bool ActivateTrigger();
  void DeactivateTrigger(bool notify);

  // WM_TIMER for the engine's timers; false for an id that is not one.
  bool OnTimer(std::int32_t id);
  void OnPollTick();
  void OnClockWatchTick();
  void OnDisplayTick();
  void OnDisplayFinalTick();
  // The countdown display runs only while the window is visible.
  void OnWindowShown(bool shown);
  void SetDisplayRunning(bool on);
  void UpdateCountdownDisplay();

  // The selected kind repeats (daily, weekly, monthly).
  bool IsRepeatingKind();
  // A repeating kind, or the AutoReactTrgr setting.
  bool ShouldReactivate();
  // LastEvent := Now(), stored in the active profile at once.
  void SetLastEventNow();

  // The user's answer to the last warning shown.
  void OnWarningAnswer(WarningAnswer answer);
  // The program ends: a warning shown or postponed goes, and nothing runs.
  void EndWarning();
  // A warning is shown or postponed.
  bool WarningPending() const { return warning_.has_value(); }

  // What the current trigger is judged against: the last event and the
  // expiry window read at activation.
  TriggerHistory History() const { return {LastEvent(), expireDelay_}; }
  bool IsActive() const { return trigger_ != nullptr; }
  const Trigger* CurrentTrigger() const { return trigger_.get(); }
  std::int32_t PollPeriod() const { return pollPeriod_; }
  ProgressUnit CurrentProgressUnit() const { return progressUnit_; }

 private:
  void OnProfileRenamed(const std::string& oldName, const std::string& newName) override;
  // "Profiles\" and the shown profile (the active one until the first load).
  std::string ProfileSection();
  // An empty process pattern is refused, an event whose condition is met
  // already is asked about; false when the user's click activates nothing.
  bool ConfirmEventTrigger(const TriggerFields& fields);
  bool Activate(const TriggerFields& fields, ActionId action, bool armed);
  void StoreMainForm(const TriggerFields& fields, ActionId action);
  enum class StoredState { Write, Keep };
  void Deactivate(bool notify, bool reportStoreFailure, StoredState stored = StoredState::Write);
  void EnableTriggerControls(bool enable);
  void NotifyTray(bool resetIcon, bool balloon, const std::string& text);
  void SetStatus(const std::string& text);
  void OnDue();
  void Reactivate();
  // Instead of running the due action: true when the user asked to be
  // warned before it.
  bool StartWarning(bool oneShot);
  void ShowWarningFromStart();
  void OnWarningTick();
  void FinishWarning(bool run);
  TriggerState EvaluateArmed(TimeSpan& out);

  IEngineWindow& window_;
  // The profile whose fields the window shows; empty before the first load.
  std::string profile_;
  std::unique_ptr<Trigger> trigger_;
  std::int32_t kind_ = -1;  // of the current trigger
  // A trigger started over after firing may fire again only once it has
  // been seen waiting: a process that is still gone, a defragmenter that is
  // still closed, must not run the action at every poll.
  bool armed_ = true;
  TimeSpan expireDelay_ = MakeSpan(0, 1, 0, 0);  // the setting's default hour
  std::int32_t pollPeriod_ = 0;
  ProgressUnit progressUnit_ = ProgressUnit::Seconds;
  // The readings of the last clock-watch tick, each when the clock offered it.
  std::int64_t previousUtc_ = 0;
  bool hasPreviousUtc_ = false;
  platform::PreciseReading previousPrecise_;
  bool hasPreviousPrecise_ = false;
  std::int64_t previousOffsetMinutes_ = 0;  // local time minus UTC
  bool hasPreviousOffset_ = false;
  // The occurrence a last warning holds back. Its LastEvent is written and a
  // one-shot trigger has ended already, as for a fire, so that a restart
  // during the warning never brings the occurrence back.
  struct PendingWarning {
    ActionId action = -1;
    bool oneShot = false;  // started over, if the user asked for it, once done
    bool shown = false;    // false while postponed
    std::int32_t secondsLeft = 0;
    std::int32_t totalSeconds = 0;
  };
  std::optional<PendingWarning> warning_;
};

}  // namespace Vesperon
