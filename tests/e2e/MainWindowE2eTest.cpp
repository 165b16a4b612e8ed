// The simulation program worked from outside, as a user would: the start in
// the tray, a countdown that fires, a one-time trigger in the past, a daily
// trigger that survives a restart, and what each Windows version offers.
#include "tests/e2e/SimProcess.h"

#include <commctrl.h>
#include <ddeml.h>
#include <shellapi.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using namespace e2e;

constexpr int kActivate = 1000, kLabelLower = 1003, kCountdown = 1014, kActionList = 1035,
              kTriggerList = 1036, kTimeField = 1037, kDateField = 1038, kNumberField = 1040,
              kLabelUpper = 1043, kExecuteNow = 1046, kProgress = 1047;

bool TrayIconPresent(HWND main, UINT id) {
  // Only an icon that exists can be modified.
  NOTIFYICONDATAA data{};
  data.cbSize = sizeof data;
  data.hWnd = main;
  data.uID = id;
  data.uFlags = NIF_TIP;
  lstrcpynA(data.szTip, "Vesperon", sizeof data.szTip);
  return Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
}

// The program announces itself by its DDE service name: a conversation with
// it can be opened.
bool DdeServiceAnswers(const char* service) {
  DWORD instance = 0;
  auto callback = [](UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) -> HDDEDATA {
    return nullptr;
  };
  if (DdeInitializeA(&instance, callback, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR) return false;
  HSZ name = DdeCreateStringHandleA(instance, service, CP_WINANSI);
  HCONV conversation = DdeConnect(instance, name, name, nullptr);
  if (conversation) DdeDisconnect(conversation);
  DdeFreeStringHandle(instance, name);
  DdeUninitialize(instance);
  return conversation != nullptr;
}

class MainWindowE2e : public SimTest {
 protected:
  // Waits until the main window shows.
  static HWND Shown(SimProcess& sim) {
    HWND main = sim.MainWindow();
    return main && WaitFor([&] { return IsWindowVisible(main) != FALSE; }, 5000) ? main : nullptr;
  }
};

TEST_F(MainWindowE2e, FirstStartStaysInTheTrayAndWritesDefaults) {
  registry::DeleteAll();
  SimProcess sim;
  ASSERT_TRUE(sim.Started());
  HWND main = sim.MainWindow();
  ASSERT_NE(main, nullptr);
  EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(main); }, 5000));
  // Hidden for good: the dialog manager's first show does not bring it back.
  EXPECT_FALSE(WaitFor([&] { return IsWindowVisible(main) != FALSE; }, 1000));
  EXPECT_TRUE(WaitFor([&] { return TrayIconPresent(main, 104); }, 3000));
  EXPECT_FALSE(TrayIconPresent(main, 105));
  EXPECT_TRUE(DdeServiceAnswers("Vesperon.SystemEventListner1"));
  EXPECT_FALSE(DdeServiceAnswers("Vesperon.NoSuchService"));

  EXPECT_EQ(registry::Dword("Global\\TriggerStartup", "Minimize"), 1u);
  EXPECT_EQ(registry::Dword("Global\\TriggerStartup", "PresTrgrAct"), 1u);
  EXPECT_EQ(registry::String("Profiles", "DefaultList"), "Default");
  EXPECT_EQ(registry::Dword("Profiles\\Default\\MainForm", "TriggerActive"), 0u);

  EXPECT_EQ(sim.Text(kCountdown), "Timer is inactive");
  EXPECT_EQ(sim.StatusText(), "Trigger information");
  EXPECT_FALSE(sim.IsChecked(kActivate));
  // The tray menu's " Show window" brings it back.
  PostMessageA(main, WM_COMMAND, MAKEWPARAM(170, 0), 0);
  EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(main) != FALSE && !IsIconic(main); }, 3000));
  EXPECT_TRUE(sim.Quit());
  EXPECT_TRUE(sim.JournalLines().empty());
}

TEST_F(MainWindowE2e, CountdownOfFiveSecondsFiresOnce) {
  SimProcess sim;
  ASSERT_NE(Shown(sim), nullptr);
  sim.SelectComboItem(kTriggerList, 1);
  sim.SetText(kNumberField, "0");
  sim.SetPickerTime(kTimeField, TodayAt(0, 0, 5));
  sim.SelectComboItem(kActionList, 0);  // "Turn off"

  sim.Click(kActivate);
  EXPECT_TRUE(sim.IsChecked(kActivate));
  const std::string description = sim.StatusText();
  EXPECT_NE(description, "Trigger information");
  EXPECT_NE(description.find("Turn off"), std::string::npos) << description;
  std::string label;
  EXPECT_TRUE(WaitFor(
      [&] {
        label = sim.Text(kCountdown);
        return label.find("Second") != std::string::npos &&
               SendMessageA(sim.Item(kProgress), PBM_GETPOS, 0, 0) > 0;
      },
      3000))
      << label;

  ASSERT_TRUE(WaitFor([&] { return !sim.JournalLines().empty(); }, 10000));
  EXPECT_EQ(sim.JournalLines(), std::vector<std::string>{"ExitWindows 8"});
  EXPECT_TRUE(WaitFor([&] { return !sim.IsChecked(kActivate); }, 3000));
  // Once only: nothing more in the next two polls.
  EXPECT_FALSE(WaitFor([&] { return sim.JournalLines().size() > 1; }, 2500));
  EXPECT_TRUE(IsWindowEnabled(sim.Item(kTriggerList)));
  EXPECT_TRUE(sim.Quit());
}

TEST_F(MainWindowE2e, WakeOnLanIsJournaledNotSent) {
  SimProcess sim;
  ASSERT_NE(Shown(sim), nullptr);
  registry::SetDword("Profiles\\Default\\WakeOnLAN", "IPAddr", 0x7F000001);
  registry::SetDword("Profiles\\Default\\WakeOnLAN", "Subnet", 0xFFFFFFFF);
  const std::vector<std::string> actions = sim.ComboExTexts(kActionList);
  const auto wake = std::find(actions.begin(), actions.end(), "Wake on LAN");
  ASSERT_NE(wake, actions.end());
  sim.SelectComboItem(kActionList, static_cast<int>(wake - actions.begin()));
  sim.Click(kExecuteNow);
  ASSERT_TRUE(WaitFor([&] { return sim.JournalLines().size() >= 2; }, 5000));
  EXPECT_EQ(sim.JournalLines(), (std::vector<std::string>{"WakeOnLan", "SendDatagram 127.0.0.1:7 126"}));
  EXPECT_TRUE(sim.Quit());
}

TEST_F(MainWindowE2e, EachChosenKindShowsItsEditor) {
  SimProcess sim;
  // A control counts as shown only once its window is.
  ASSERT_NE(Shown(sim), nullptr);
  auto shown = [&](int id) { return IsWindowVisible(sim.Item(id)) != FALSE; };

  struct Row {
    int kind;
    const char* upper;
    const char* lower;
    bool date, time, number, weekday, process;
  } const rows[] = {
      {0, "Date:", "Time:", true, true, false, false, false},
      {1, "Days:", "Hours/Mins/S", false, true, true, false, false},
      {2, "", "Time:", false, true, false, false, false},
      {3, "Day of week:", "Time:", false, true, false, true, false},
      {4, "Day of month:", "Time:", false, true, true, false, false},
      {5, "", "", false, false, false, false, false},
      {6, "Process:", "", false, false, false, false, true},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.kind);
    sim.SelectComboItem(kTriggerList, r.kind);
    EXPECT_EQ(sim.Text(kLabelUpper), r.upper);
    EXPECT_EQ(sim.Text(kLabelLower), r.lower);
    EXPECT_EQ(shown(kDateField), r.date);
    EXPECT_EQ(shown(kTimeField), r.time);
    EXPECT_EQ(shown(kNumberField), r.number);
    EXPECT_EQ(shown(1080), r.number);
    EXPECT_EQ(shown(1042), r.weekday);
    EXPECT_EQ(shown(1116), r.process);
  }

  // Choosing the countdown sets half an hour, every time it is chosen.
  sim.SelectComboItem(kTriggerList, 1);
  sim.SetPickerTime(kTimeField, TodayAt(3, 0, 0));
  sim.SelectComboItem(kTriggerList, 1);
  SYSTEMTIME time{};
  ASSERT_TRUE(sim.GetPickerTime(kTimeField, time));
  EXPECT_EQ(time.wHour * 3600 + time.wMinute * 60 + time.wSecond, 30 * 60);

  // The weekly list: the seven days, today's selected.
  sim.SelectComboItem(kTriggerList, 3);
  EXPECT_EQ(SimProcess::Send(sim.Item(1042), CB_GETCOUNT), 7);
  EXPECT_EQ(SimProcess::Send(sim.Item(1042), CB_GETCURSEL), TodayAt(0, 0, 0).wDayOfWeek);

  // The process field: typed text goes when the kind is chosen, the list
  // holds the running processes (this driver among them).
  sim.SetText(1116, "typed.exe");
  sim.SelectComboItem(kTriggerList, 6);
  EXPECT_EQ(sim.Text(1116), "");
  EXPECT_GT(SimProcess::Send(sim.Item(1116), CB_GETCOUNT), 0);
  EXPECT_TRUE(sim.Quit());
}

TEST_F(MainWindowE2e, OneTimeTriggerInThePastIsRefusedWithItsMessage) {
  SimProcess sim;
  ASSERT_NE(sim.MainWindow(), nullptr);
  sim.SelectComboItem(kTriggerList, 0);
  sim.SetPickerTime(kDateField, SYSTEMTIME{2001, 1, 1, 1, 12, 0, 0, 0});
  sim.SelectComboItem(kActionList, 0);
  sim.PostClick(kActivate);  // the message box is modal: do not wait inside the click

  EXPECT_EQ(sim.TakeMessageBox(), "Bad trigger parameters: Action is scheduled to arise in the past.");
  EXPECT_FALSE(sim.IsChecked(kActivate));
  EXPECT_TRUE(sim.Quit());
  EXPECT_TRUE(sim.JournalLines().empty());
}

TEST_F(MainWindowE2e, DailyTriggerActiveAtExitIsActiveAgainAfterRestart) {
  {
    SimProcess sim;
    ASSERT_NE(sim.MainWindow(), nullptr);
    sim.SelectComboItem(kTriggerList, 2);
    SYSTEMTIME now{};
    GetLocalTime(&now);
    sim.SetPickerTime(kTimeField, TodayAt(static_cast<WORD>((now.wHour + 2) % 24), 0, 0));  // well away
    sim.SelectComboItem(kActionList, 0);
    sim.Click(kActivate);
    ASSERT_TRUE(sim.IsChecked(kActivate));
    ASSERT_TRUE(sim.Quit());
  }
  EXPECT_EQ(registry::Dword("Profiles\\Default\\MainForm", "TriggerActive"), 1u);

  SimProcess again;
  ASSERT_NE(again.MainWindow(), nullptr);
  EXPECT_TRUE(WaitFor([&] { return again.IsChecked(kActivate); }, 5000));
  EXPECT_EQ(SendMessageA(again.Item(kTriggerList), CB_GETCURSEL, 0, 0), 2);
  EXPECT_FALSE(IsWindowEnabled(again.Item(kTriggerList)));
  EXPECT_TRUE(again.Quit());
  EXPECT_TRUE(again.JournalLines().empty());
}

struct VersionCase {
  const char* version;
  std::vector<std::string> actions;
  std::string trayMenu;
  std::string settingsMenu;
};

void PrintTo(const VersionCase& c, std::ostream* os) { *os << c.version; }

const std::vector<std::string> kAlwaysOffered = {
    "Turn off monitor", "Wake on LAN",      "Kill Process(es)", "Reminder",
    "Turn on monitor",  "Run Screen Saver", "Reboot Shell",     "No action"};

std::vector<std::string> Offered(std::vector<std::string> gated) {
  gated.insert(gated.end(), kAlwaysOffered.begin(), kAlwaysOffered.end());
  return gated;
}

class VersionE2e : public MainWindowE2e, public testing::WithParamInterface<VersionCase> {};

TEST_P(VersionE2e, OffersTheActionsAndMenuItemsOfTheVersion) {
  const VersionCase& c = GetParam();
  SimProcess sim(SimExe(c.version));
  ASSERT_TRUE(sim.Started()) << SimExe(c.version);
  HWND main = sim.MainWindow();
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(sim.ComboExTexts(kActionList), c.actions);

  PostMessageA(main, RegisterWindowMessageA("Vesperon.Simulation.DescribeMenus"), 0, 0);
  ASSERT_TRUE(WaitFor([&] { return sim.JournalLines().size() >= 3; }, 5000));
  const std::vector<std::string> menus = sim.JournalLines();
  EXPECT_EQ(menus[0], "TrayMenu " + c.trayMenu);
  EXPECT_EQ(menus[1], "SettingsMenu " + c.settingsMenu);
  EXPECT_EQ(menus[2], "HelpMenu 32773,0,32777,32776,0,32774");
  EXPECT_TRUE(sim.Quit());
}

INSTANTIATE_TEST_SUITE_P(
    Versions, VersionE2e,
    testing::Values(
        VersionCase{"win98", Offered({"Turn off", "Log off", "Reboot", "Stand by"}),
                    "170,169,0,154,156,148,153,150", "32775,0,173"},
        VersionCase{"winxp",
                    Offered({"Turn off", "Log off", "Reboot", "Hibernate", "Stand by",
                             "Hang Up Connection(s)", "Lock / Switch user"}),
                    "170,169,0,154,151,155,156,148,153,150", "32775,32772,0,173"}),
    [](const auto& info) { return std::string(info.param.version); });

}  // namespace
