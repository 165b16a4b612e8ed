#include "actions/Reminder.h"

#include <iterator>
#include <vector>

#include "actions/PowerActions.h"
#include "model/DateTime.h"
#include "platform/SoundPlayer.h"
#include "settings/SettingsStore.h"
#include "model/OsVersion.h"

namespace Vesperon {
namespace {

bool g_labelAlternationPaused = false;

}  // namespace

std::string ReminderSection(bool useTestSection) {
  return useTestSection ? std::string("Temp") : ActiveProfileSection();
}

ReminderSettings ReadReminderSettings(bool useTestSection) {
  ReminderSettings settings;
  settings.Load(ReminderSection(useTestSection));
  return settings;
}

bool AutoCloseUnitFactor(std::uint32_t unit, std::uint32_t& factor) {
  static constexpr std::uint32_t kFactors[] = {1, 60, 3600, 86400};
  if (unit >= std::size(kFactors)) {
    factor = 1;
    return false;
  }
  factor = kFactors[unit];
  return true;
}

std::uint32_t AutoCloseSeconds(std::uint32_t time, std::uint32_t factor) {
  const std::uint64_t seconds = static_cast<std::uint64_t>(time) * factor;
  if (seconds == 0) return 1;
  if (seconds > kMaxAutoCloseSeconds) return kMaxAutoCloseSeconds;
  return static_cast<std::uint32_t>(seconds);
}

const char* SoundStatusText(bool looped) { return looped ? kLoopedSoundText : kSoundOnceText; }

std::string CountdownStatusText(std::uint32_t secondsLeft) {
  // secondsLeft never exceeds kMaxAutoCloseSeconds, so it fits the span's
  // signed seconds.
  return kAutoCloseText + DescribeSpan(MakeSpan(0, 0, 0, static_cast<std::int32_t>(secondsLeft)));
}

bool LabelAlternationPaused() { return g_labelAlternationPaused; }
void SetLabelAlternationPaused(bool paused) { g_labelAlternationPaused = paused; }

bool Reminder::Initialize(bool useTestSection) {
  if (IsOsVersionAtLeast(0, 120)) {
    // A window that keeps its usual opacity still shows the message: the
    // failure is reported and the reminder goes on.
    try {
      window_.ApplyStoredTranslucency();
    } catch (const Exception& failure) {
      window_.ShowFailure(failure);
    }
  }

  ReminderSettings settings;
  try {
    settings = ReadReminderSettings(useTestSection);
  } catch (const Exception& failure) {
    window_.ShowFailure(failure);
    Close();
    return false;
  }

  window_.SetMessageText(settings.text);

  if (settings.play) {
    soundLooped_ = settings.looped;
    // Whether the file could be played is not examined: the status line
    // says what the user should hear either way.
    platform::SoundPlayer().Play(settings.soundPath.c_str(),
                                 soundLooped_ ? kSoundLoopedFlags : kSoundOnceFlags);
    window_.SetStatusText(SoundStatusText(soundLooped_));
  }

  if (settings.autoClose) {
    std::uint32_t factor = 1;
    if (!AutoCloseUnitFactor(settings.closeUnit, factor)) window_.ShowMessage(kBadUnitText);
    autoCloseSecondsLeft_ = AutoCloseSeconds(settings.closeAfter, factor);
    window_.StartTimer(kReminderCountdownTimer, kReminderCountdownMilliseconds);
    window_.StartTimer(kReminderStatusTimer, kReminderStatusMilliseconds);
    window_.SetProgressRange(0, autoCloseSecondsLeft_);
    window_.SetProgressPosition(0);
    window_.SetProgressStep(1);
  } else {
    window_.SetProgressRange(0, 1);
    window_.SetProgressPosition(1);
    autoCloseSecondsLeft_ = 0;
  }
  return true;
}

void Reminder::OnTimer(std::uint32_t id) {
  if (closing_ || autoCloseSecondsLeft_ == 0) return;
  if (id == kReminderCountdownTimer) {
    window_.StepProgress();
    if (--autoCloseSecondsLeft_ == 0) {
      window_.StopTimer(kReminderCountdownTimer);
      window_.StopTimer(kReminderStatusTimer);
      Close();
    }
  } else if (id == kReminderStatusTimer) {
    const std::string status = window_.StatusText();
    if (!status.empty() && status[0] == 'A') {
      window_.SetStatusText(SoundStatusText(soundLooped_));
    } else {
      window_.SetStatusText(CountdownStatusText(autoCloseSecondsLeft_));
    }
  }
}

void Reminder::OnStatusClick() {
  if (closing_ || autoCloseSecondsLeft_ == 0) return;
  if (!LabelAlternationPaused()) {
    window_.StopTimer(kReminderStatusTimer);
    window_.SetStatusText(SoundStatusText(soundLooped_));
  } else {
    window_.StartTimer(kReminderStatusTimer, kReminderStatusMilliseconds);
  }
  SetLabelAlternationPaused(!LabelAlternationPaused());
}

void Reminder::OnDestroy() { platform::SoundPlayer().Play(nullptr, 0); }

void Reminder::Close() {
  if (closing_) return;
  closing_ = true;
  window_.Close();
}

}  // namespace Vesperon
