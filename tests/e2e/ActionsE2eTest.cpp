// A three-second countdown in the running program carries out the actions
// the simulation build performs for real: "Kill Process(es)" ends this
// driver's own uniquely named process and no other, "Wake on LAN" sends the
// magic packet to 127.0.0.1 port 7, and "Reminder" shows the stored text in
// a window that closes itself. The settings name only what the driver owns.
#include <winsock2.h>

#include "tests/e2e/SimProcess.h"

#include <gtest/gtest.h>

#include "tests/win32/LoopbackReceiver.h"

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "resources/reminder_ids.h"
#include "settings/SettingsStore.h"

namespace {

using namespace e2e;

constexpr int kActivate = 1000, kActionList = 1035, kTriggerList = 1036, kTimeField = 1037,
              kNumberField = 1040;

std::string TempFolder() {
  char dir[MAX_PATH] = {};
  GetTempPathA(sizeof dir, dir);
  return dir;
}

std::string ProfileSection() {
  return "Profiles\\" + DataSystem::GetActiveProfileName("Profiles", DataSystem::kHiveCurrentUser);
}

// A copy of the waiter next to this driver, running under a unique name.
class OwnProcess {
 public:
  explicit OwnProcess(const std::string& name) : path_(TempFolder() + name) {
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string waiter = self;
    waiter.replace(waiter.find_last_of('\\') + 1, std::string::npos, "e2e_waiter.exe");
    if (!CopyFileA(waiter.c_str(), path_.c_str(), FALSE)) return;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    std::string command = "\"" + path_ + "\"";
    started_ = CreateProcessA(path_.c_str(), command.data(), nullptr, nullptr, FALSE,
                              DETACHED_PROCESS, nullptr, nullptr, &startup, &info_) != 0;
  }
  ~OwnProcess() {
    if (started_) {
      // Ours to end: started above.
      if (Running()) {
        TerminateProcess(info_.hProcess, 0);
        WaitForSingleObject(info_.hProcess, 5000);
      }
      CloseHandle(info_.hThread);
      CloseHandle(info_.hProcess);
    }
    for (int attempt = 0; attempt < 20; ++attempt) {
      if (DeleteFileA(path_.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND) break;
      Sleep(100);
    }
  }
  OwnProcess(const OwnProcess&) = delete;
  OwnProcess& operator=(const OwnProcess&) = delete;

  bool Started() const { return started_; }
  bool Running() const { return WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT; }
  bool WaitForEnd(DWORD milliseconds) const {
    return WaitForSingleObject(info_.hProcess, milliseconds) == WAIT_OBJECT_0;
  }

 private:
  std::string path_;
  PROCESS_INFORMATION info_{};
  bool started_ = false;
};

// The magic packet goes to port 7.
struct EchoPortReceiver : testing_support::LoopbackReceiver {
  EchoPortReceiver() : LoopbackReceiver(7) {}
};

class ActionsE2e : public testing::Test {
 protected:
  void SetUp() override {
    registry::DeleteAll();
    registry::SetDword("Global\\TriggerStartup", "Minimize", 0);
  }
  void TearDown() override { registry::DeleteAll(); }

  // Starts the program, waits for its window and returns false if it never
  // showed.
  bool Start() {
    sim_.emplace(SimExe(), TempFolder() + "vesperon-e2e-actions.txt");
    HWND main = sim_->MainWindow();
    return main != nullptr && WaitFor([&] { return IsWindowVisible(main) != FALSE; }, 5000);
  }

  // A countdown of 00:00:03 on the action with this list text.
  void ArmCountdown(const std::string& action) {
    const std::vector<std::string> actions = sim_->ComboExTexts(kActionList);
    const auto found = std::find(actions.begin(), actions.end(), action);
    ASSERT_NE(found, actions.end()) << action;
    sim_->SelectComboItem(kTriggerList, 1);
    sim_->SetText(kNumberField, "0");
    SYSTEMTIME time{};
    GetLocalTime(&time);
    time.wHour = 0;
    time.wMinute = 0;
    time.wSecond = 3;
    sim_->SetPickerTime(kTimeField, time);
    sim_->SelectComboItem(kActionList, static_cast<int>(found - actions.begin()));
    sim_->Click(kActivate);
    ASSERT_TRUE(sim_->IsChecked(kActivate));
  }

  bool JournalHas(const std::string& line) {
    const std::vector<std::string> lines = sim_->JournalLines();
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  }

  std::optional<SimProcess> sim_;
};

TEST_F(ActionsE2e, KillEndsTheNamedProcessAndNoOther) {
  char unique[40];
  wsprintfA(unique, "vspe2e%lx%lx", GetCurrentProcessId(), GetTickCount() & 0xFFFFF);
  OwnProcess target(std::string(unique) + "t.exe");
  OwnProcess bystander(std::string(unique) + "b.exe");
  ASSERT_TRUE(target.Started());
  ASSERT_TRUE(bystander.Started());
  ASSERT_TRUE(Start());
  // Mixed case against the listed lower case: the match is case-blind.
  std::string pattern = std::string(unique) + "T.Exe";
  pattern[0] = 'V';
  DataSystem::WriteStrings({DataSystem::kToKill}, {"|" + pattern + "|"}, ProfileSection(),
                           DataSystem::kHiveCurrentUser);
  ArmCountdown("Kill Process(es)");

  EXPECT_TRUE(target.WaitForEnd(10000)) << "the named process still runs";
  EXPECT_TRUE(JournalHas("KillProcesses"));
  EXPECT_TRUE(bystander.Running()) << "a process the pattern does not name ended";
  EXPECT_TRUE(sim_->Quit()) << "the program ended itself or hangs";
}

TEST_F(ActionsE2e, WakeOnLanSendsTheMagicPacketToLoopback) {
  EchoPortReceiver receiver;
  if (receiver.bindError == WSAEACCES) {
    GTEST_SKIP() << "port 7 needs privileges this run does not have (WSAEACCES)";
  }
  ASSERT_EQ(receiver.bindError, 0) << "port 7 on 127.0.0.1 cannot be bound";
  ASSERT_TRUE(Start());
  const std::string section = ProfileSection();
  // A mask of all ones: 127.0.0.1 is its own broadcast address.
  DataSystem::WriteNumbers({DataSystem::kIPAddr, DataSystem::kSubnet}, {0x7F000001u, 0xFFFFFFFFu},
                           section, DataSystem::kHiveCurrentUser);
  DataSystem::WriteStrings({DataSystem::kMACAddr}, {"00A0C914C829"}, section,
                           DataSystem::kHiveCurrentUser);
  ArmCountdown("Wake on LAN");

  std::vector<std::uint8_t> expected(6, 0xFF);
  for (int i = 0; i < 20; ++i) expected.insert(expected.end(), {0x00, 0xA0, 0xC9, 0x14, 0xC8, 0x29});
  EXPECT_EQ(receiver.Receive(10000), expected);
  EXPECT_TRUE(JournalHas("WakeOnLan"));
  EXPECT_EQ(receiver.Receive(500), std::nullopt) << "one packet per firing";
  EXPECT_TRUE(sim_->Quit());
}

TEST_F(ActionsE2e, ReminderShowsTheStoredTextAndClosesItself) {
  ASSERT_TRUE(Start());
  const std::string section = ProfileSection();
  const std::string text = "Stretch your legs";
  DataSystem::WriteStrings({DataSystem::kTxt}, {text}, section, DataSystem::kHiveCurrentUser);
  // Zero seconds is held to the shortest countdown, one second.
  DataSystem::WriteNumbers({DataSystem::kClose, DataSystem::kClsTime, DataSystem::kClsTType},
                           {1, 0, 0}, section, DataSystem::kHiveCurrentUser);
  ArmCountdown("Reminder");

  HWND reminder = nullptr;
  std::string shown;
  // Read at first sight: the window is gone a second later.
  ASSERT_TRUE(WaitFor(
      [&] {
        reminder = sim_->FindMessageBox("Reminder");
        if (reminder) shown = sim_->Text(GetDlgItem(reminder, IDC_REMINDER_TEXT));
        return reminder != nullptr;
      },
      10000))
      << "no reminder window";
  EXPECT_EQ(shown, text);
  EXPECT_TRUE(WaitFor([&] { return !IsWindow(reminder); }, 5000)) << "the reminder stays open";
  EXPECT_TRUE(WaitFor([&] { return JournalHas("ReminderClosed"); }, 3000));
  EXPECT_TRUE(sim_->Quit());
}

}  // namespace
