// The reminder against a recording window on a simulated millisecond line.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "actions/Reminder.h"
#include "platform/Services.h"
#include "platform/memory/MemoryRegistry.h"
#include "platform/memory/RecordingSoundPlayer.h"
#include "settings/SettingsStore.h"
#include "tests/support/EngineSimulation.h"
#include "tests/support/FakeOsVersion.h"

using namespace Vesperon;

namespace {

// Keeps what the reminder shows and runs its timers on a simulated clock.
class FakeReminderWindow final : public IReminderWindow {
 public:
  // A window that cannot be made translucent: the reminder must go on regardless.
  void ApplyStoredTranslucency() override { throw Exception(0, kCategoryAttachableApi); }
  void SetMessageText(const std::string& text) override { messageText = text; }
  std::string StatusText() override { return status; }
  void SetStatusText(const std::string& text) override { status = text; }
  void SetProgressRange(std::uint32_t, std::uint32_t high) override { rangeHigh = high; }
  void SetProgressPosition(std::uint32_t position) override { progress = position; }
  void SetProgressStep(std::uint32_t value) override { step = value; }
  void StepProgress() override { progress += step; }
  void StartTimer(std::uint32_t id, std::uint32_t milliseconds) override {
    timers.Start(static_cast<std::int32_t>(id), milliseconds, now);
  }
  void StopTimer(std::uint32_t id) override { timers.Stop(static_cast<std::int32_t>(id)); }
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  void ShowFailure(const Exception& failure) override { failures.push_back(failure.code); }
  void Close() override { ++closeCount; }

  // Delivers ticks in due order, as the window's timers would.
  void Advance(Reminder& reminder, std::int64_t milliseconds) {
    const std::int64_t end = now + milliseconds;
    while (const auto next = timers.Next(end)) {
      now = next->ms;
      reminder.OnTimer(static_cast<std::uint32_t>(next->id));
      timers.Rearm(next->id, next->ticket, now);
    }
    now = end;
  }
  bool TimersStopped() const {
    return !timers.IsRunning(kReminderCountdownTimer) && !timers.IsRunning(kReminderStatusTimer);
  }

  std::int64_t now = 0;
  testsupport::SimulatedTimers timers;
  std::string messageText, status;  // the template's status line is empty
  std::uint32_t rangeHigh = 99, progress = 99, step = 0;
  std::vector<std::string> messages;
  std::vector<std::int32_t> failures;
  int closeCount = 0;
};

constexpr char kDefaultSection[] = "Profiles\\Default";

class ReminderTest : public ::testing::Test {
 protected:
  ReminderTest() { SetLabelAlternationPaused(false); }
  ~ReminderTest() override { SetLabelAlternationPaused(false); }

  // Auto close on, no sound.
  static void StoreCountdown(std::uint32_t time, std::uint32_t unit) {
    ReminderSettings{"msg", "", false, false, true, time, unit}.Save(kDefaultSection);
  }

  platform::MemoryRegistry registry;
  platform::ScopedRegistry registryGuard{registry};
  platform::RecordingSoundPlayer sound;
  platform::ScopedSoundPlayer soundGuard{sound};
  testing_support::FakeOsVersion os{testing_support::kWinXP};
  FakeReminderWindow window;
  Reminder reminder{window};
};

// Translucency always fails here: it is reported once and the message still
// shows (nothing stored: the default). The test section: ActionPagesE2eTest.
TEST_F(ReminderTest, TheActiveProfilesReminderShowsEvenWhenTranslucencyFails) {
  EXPECT_TRUE(reminder.Initialize(false));
  EXPECT_EQ(std::tuple(window.failures, window.messageText, window.closeCount),
            std::tuple(std::vector<std::int32_t>{0}, "Your message displays here", 0));
  DataSystem::SetActiveProfileName("Profiles", "Work", DataSystem::kHiveCurrentUser);
  const ReminderSettings work{"work text", "w.wav", true, true, true, 7, 2};
  work.Save("Profiles\\Work");
  EXPECT_TRUE(ReadReminderSettings(false) == work);
}

TEST_F(ReminderTest, AutoCloseTimeByUnit) {
  // The time and unit stored, the seconds counted, and whether an error is shown.
  const std::tuple<std::uint32_t, std::uint32_t, std::uint32_t, bool> rows[] = {
      {1, 2, 3600, false},  // minutes: StatusAlternatesAndCountdownClosesExactlyOnceAtZero
      {9999, 3, 863913600, false},       // the page's largest
      {0, 1, 1, false},                  // zero still closes, after a second
      {5, 4, 5, true},                   // unknown unit: counted in seconds
      {50000, 3, kMaxAutoCloseSeconds, false},       // would wrap past 2^32
      {600000, 2, kMaxAutoCloseSeconds, false},      // past the signed range
  };
  for (const auto& [time, unit, seconds, errorShown] : rows) {
    SCOPED_TRACE(std::to_string(time) + " x unit " + std::to_string(unit));
    FakeReminderWindow w;
    Reminder rem{w};
    StoreCountdown(time, unit);
    ASSERT_TRUE(rem.Initialize(false));
    const auto error = errorShown ? std::vector<std::string>{"Error"} : std::vector<std::string>{};
    EXPECT_EQ(std::tuple(rem.AutoCloseSecondsLeft(), w.rangeHigh, w.messages),
              std::tuple(seconds, seconds, error));
  }
  EXPECT_EQ(CountdownStatusText(kMaxAutoCloseSeconds),
            "Auto close after: 24855 Days 03 Hour 14 Min. 07 Sec.");
}

// Sounds once and looped, each stopped with the window: ReminderWin32Test.
TEST_F(ReminderTest, WithoutAutoCloseOrPlayTheBarIsFullAndNothingMovesOrSounds) {
  ReminderSettings{"msg", "C:\\s.wav", false, true, false, 2, 1}.Save(kDefaultSection);
  ASSERT_TRUE(reminder.Initialize(false));
  EXPECT_EQ(std::tuple(window.rangeHigh, window.progress, window.TimersStopped(), sound.log.empty(),
                       reminder.SoundLooped()),
            std::tuple(1u, 1u, true, true, false));
  reminder.OnStatusClick();
  reminder.OnTimer(kReminderCountdownTimer);
  reminder.OnTimer(kReminderStatusTimer);
  EXPECT_EQ(std::tuple(window.status, window.progress, window.closeCount, LabelAlternationPaused()),
            std::tuple("", 1u, 0, false));
}

TEST_F(ReminderTest, ClicksPauseAndResumeAndThePauseOutlivesTheWindow) {
  StoreCountdown(30, 0);
  SetLabelAlternationPaused(true);  // an odd number of clicks in an earlier reminder
  ASSERT_TRUE(reminder.Initialize(false));
  const char* const sound = "You should hear sound once";
  // The ms run, the status then, whether a click follows, and paused after it.
  const std::tuple<std::int64_t, const char*, bool, bool> steps[] = {
      // Alternating regardless; the first click restarts rather than pauses.
      {1900, "Auto close after: 29 Second(s)", true, false},
      {1900, sound, true, true},  // pause: the sound text stays (held on: ReminderWin32Test)
      {5700, sound, true, false},  // resume: a full period before the next change
      {1800, sound, false, false},
      {100, "Auto close after: 19 Second(s)", false, false},
  };
  for (const auto& [ms, status, click, paused] : steps) {
    window.Advance(reminder, ms);
    EXPECT_EQ(window.status, status) << window.now;
    if (click) reminder.OnStatusClick();
    EXPECT_EQ(LabelAlternationPaused(), paused) << window.now;
  }
}

TEST_F(ReminderTest, StatusAlternatesAndCountdownClosesExactlyOnceAtZero) {
  StoreCountdown(2, 1);
  ASSERT_TRUE(reminder.Initialize(false));
  EXPECT_EQ(window.messageText, "msg");
  window.Advance(reminder, 2 * kReminderStatusMilliseconds);
  EXPECT_EQ(window.status, "You should hear sound once");  // its turn even with Play off
  window.Advance(reminder, kReminderStatusMilliseconds);
  EXPECT_EQ(window.status, "Auto close after: 01 Min 55 Sec");
  window.Advance(reminder, 119000 - window.now);
  EXPECT_EQ(std::tuple(window.closeCount, reminder.AutoCloseSecondsLeft(), window.progress),
            std::tuple(0, 1u, 119u));
  window.Advance(reminder, 1000);
  EXPECT_EQ(std::tuple(window.closeCount, window.progress, window.TimersStopped()),
            std::tuple(1, 120u, true));
  // Ticks already queued when the window was asked to close change nothing.
  reminder.OnTimer(kReminderCountdownTimer);
  reminder.OnTimer(kReminderStatusTimer);
  reminder.OnStatusClick();
  EXPECT_EQ(std::tuple(window.closeCount, reminder.AutoCloseSecondsLeft(), window.progress),
            std::tuple(1, 0u, 120u));
}

}  // namespace
