// The action pages inside the running program: what OK writes, the reminder
// test, the checks of the auto-close field, the hardware address and the
// pattern lists, and which pages and controls each Windows version gets.
#include "tests/e2e/SimProcess.h"

#include <commctrl.h>
#include <prsht.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace e2e;

constexpr int kActionList = 1035, kProperties = 1039;
constexpr int kSheetTabs = 0x3020;
constexpr int kMessageBoxText = 0xFFFF;  // the static text of a message box
// Tabs of the sheet when every action is offered.
constexpr int kShutdownTab = 0, kReminderTab = 2, kDisconnectTab = 3, kWakeTab = 5;
// Controls of the pages.
constexpr int kReminderText = 1004, kReminderTest = 1013, kCloseTime = 1015;
constexpr int kForceHung = 1017, kReasonList = 1018, kReasonLabel = 1120;
constexpr int kConnections = 1090, kNewConnection = 1093, kDeleteConnection = 1094,
              kTestConnections = 1095;
constexpr int kMacField = 1099;
constexpr int kKillTab = 4, kKillPatterns = 1101, kRunning = 1102, kAddRunning = 1103, kTestKill = 1105;
constexpr int kReminderWindowText = 1009;

std::string Journal() { return JournalPath("vesperon-e2e-pages-journal.txt"); }

const std::string kProfile = "Profiles\\Default\\";

void SetString(const std::string& key, const std::string& name, const std::string& value) {
  HKEY h = nullptr;
  const std::string path = std::string(registry::kRoot) + "\\" + key;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &h,
                      nullptr) != ERROR_SUCCESS)
    return;
  RegSetValueExA(h, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>(value.size() + 1));
  RegCloseKey(h);
}

bool KeyExists(const std::string& key) {
  HKEY h = nullptr;
  const std::string path = std::string(registry::kRoot) + "\\" + key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
  RegCloseKey(h);
  return true;
}

std::string StoredString(const std::string& key, const std::string& name) {
  std::string value = "<missing>";
  registry::GetString(key, name, value);
  return value;
}

DWORD StoredDword(const std::string& key, const std::string& name) {
  DWORD value = 0xDEADBEEF;
  registry::GetDword(key, name, value);
  return value;
}

// Sends a list message with an item record (and room for its text) in the
// program's memory: the list's pointers are not carried across processes.
// Returns the text the list left there.
std::string SendItem(DWORD pid, HWND list, UINT msg, int row, LVITEMA item = {}) {
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  if (!process) return "<no access>";
  constexpr SIZE_T kTextSize = 256;
  auto* remote = static_cast<char*>(
      VirtualAllocEx(process, nullptr, sizeof item + kTextSize, MEM_COMMIT, PAGE_READWRITE));
  item.pszText = remote + sizeof item;
  item.cchTextMax = kTextSize;
  WriteProcessMemory(process, remote, &item, sizeof item, nullptr);
  SimProcess::Send(list, msg, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote));
  char text[kTextSize] = {};
  ReadProcessMemory(process, remote + sizeof item, text, kTextSize - 1, nullptr);
  VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  CloseHandle(process);
  return text;
}

std::vector<std::string> Rows(DWORD pid, HWND list) {
  std::vector<std::string> rows;
  const int count = static_cast<int>(SimProcess::Send(list, LVM_GETITEMCOUNT));
  for (int row = 0; row < count; ++row) rows.push_back(SendItem(pid, list, LVM_GETITEMTEXTA, row));
  return rows;
}

// Selects one row of a list in the program, as a click would.
void SelectRow(DWORD pid, HWND list, int row) {
  LVITEMA item{};
  item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendItem(pid, list, LVM_SETITEMSTATE, row, item);
}

// A copy of the waiter that sits next to the driver, running under a name
// no other process has; ended here if the test did not end it.
class OwnProcess {
 public:
  explicit OwnProcess(const std::string& name) {
    char dir[MAX_PATH] = {}, self[MAX_PATH] = {};
    GetTempPathA(sizeof dir, dir);
    path_ = std::string(dir) + name;
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string waiter = self;
    waiter.replace(waiter.find_last_of('\\') + 1, std::string::npos, "e2e_waiter.exe");
    if (!CopyFileA(waiter.c_str(), path_.c_str(), FALSE)) return;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    std::string command = "\"" + path_ + "\"";
    started_ = CreateProcessA(path_.c_str(), command.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS,
                              nullptr, nullptr, &startup, &info_) != 0;
  }
  ~OwnProcess() {
    if (started_) {
      if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(info_.hProcess, 0);
      WaitForSingleObject(info_.hProcess, 5000);
      CloseHandle(info_.hThread);
      CloseHandle(info_.hProcess);
    }
    for (int attempt = 0; attempt < 20 && !DeleteFileA(path_.c_str()); ++attempt) {
      if (GetLastError() == ERROR_FILE_NOT_FOUND) break;
      Sleep(100);
    }
  }
  OwnProcess(const OwnProcess&) = delete;
  OwnProcess& operator=(const OwnProcess&) = delete;

  bool Started() const { return started_; }
  bool WaitForEnd(DWORD ms) const { return WaitForSingleObject(info_.hProcess, ms) == WAIT_OBJECT_0; }

 private:
  std::string path_;
  PROCESS_INFORMATION info_{};
  bool started_ = false;
};

class ActionPagesE2e : public testing::Test {
 protected:
  void SetUp() override {
    registry::DeleteAll();
    registry::SetDword("Global\\TriggerStartup", "Minimize", 0);
  }
  void TearDown() override { registry::DeleteAll(); }

  // Starts the program and opens the sheet with `action` selected.
  HWND OpenSheet(const std::string& action, const std::string& version = "") {
    sim_.emplace(SimExe(version), Journal());
    if (!sim_->MainWindow()) return nullptr;
    const std::vector<std::string> actions = sim_->ComboExTexts(kActionList);
    const auto found = std::find(actions.begin(), actions.end(), action);
    if (found == actions.end()) return nullptr;
    sim_->SelectComboItem(kActionList, static_cast<int>(found - actions.begin()));
    sim_->PostClick(kProperties);
    HWND sheet = nullptr;
    WaitFor([&] { return (sheet = sim_->FindMessageBox("Action Properties")) != nullptr; }, 10000);
    return sheet;
  }

  static HWND ShowTab(HWND sheet, int tab) {
    SimProcess::Send(sheet, PSM_SETCURSEL, static_cast<WPARAM>(tab), 0);
    return reinterpret_cast<HWND>(SimProcess::Send(sheet, PSM_GETCURRENTPAGEHWND));
  }

  // Closes the sheet with OK or Cancel and waits until it is gone.
  static bool Close(HWND sheet, int button) {
    PostMessageA(sheet, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    return WaitFor([&] { return !IsWindow(sheet); }, 5000);
  }

  // The text of the program's next "Vesperon" message box, which is then
  // closed; empty if none came.
  std::string AnswerMessageBox() {
    HWND box = nullptr;
    if (!WaitFor([&] { return (box = sim_->FindMessageBox("Vesperon")) != nullptr; }, 5000)) return "";
    const std::string text = sim_->Text(GetDlgItem(box, kMessageBoxText));
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    WaitFor([&] { return !IsWindow(box); }, 5000);
    return text;
  }

  // Edits row `row` of a pattern list in place as a user would: the list's
  // edit box gets the text, then Enter.
  void EditRow(HWND list, int row, const std::string& text, bool started = false) {
    if (!started) SimProcess::Send(list, LVM_EDITLABELA, static_cast<WPARAM>(row), 0);
    HWND edit = nullptr;
    auto editBox = [&] { return reinterpret_cast<HWND>(SimProcess::Send(list, LVM_GETEDITCONTROL)); };
    ASSERT_TRUE(WaitFor([&] { return (edit = editBox()) != nullptr; }, 3000));
    SimProcess::Send(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    PostMessageA(edit, WM_KEYDOWN, VK_RETURN, 0);
    WaitFor([&] { return SimProcess::Send(list, LVM_GETEDITCONTROL) == 0; }, 3000);
  }

  std::optional<SimProcess> sim_;
};

TEST_F(ActionPagesE2e, OkWritesOnlyThePagesThatWereShown) {
  // Values no page would write, in pages the run never shows.
  registry::SetDword(kProfile + "HNProp", "Forced", 7);
  registry::SetDword(kProfile + "HNProp", "DisableWake", 9);
  registry::SetDword(kProfile + "SDProp", "Reason", 42);
  SetString(kProfile + "WakeOnLAN", "MACAddr", "not a mac");
  SetString(kProfile + "Process", "ToKill", "a.exe||b.exe");

  HWND sheet = OpenSheet("Reminder");
  ASSERT_NE(sheet, nullptr);
  HWND reminder = reinterpret_cast<HWND>(SimProcess::Send(sheet, PSM_GETCURRENTPAGEHWND));
  const std::string text = "Shown and saved";
  SimProcess::Send(GetDlgItem(reminder, kReminderText), WM_SETTEXT, 0,
                   reinterpret_cast<LPARAM>(text.c_str()));
  ShowTab(sheet, 4);  // Kill Process, left as it is
  ASSERT_TRUE(Close(sheet, IDOK));

  EXPECT_EQ(StoredString(kProfile + "Reminder", "Txt"), text);
  EXPECT_EQ(StoredString(kProfile + "Process", "ToKill"), "a.exe|b.exe|");
  EXPECT_EQ(StoredDword(kProfile + "HNProp", "Forced"), 7u);
  EXPECT_EQ(StoredDword(kProfile + "HNProp", "DisableWake"), 9u);
  EXPECT_EQ(StoredDword(kProfile + "SDProp", "Reason"), 42u);
  EXPECT_EQ(StoredString(kProfile + "WakeOnLAN", "MACAddr"), "not a mac");
  EXPECT_FALSE(KeyExists(kProfile + "RAS"));
  EXPECT_TRUE(sim_->Quit());
}

TEST_F(ActionPagesE2e, ReminderTestShowsTheUnsavedTextAndLeavesNoScratchSection) {
  HWND sheet = OpenSheet("Reminder");
  ASSERT_NE(sheet, nullptr);
  HWND page = ShowTab(sheet, kReminderTab);
  const std::string text = "Not saved yet";
  SimProcess::Send(GetDlgItem(page, kReminderText), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  PostMessageA(GetDlgItem(page, kReminderTest), BM_CLICK, 0, 0);

  HWND window = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (window = sim_->FindMessageBox("Reminder")) != nullptr; }, 5000));
  EXPECT_EQ(sim_->Text(GetDlgItem(window, kReminderWindowText)), text);
  EXPECT_TRUE(KeyExists("Temp\\Reminder"));
  PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(window); }, 5000));
  EXPECT_TRUE(WaitFor([&] { return !KeyExists("Temp"); }, 3000));

  ASSERT_TRUE(Close(sheet, IDCANCEL));
  EXPECT_NE(StoredString(kProfile + "Reminder", "Txt"), text);
  EXPECT_TRUE(sim_->Quit());
}

TEST_F(ActionPagesE2e, AutoCloseTimeAboveRangeIsRefusedAndBecomesZero) {
  HWND sheet = OpenSheet("Reminder");
  ASSERT_NE(sheet, nullptr);
  HWND field = GetDlgItem(ShowTab(sheet, kReminderTab), kCloseTime);
  SimProcess::Send(field, EM_SETSEL, 0, -1);
  for (char c : std::string("10000")) PostMessageA(field, WM_CHAR, static_cast<WPARAM>(c), 0);
  EXPECT_EQ(AnswerMessageBox(), "Please enter an integer between 0 and 9999.");
  EXPECT_TRUE(WaitFor([&] { return sim_->Text(field) == "0"; }, 3000)) << sim_->Text(field);
  ASSERT_TRUE(Close(sheet, IDOK));
  EXPECT_EQ(StoredDword(kProfile + "Reminder", "ClsTime"), 0u);
  EXPECT_TRUE(sim_->Quit());
}

TEST_F(ActionPagesE2e, PatternRowsAreEditedInPlaceAndStoredWithBars) {
  SetString(kProfile + "RAS", "ToDiscon", "");
  HWND sheet = OpenSheet("Hang Up Connection(s)");
  ASSERT_NE(sheet, nullptr);
  HWND page = ShowTab(sheet, kDisconnectTab);
  HWND list = GetDlgItem(page, kConnections);
  const DWORD pid = sim_->Id();
  ASSERT_TRUE(Rows(pid, list).empty());

  // New starts editing the new row; an empty name is refused.
  PostMessageA(GetDlgItem(page, kNewConnection), BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitFor([&] { return SimProcess::Send(list, LVM_GETITEMCOUNT) == 1; }, 3000));
  EXPECT_EQ(Rows(pid, list), std::vector<std::string>{"[ConnectionName]"});
  EditRow(list, 0, "", true);
  EXPECT_EQ(AnswerMessageBox(), "Connection name cannot be empty.");
  EXPECT_EQ(Rows(pid, list), std::vector<std::string>{"[ConnectionName]"});

  EditRow(list, 0, "dial|up");
  EXPECT_EQ(AnswerMessageBox(),
            "Connection name cannot contain any of the following characters:\n \\ / : \" < > |");
  EditRow(list, 0, "*");
  EXPECT_EQ(Rows(pid, list), std::vector<std::string>{"*"});

  // A second row, deleted again; with nothing selected Delete asks for a row.
  PostMessageA(GetDlgItem(page, kNewConnection), BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitFor([&] { return SimProcess::Send(list, LVM_GETITEMCOUNT) == 2; }, 3000));
  EditRow(list, 1, "Office", true);
  EXPECT_EQ(Rows(pid, list), (std::vector<std::string>{"*", "Office"}));
  PostMessageA(GetDlgItem(page, kDeleteConnection), BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitFor([&] { return SimProcess::Send(list, LVM_GETITEMCOUNT) == 1; }, 3000));
  PostMessageA(GetDlgItem(page, kDeleteConnection), BM_CLICK, 0, 0);
  EXPECT_EQ(AnswerMessageBox(), "Please select an item.");
  EXPECT_EQ(Rows(pid, list), std::vector<std::string>{"*"});

  // Test hangs up with the rows on the page, before they are saved.
  PostMessageA(GetDlgItem(page, kTestConnections), BM_CLICK, 0, 0);
  EXPECT_TRUE(WaitFor(
      [&] {
        const auto lines = sim_->JournalLines();
        return std::find(lines.begin(), lines.end(), "HangUp *|") != lines.end();
      },
      3000));
  EXPECT_EQ(StoredString(kProfile + "RAS", "ToDiscon"), "");

  ASSERT_TRUE(Close(sheet, IDOK));
  EXPECT_EQ(StoredString(kProfile + "RAS", "ToDiscon"), "*|");
  EXPECT_TRUE(sim_->Quit());
}

TEST_F(ActionPagesE2e, InvalidMacAddressIsRefusedWhenTheFieldIsLeft) {
  HWND sheet = OpenSheet("Wake on LAN");
  ASSERT_NE(sheet, nullptr);
  HWND page = ShowTab(sheet, kWakeTab);
  HWND field = GetDlgItem(page, kMacField);
  const std::string before = sim_->Text(field);
  EXPECT_EQ(before, "000000000000");
  const struct {
    std::string text;
    bool accepted;
  } cases[] = {{"12345", false}, {"00-11-22-33", false}, {"a0b1c2d3e4f5", true}};
  for (const auto& c : cases) {
    SimProcess::Send(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(c.text.c_str()));
    // What the field tells the page when the focus leaves it.
    PostMessageA(page, WM_COMMAND, MAKEWPARAM(kMacField, EN_KILLFOCUS), reinterpret_cast<LPARAM>(field));
    if (c.accepted) {
      EXPECT_FALSE(WaitFor([&] { return sim_->FindMessageBox("Vesperon") != nullptr; }, 1000)) << c.text;
      EXPECT_EQ(sim_->Text(field), c.text);
    } else {
      EXPECT_EQ(AnswerMessageBox(), "Invalid MAC address.") << c.text;
      EXPECT_EQ(sim_->Text(field), before) << c.text;
    }
  }
  ASSERT_TRUE(Close(sheet, IDOK));
  EXPECT_EQ(StoredString(kProfile + "WakeOnLAN", "MACAddr"), "a0b1c2d3e4f5");
  EXPECT_TRUE(sim_->Quit());
}

TEST_F(ActionPagesE2e, KillTestEndsTheProcessAddedFromTheRunningList) {
  char unique[40];
  wsprintfA(unique, "vspages%lx%lx.exe", GetCurrentProcessId(), GetTickCount() & 0xFFFFF);
  OwnProcess target(unique);
  ASSERT_TRUE(target.Started());
  HWND sheet = OpenSheet("Kill Process(es)");
  ASSERT_NE(sheet, nullptr);
  HWND page = ShowTab(sheet, kKillTab);
  HWND patterns = GetDlgItem(page, kKillPatterns);
  HWND running = GetDlgItem(page, kRunning);
  const DWORD pid = sim_->Id();

  PostMessageA(GetDlgItem(page, kAddRunning), BM_CLICK, 0, 0);
  EXPECT_EQ(AnswerMessageBox(), "Please select item(s).");
  const std::vector<std::string> names = Rows(pid, running);
  const auto found = std::find(names.begin(), names.end(), std::string(unique));
  ASSERT_NE(found, names.end()) << "the running list misses " << unique;
  SelectRow(pid, running, static_cast<int>(found - names.begin()));
  // Twice: a name the list has already is not added again.
  SimProcess::Send(GetDlgItem(page, kAddRunning), BM_CLICK);
  SimProcess::Send(GetDlgItem(page, kAddRunning), BM_CLICK);
  EXPECT_EQ(Rows(pid, patterns), std::vector<std::string>{unique});

  PostMessageA(GetDlgItem(page, kTestKill), BM_CLICK, 0, 0);
  EXPECT_TRUE(target.WaitForEnd(10000)) << "the listed process still runs";
  const auto lines = sim_->JournalLines();
  EXPECT_NE(std::find(lines.begin(), lines.end(), "KillProcesses " + std::string(unique) + "|"), lines.end());
  ASSERT_TRUE(Close(sheet, IDCANCEL));
  EXPECT_TRUE(sim_->Quit()) << "the program ended itself or hangs";
}

struct VersionPages {
  const char* version;
  int tabs;
  bool disconnectAndReason;
};

void PrintTo(const VersionPages& c, std::ostream* os) { *os << c.version; }

class ActionPagesVersionE2e : public ActionPagesE2e, public testing::WithParamInterface<VersionPages> {};

TEST_P(ActionPagesVersionE2e, DisconnectPageAndReasonListNeedWindowsXp) {
  const VersionPages& c = GetParam();
  HWND sheet = OpenSheet("Turn off", c.version);
  ASSERT_NE(sheet, nullptr);
  EXPECT_EQ(SimProcess::Send(GetDlgItem(sheet, kSheetTabs), TCM_GETITEMCOUNT), c.tabs);
  HWND page = ShowTab(sheet, kShutdownTab);
  EXPECT_EQ(IsWindowVisible(GetDlgItem(page, kReasonList)) != FALSE, c.disconnectAndReason);
  EXPECT_EQ(IsWindowVisible(GetDlgItem(page, kReasonLabel)) != FALSE, c.disconnectAndReason);
  EXPECT_TRUE(IsWindowVisible(GetDlgItem(page, kForceHung)));
  ASSERT_TRUE(Close(sheet, IDCANCEL));
  EXPECT_TRUE(sim_->Quit());
}

INSTANTIATE_TEST_SUITE_P(Versions, ActionPagesVersionE2e,
                         testing::Values(VersionPages{"win2k", 5, false}, VersionPages{"winxp", 6, true}),
                         [](const auto& info) { return std::string(info.param.version); });

}  // namespace
