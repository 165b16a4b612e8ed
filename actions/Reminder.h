#pragma once
// The reminder: the user's message in a small window that can play a sound
// file once or in a loop and can close itself after a chosen time while a
// progress bar and a status line count down. Everything the window decides
// lives here, driven through IReminderWindow, so that it runs the same way
// against the real dialog (app/win32/Reminder) and against a test's fake.
// Sounds go through platform::SoundPlayer().
#include <cstdint>
#include <string>

#include "model/Exception.h"
#include "settings/SettingsRecords.h"

namespace Vesperon {

// The window's two timers and their periods.
inline constexpr std::uint32_t kReminderCountdownTimer = 0;
inline constexpr std::uint32_t kReminderStatusTimer = 1;
inline constexpr std::uint32_t kReminderCountdownMilliseconds = 1000;
inline constexpr std::uint32_t kReminderStatusMilliseconds = 1900;

// PlaySoundA flags: SND_ASYNC | SND_FILENAME, with SND_LOOP for a loop.
inline constexpr std::uint32_t kSoundOnceFlags = 0x20001;
inline constexpr std::uint32_t kSoundLoopedFlags = 0x20009;

inline constexpr char kLoopedSoundText[] = "You should hear looped sound";
inline constexpr char kSoundOnceText[] = "You should hear sound once";
inline constexpr char kAutoCloseText[] = "Auto close after: ";
// The message for an auto-close unit the program does not know.
inline constexpr char kBadUnitText[] = "Error";

// The longest countdown the window runs: the progress bar's range and the
// span the status line shows are signed 32-bit, so a longer stored time
// (a registry edited by hand) is held here instead of wrapping around.
inline constexpr std::uint32_t kMaxAutoCloseSeconds = 0x7FFFFFFF;

using DataSystem::ReminderSettings;

// "Temp" for a test of unsaved settings, else the active profile's section.
std::string ReminderSection(bool useTestSection);
// The record of that section; store failures propagate.
ReminderSettings ReadReminderSettings(bool useTestSection);

// Seconds per unit of ClsTType; false (and `factor` 1) for an unknown unit.
bool AutoCloseUnitFactor(std::uint32_t unit, std::uint32_t& factor);
// time x factor, at least 1 and at most kMaxAutoCloseSeconds.
std::uint32_t AutoCloseSeconds(std::uint32_t time, std::uint32_t factor);
// The two texts of the status line.
const char* SoundStatusText(bool looped);
std::string CountdownStatusText(std::uint32_t secondsLeft);

// Whether the user paused the status line's alternation by a click. One flag
// for the whole process: it outlives each reminder, so a reminder opened
// after an odd number of clicks starts with it set.
bool LabelAlternationPaused();
void SetLabelAlternationPaused(bool paused);

// What the reminder asks of its window.
class IReminderWindow {
 public:
  virtual ~IReminderWindow() = default;
  // Translucency of the appearance settings (asked for on Windows 2000 and
  // later only).
  virtual void ApplyStoredTranslucency() = 0;
  virtual void SetMessageText(const std::string& text) = 0;
  virtual std::string StatusText() = 0;
  virtual void SetStatusText(const std::string& text) = 0;
  virtual void SetProgressRange(std::uint32_t low, std::uint32_t high) = 0;
  virtual void SetProgressPosition(std::uint32_t position) = 0;
  virtual void SetProgressStep(std::uint32_t step) = 0;
  virtual void StepProgress() = 0;
  virtual void StartTimer(std::uint32_t id, std::uint32_t milliseconds) = 0;
  virtual void StopTimer(std::uint32_t id) = 0;
  // A message box owned by the window with the program's caption and OK.
  virtual void ShowMessage(const std::string& text) = 0;
  // A store failure, in the message box of its class.
  virtual void ShowFailure(const Exception& failure) = 0;
  // Ends the window as its OK button does.
  virtual void Close() = 0;
};

class Reminder {
 public:
  explicit Reminder(IReminderWindow& window) : window_(window) {}
  Reminder(const Reminder&) = delete;
  Reminder& operator=(const Reminder&) = delete;

  // The window's initialisation. Settings that cannot be read are reported
  // and close the window before anything is shown, played or timed; the
  // result is then false.
  bool Initialize(bool useTestSection);
  void OnTimer(std::uint32_t id);
  // A click on the status line.
  void OnStatusClick();
  // The window goes away: whatever sound plays stops with it.
  void OnDestroy();

  std::uint32_t AutoCloseSecondsLeft() const { return autoCloseSecondsLeft_; }
  bool SoundLooped() const { return soundLooped_; }

 private:
  void Close();

  IReminderWindow& window_;
  std::uint32_t autoCloseSecondsLeft_ = 0;
  bool soundLooped_ = false;
  // Set once the window has been asked to close: a timer message already
  // queued must neither count below zero nor close it a second time.
  bool closing_ = false;
};

}  // namespace Vesperon
