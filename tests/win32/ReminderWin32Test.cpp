// The real reminder window, run modally on its own thread and watched from outside; settings
// from an in-memory registry, sounds recorded, never played. (Its status texts and countdown:
// the core's ReminderTest.)
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <future>
#include <string>
#include <vector>

#include "app/win32/Reminder.h"
#include "platform/Services.h"
#include "platform/memory/MemoryRegistry.h"
#include "platform/memory/RecordingSoundPlayer.h"
#include "resources/reminder_ids.h"
#include "settings/SettingsStore.h"

namespace {

bool WaitUntil(const std::function<bool()>& condition, int milliseconds) {
  for (int waited = 0; !condition(); waited += 20) {
    if (waited >= milliseconds) return false;
    Sleep(20);
  }
  return true;
}

std::string WindowText(HWND window) {
  char buffer[512] = {};
  GetWindowTextA(window, buffer, sizeof buffer);
  return buffer;
}

// Looped with auto-close, and once closed by its close box: the sound is
// started with its flags and stopped with the window either way.
TEST(ReminderWin32Test, ShowsTheTextPlaysTheSoundAndStopsItWithTheWindow) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  struct Row {
    std::vector<std::uint32_t> numbers;  // Play, Looped, Close, ClsTime, ClsTType
    const char* status;
    bool closeBox;
    INT_PTR result;
    const char* play;
  } const rows[] = {
      {{1, 1, 1, 2, 0}, "You should hear looped sound", false, IDOK, "Play(C:\\s.wav, 0x20009)"},
      {{1, 0, 0, 0, 0}, "You should hear sound once", true, IDCANCEL, "Play(C:\\s.wav, 0x20001)"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.status);
    platform::MemoryRegistry registry;
    platform::ScopedRegistry registryGuard{registry};
    platform::RecordingSoundPlayer sound;
    platform::ScopedSoundPlayer soundGuard{sound};
    DataSystem::WriteStrings({DataSystem::kTxt, DataSystem::kPath}, {"Call the garage\r\nbefore noon", "C:\\s.wav"},
                             "Profiles\\Default", DataSystem::kHiveCurrentUser);
    DataSystem::WriteNumbers({DataSystem::kPlay, DataSystem::kLooped, DataSystem::kClose, DataSystem::kClsTime,
                              DataSystem::kClsTType},
                             row.numbers, "Profiles\\Default", DataSystem::kHiveCurrentUser);
    CReminder reminder;
    std::future<INT_PTR> run = std::async(std::launch::async, [&] { return reminder.Run(nullptr); });
    HWND window = nullptr;
    WaitUntil([&] { return (window = FindWindowA(nullptr, "Reminder")) && IsWindowVisible(window); }, 10000);
    EXPECT_NE(window, nullptr);
    if (window) {
      EXPECT_EQ(WindowText(GetDlgItem(window, IDC_REMINDER_TEXT)), "Call the garage\r\nbefore noon");
      EXPECT_EQ(WindowText(GetDlgItem(window, IDC_REMINDER_STATUS)), row.status);
      EXPECT_NE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
      if (row.closeBox) PostMessageA(window, WM_CLOSE, 0, 0);
    }
    const bool done = run.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
    EXPECT_TRUE(done);
    if (!done && window) PostMessageA(window, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(run.get(), row.result);
    EXPECT_EQ(sound.log, (std::vector<std::string>{row.play, "Stop"}));
  }
}

}  // namespace
