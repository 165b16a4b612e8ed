// The real reminder window, run modally on its own thread and watched from outside; settings
// from an in-memory registry, sounds recorded, never played.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "actions/Reminder.h"
#include "app/win32/Reminder.h"
#include "platform/Services.h"
#include "platform/memory/MemoryRegistry.h"
#include "platform/memory/RecordingSoundPlayer.h"
#include "resources/reminder_ids.h"
#include "settings/SettingsStore.h"

using platform::SoundCall;

namespace {

using Clock = std::chrono::steady_clock;

bool WaitUntil(const std::function<bool()>& condition, int milliseconds) {
  const auto end = Clock::now() + std::chrono::milliseconds(milliseconds);
  while (Clock::now() < end) {
    if (condition()) return true;
    Sleep(20);
  }
  return condition();
}

std::string WindowText(HWND window) {
  char buffer[512] = {};
  GetWindowTextA(window, buffer, sizeof buffer);
  return buffer;
}

class ReminderWin32Test : public ::testing::Test {
 protected:
  ReminderWin32Test() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    Vesperon::SetLabelAlternationPaused(false);
  }
  ~ReminderWin32Test() override {
    if (thread_.joinable()) {
      if (HWND w = FindTopWindow("Reminder")) PostMessageA(w, WM_COMMAND, IDOK, 0);
      thread_.join();
    }
    Vesperon::SetLabelAlternationPaused(false);
  }

  void Store(const std::string& text, const std::string& path,
             std::vector<std::uint32_t> numbers) {
    DataSystem::WriteStrings({DataSystem::kTxt, DataSystem::kPath}, {text, path},
                             "Profiles\\Default", DataSystem::kHiveCurrentUser);
    DataSystem::WriteNumbers({DataSystem::kPlay, DataSystem::kLooped, DataSystem::kClose,
                              DataSystem::kClsTime, DataSystem::kClsTType},
                             numbers, "Profiles\\Default", DataSystem::kHiveCurrentUser);
  }

  // Runs the reminder on its own thread, as the action would, and waits for
  // it to show; nullptr after 10 s.
  HWND Open() {
    thread_ = std::thread([this] {
      threadId_ = GetCurrentThreadId();
      result_ = reminder_.Run(nullptr);
      done_ = true;
    });
    HWND window = nullptr;
    WaitUntil([&] { return (window = FindTopWindow("Reminder")) != nullptr && IsWindowVisible(window); },
              10000);
    return window;
  }
  // A top-level window of the reminder's thread with that title.
  HWND FindTopWindow(const std::string& title) {
    if (threadId_ == 0) return nullptr;
    struct Search {
      std::string title;
      HWND found = nullptr;
    } search{title};
    EnumThreadWindows(
        threadId_,
        [](HWND w, LPARAM l) -> BOOL {
          auto* s = reinterpret_cast<Search*>(l);
          if (WindowText(w) != s->title) return TRUE;
          s->found = w;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
  }
  std::string Status(HWND window) { return WindowText(GetDlgItem(window, IDC_REMINDER_STATUS)); }
  bool WaitClosed(int milliseconds) {
    if (!WaitUntil([&] { return done_.load(); }, milliseconds)) return false;
    thread_.join();
    return true;
  }

  platform::MemoryRegistry registry;
  platform::ScopedRegistry registryGuard{registry};
  platform::RecordingSoundPlayer sound;
  platform::ScopedSoundPlayer soundGuard{sound};
  CReminder reminder_;
  std::thread thread_;
  std::atomic<DWORD> threadId_{0};
  std::atomic<bool> done_{false};
  INT_PTR result_ = 0;
};

TEST_F(ReminderWin32Test, ShowsTheTextAlternatesTheStatusAndClosesItself) {
  Store("Call the garage\r\nbefore noon", "C:\\no\\such.wav", {1, 1, 1, 5, 0});
  HWND window = Open();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(WindowText(GetDlgItem(window, IDC_REMINDER_TEXT)), "Call the garage\r\nbefore noon");
  EXPECT_NE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
  HWND progress = GetDlgItem(window, IDC_REMINDER_PROGRESS);
  EXPECT_EQ(SendMessageA(progress, PBM_GETRANGE, FALSE, 0), 5);
  EXPECT_EQ(Status(window), "You should hear looped sound");

  // The countdown takes its turn after 1.9 s, the sound text after 3.8 s.
  std::string countdown;
  EXPECT_TRUE(WaitUntil(
      [&] {
        countdown = Status(window);
        return countdown.rfind("Auto close after: ", 0) == 0;
      },
      3000));
  EXPECT_TRUE(countdown == "Auto close after: 04 Second(s)" ||
              countdown == "Auto close after: 03 Second(s)")
      << countdown;
  EXPECT_TRUE(WaitUntil([&] { return Status(window) == "You should hear looped sound"; }, 3000));

  ASSERT_TRUE(WaitClosed(6000));
  EXPECT_EQ(result_, IDOK);
  const std::vector<SoundCall> expected{{false, "C:\\no\\such.wav", 0x20009}, {true, "", 0}};
  EXPECT_EQ(sound.calls, expected);
}

TEST_F(ReminderWin32Test, ClickOnTheStatusLinePausesAndTheCloseBoxEndsTheSound) {
  Store("stays", "C:\\once.wav", {1, 0, 1, 1, 1});
  HWND window = Open();
  ASSERT_NE(window, nullptr);
  HWND status = GetDlgItem(window, IDC_REMINDER_STATUS);
  SendMessageA(status, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
  SendMessageA(status, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
  EXPECT_TRUE(Vesperon::LabelAlternationPaused());
  EXPECT_EQ(Status(window), "You should hear sound once");
  // Two periods of the alternation pass without a change while the bar moves.
  Sleep(4200);
  EXPECT_EQ(Status(window), "You should hear sound once");
  EXPECT_GE(SendMessageA(GetDlgItem(window, IDC_REMINDER_PROGRESS), PBM_GETPOS, 0, 0), 3);

  PostMessageA(window, WM_CLOSE, 0, 0);
  ASSERT_TRUE(WaitClosed(5000));
  EXPECT_EQ(result_, IDCANCEL);
  const std::vector<SoundCall> expected{{false, "C:\\once.wav", 0x20001}, {true, "", 0}};
  EXPECT_EQ(sound.calls, expected);
}

}  // namespace
