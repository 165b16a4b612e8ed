// The action pages inside the running program: what OK writes, the reminder
// test, the checks of the auto-close field and the pattern lists, and
// which pages and controls each Windows version gets.
#include "tests/e2e/SimProcess.h"

#include <commctrl.h>

namespace {

using namespace e2e;

// Tabs of the sheet when every action is offered.
constexpr int kReminderTab = 2, kDisconnectTab = 3, kKillTab = 4;
constexpr int kReminderText = 1004, kReminderTest = 1013, kCloseTime = 1015, kReminderWindowText = 1009;
constexpr int kConnections = 1090, kNewConnection = 1093, kDeleteConnection = 1094, kTestConnections = 1095;
constexpr int kWakeMac = 1099, kKillPatterns = 1101, kRunning = 1102, kAddRunning = 1103, kTestKill = 1105;

const std::string kProfile = "Profiles\\Default\\";

class ActionPagesE2e : public SimTest {
 protected:
  // Edits row `row` of a pattern list in place as a user would: the list's
  // edit box (Unicode, as a click opens it) gets the text, then Enter.
  void EditRow(HWND list, int row, const std::wstring& text, bool started = false) {
    if (!started) SimProcess::Send(list, LVM_EDITLABELW, static_cast<WPARAM>(row), 0);
    HWND edit = nullptr;
    ASSERT_TRUE(WaitFor([&] {
      return (edit = reinterpret_cast<HWND>(SimProcess::Send(list, LVM_GETEDITCONTROL))) != nullptr;
    }, 3000));
    TypeText(edit, text);
    PostMessageA(edit, WM_KEYDOWN, VK_RETURN, 0);
    WaitFor([&] { return SimProcess::Send(list, LVM_GETEDITCONTROL) == 0; }, 3000);
  }
  // Posts a click on a page button and waits for the list to have `rows` rows.
  static bool ClickUntilRows(HWND page, int button, HWND list, int rows) {
    Press(page, button);
    return WaitFor([&] { return SimProcess::Send(list, LVM_GETITEMCOUNT) == rows; }, 3000);
  }
};

TEST_F(ActionPagesE2e, OkWritesOnlyThePagesThatWereShown) {
  // Values no page would write, in pages the run never shows.
  registry::SetDword(kProfile + "HNProp", "Forced", 7);
  registry::SetDword(kProfile + "SDProp", "Reason", 42);
  registry::SetString(kProfile + "WakeOnLAN", "MACAddr", "not a mac");
  registry::SetString(kProfile + "Process", "ToKill", "a.exe||b.exe");
  registry::SetDword(kProfile + "Reminder", "ClsTime", 30);

  HWND sheet = sim_.emplace().OpenActionSheet("Reminder");
  ASSERT_NE(sheet, nullptr);
  // The sheet opens on the selected action's page.
  TypeText(GetDlgItem(CurrentPage(sheet), kReminderText), "Shown and saved");
  // An auto-close time above the range is refused and becomes zero.
  HWND field = GetDlgItem(CurrentPage(sheet), kCloseTime);
  SimProcess::Send(field, EM_SETSEL, 0, -1);
  PostChars(field, L"10000");
  EXPECT_EQ(sim_->TakeMessageBox(), "Please enter an integer between 0 and 9999.");
  EXPECT_TRUE(WaitFor([&] { return sim_->Text(field) == "0"; }, 3000)) << sim_->Text(field);
  sim_->ShowPage(kKillTab);  // left as it is
  ASSERT_TRUE(sim_->CloseSheet(IDOK));

  EXPECT_EQ(registry::String(kProfile + "Reminder", "Txt"), "Shown and saved");
  EXPECT_EQ(registry::Dword(kProfile + "Reminder", "ClsTime"), 0u);
  EXPECT_EQ(registry::String(kProfile + "Process", "ToKill"), "a.exe|b.exe|");
  EXPECT_EQ(registry::Dword(kProfile + "HNProp", "Forced"), 7u);
  EXPECT_EQ(registry::Dword(kProfile + "SDProp", "Reason"), 42u);
  EXPECT_EQ(registry::String(kProfile + "WakeOnLAN", "MACAddr"), "not a mac");
  EXPECT_FALSE(registry::KeyExists(kProfile + "RAS"));
}

TEST_F(ActionPagesE2e, ReminderTestShowsTheUnsavedTextAndLeavesNoScratchSection) {
  HWND sheet = sim_.emplace().OpenActionSheet("Reminder");
  ASSERT_NE(sheet, nullptr);
  HWND page = sim_->ShowPage(kReminderTab);
  // Typed text the code page lacks is refused before anything is written.
  HWND field = GetDlgItem(page, kReminderText);
  TypeText(field, "");
  PostChars(field, L"x\u0420\u0430");
  Press(page, kReminderTest);
  EXPECT_EQ(sim_->TakeMessageBox(),
            "This text contains characters that cannot be stored on this system.");
  EXPECT_FALSE(registry::KeyExists("Temp"));

  TypeText(GetDlgItem(page, kReminderText), "Not saved yet");
  Press(page, kReminderTest);
  HWND window = sim_->WaitForBox("Reminder", 5000);
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(registry::KeyExists("Temp\\Reminder"));
  // The focus starts on OK; keys typed at the window do not change the
  // message, and Enter closes it.
  HWND focus = FocusOf(window);
  EXPECT_EQ(focus, GetDlgItem(window, IDOK));
  SimProcess::Send(GetDlgItem(window, kReminderWindowText), WM_CHAR, 'x', 1);
  SimProcess::Send(GetDlgItem(window, kReminderWindowText), WM_CHAR, VK_RETURN, 1);
  EXPECT_EQ(sim_->Text(GetDlgItem(window, kReminderWindowText)), "Not saved yet");
  PostKey(focus, VK_RETURN);
  EXPECT_TRUE(WaitFor([&] { return !IsWindow(window); }, 3000));
  if (IsWindow(window)) CloseDialog(window, IDOK);
  EXPECT_TRUE(WaitFor([&] { return !registry::KeyExists("Temp"); }, 3000));

  ASSERT_TRUE(sim_->CloseSheet(IDCANCEL));
  EXPECT_NE(registry::String(kProfile + "Reminder", "Txt"), "Not saved yet");
}

TEST_F(ActionPagesE2e, PatternRowsAreEditedInPlaceAndStoredWithBars) {
  registry::SetString(kProfile + "RAS", "ToDiscon", "");
  HWND sheet = sim_.emplace().OpenActionSheet("Hang Up Connection(s)");
  ASSERT_NE(sheet, nullptr);
  HWND page = sim_->ShowPage(kDisconnectTab);
  HWND list = GetDlgItem(page, kConnections);
  using Rows = std::vector<std::string>;
  ASSERT_TRUE(sim_->ListColumn(list).empty());

  // New starts editing the new row; a name the code page lacks is refused.
  ASSERT_TRUE(ClickUntilRows(page, kNewConnection, list, 1));
  EXPECT_EQ(sim_->ListColumn(list), Rows{"[ConnectionName]"});
  EditRow(list, 0, L"\u0421\u0435\u0442\u044C", true);
  EXPECT_EQ(sim_->TakeMessageBox(), "This text contains characters that cannot be stored on this system.");
  EXPECT_EQ(sim_->ListColumn(list), Rows{"[ConnectionName]"});
  EditRow(list, 0, L"*");
  EXPECT_EQ(sim_->ListColumn(list), Rows{"*"});

  // A second row, deleted again; with nothing selected Delete asks for a row.
  ASSERT_TRUE(ClickUntilRows(page, kNewConnection, list, 2));
  EditRow(list, 1, L"Office", true);
  EXPECT_EQ(sim_->ListColumn(list), (Rows{"*", "Office"}));
  ASSERT_TRUE(ClickUntilRows(page, kDeleteConnection, list, 1));
  Press(page, kDeleteConnection);
  EXPECT_EQ(sim_->TakeMessageBox(), "Please select an item.");
  EXPECT_EQ(sim_->ListColumn(list), Rows{"*"});

  // Test hangs up with the rows on the page, before they are saved.
  Press(page, kTestConnections);
  EXPECT_TRUE(sim_->JournalHas("HangUp *|"));
  EXPECT_EQ(registry::String(kProfile + "RAS", "ToDiscon"), "");
  ASSERT_TRUE(sim_->CloseSheet(IDOK));
  EXPECT_EQ(registry::String(kProfile + "RAS", "ToDiscon"), "*|");
}

// The process to end is this driver: a simulation that ended it would end
// the run.
TEST_F(ActionPagesE2e, KillTestChoosesTheProcessAddedFromTheRunningList) {
  const std::string self = "e2e_tests.exe";
  HWND sheet = sim_.emplace().OpenActionSheet("Kill Process(es)");
  ASSERT_NE(sheet, nullptr);
  HWND page = sim_->ShowPage(kKillTab);
  HWND running = GetDlgItem(page, kRunning);

  Press(page, kAddRunning);
  EXPECT_EQ(sim_->TakeMessageBox(), "Please select item(s).");
  const int row = IndexOf(sim_->ListColumn(running), self);
  ASSERT_NE(row, -1) << "the running list misses " << self;
  sim_->SelectListRow(running, row);
  // Twice: a name the list has already is not added again.
  for (int i = 0; i < 2; ++i) SimProcess::Send(GetDlgItem(page, kAddRunning), BM_CLICK);
  EXPECT_EQ(sim_->ListColumn(GetDlgItem(page, kKillPatterns)), std::vector<std::string>{self});

  Press(page, kTestKill);
  // The simulation journals the kill it chose and ends nothing.
  EXPECT_TRUE(sim_->JournalHas("EndProcess " + std::to_string(GetCurrentProcessId())));
  EXPECT_TRUE(sim_->JournalHas("KillProcesses " + self + "|"));
  ASSERT_TRUE(sim_->CloseSheet(IDCANCEL));
}

TEST_F(ActionPagesE2e, EnterRunsTheMacCheckOfOkAndStoresUpperCase) {
  registry::SetString(kProfile + "WakeOnLAN", "MACAddr", "00A0C9000001");
  HWND sheet = sim_.emplace().OpenActionSheet("Wake on LAN");
  ASSERT_NE(sheet, nullptr);
  HWND mac = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (mac = GetDlgItem(CurrentPage(sheet), kWakeMac)) != nullptr; }, 5000));
  TypeText(mac, "not a mac at all");
  PostKey(mac, VK_RETURN);  // as the sheet's dialog manager meets it
  EXPECT_EQ(sim_->TakeMessageBox(), "Invalid MAC address.");
  EXPECT_TRUE(IsWindow(sheet));
  EXPECT_EQ(sim_->Text(mac), "00A0C9000001");
  EXPECT_EQ(registry::String(kProfile + "WakeOnLAN", "MACAddr"), "00A0C9000001");

  TypeText(mac, "00a0c91234ff");
  PostKey(mac, VK_RETURN);
  EXPECT_TRUE(WaitFor([&] { return !IsWindow(sheet); }, 5000));
  EXPECT_EQ(registry::String(kProfile + "WakeOnLAN", "MACAddr"), "00A0C91234FF");
}

}  // namespace
