// The program under the Windows versions Wine pretends to be: the actions
// and menu items it offers, the action sheet's tabs, the Profiles list's
// columns, and the system tweaks dialog: which controls it shows, what it
// shows for a stored time-out, and what OK writes into the (Wine prefix's)
// registry.
#include "tests/e2e/SimProcess.h"

#include <commctrl.h>

#include <deque>
#include <set>

namespace {

using namespace e2e;

constexpr UINT kSystemTweaksCommand = 32775;
constexpr int kTimeoutEdit = 1113;
const std::vector<int> kAllControls = {1034, 1080, 1081, 1109, 1110, 1111, 1112, 1113, 1114, 1115};

// Where Windows keeps the settings the dialog edits, written out here
// rather than taken from the program so that a wrong path shows up.
constexpr char kMemory[] = "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Memory Management",
               kDesktop[] = "Control Panel\\Desktop",
               kPolicies[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\System",
               kWinlogon[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon",
               kDhcp[] = "System\\CurrentControlSet\\Services\\VxD\\DHCP",
               kShutdown[] = "System\\CurrentControlSet\\Control\\Shutdown";
const struct ValueRef {
  HKEY root;
  const char* key;
  const char* name;
} kValues[] = {{HKEY_LOCAL_MACHINE, kMemory, "ClearPageFileAtShutdown"},
               {HKEY_CURRENT_USER, kDesktop, "WaitToKillAppTimeout"},
               {HKEY_LOCAL_MACHINE, kPolicies, "DisableStatusMessages"},
               {HKEY_LOCAL_MACHINE, kPolicies, "verbosestatus"},
               {HKEY_LOCAL_MACHINE, kWinlogon, "ShutdownWithoutLogon"},
               {HKEY_LOCAL_MACHINE, kDhcp, "ReleaseLeaseOnShutdown"},
               {HKEY_LOCAL_MACHINE, kShutdown, "FastReboot"}};

// Every value of the keys above: "key|name" -> contents.
registry::Values TakeSnapshot() {
  registry::Values all;
  for (const ValueRef& value : kValues) {
    for (const auto& [name, contents] : registry::Snapshot(value.root, value.key)) all[value.key + name] = contents;
  }
  return all;
}

class SystemTweaksE2e : public SimTest {};

const std::vector<std::string> kAlwaysOffered = {
    "Turn off monitor", "Wake on LAN",      "Kill Process(es)", "Reminder",
    "Turn on monitor",  "Run Screen Saver", "Reboot Shell",     "No action"};

std::vector<std::string> Offered(std::vector<std::string> gated) {
  gated.insert(gated.end(), kAlwaysOffered.begin(), kAlwaysOffered.end());
  return gated;
}

TEST_F(SystemTweaksE2e, EachVersionOffersItsActionsMenusPagesAndTweaks) {
  const struct {
    const char* version;
    std::vector<std::string> actions;
    std::string trayMenu, settingsMenu;
    int actionTabs;  // the shut-down page's reason list shows with the sixth
    int profileColumns;  // 3 on the NT line
    std::set<int> shown;
    const char* timeoutText;  // nullptr: the field is hidden
  } cases[] = {
      {"win98", Offered({"Turn off", "Log off", "Reboot", "Stand by"}), "170,169,0,154,156,148,153,150",
       "32775,0,173", 5, 2, {1109, 1114}, nullptr},
      {"win2k", Offered({"Turn off", "Log off", "Reboot", "Hibernate", "Stand by", "Lock"}),
       "170,169,0,154,151,155,156,148,153,150", "32775,32772,0,173", 5, 3,
       {1080, 1081, 1110, 1111, 1112, 1113, 1115}, "20"},
      {"winxp",
       Offered({"Turn off", "Log off", "Reboot", "Hibernate", "Stand by", "Hang Up Connection(s)",
                "Lock / Switch user"}),
       "170,169,0,154,151,155,156,148,153,150", "32775,32772,0,173", 6, 3,
       {1034, 1080, 1081, 1110, 1111, 1112, 1113, 1115}, "20"},
  };
  // A known start: every value missing (so its default applies), put back
  // as it was at the end; each version then starts with a time-out of 20 s.
  std::deque<ScopedValues> cleared;
  for (const ValueRef& value : kValues) {
    cleared.emplace_back(value.root, value.key, ScopedValues::Changes{{value.name, std::nullopt}});
  }
  for (const auto& c : cases) {
    SCOPED_TRACE(c.version);
    registry::Write(HKEY_CURRENT_USER, kDesktop, "WaitToKillAppTimeout", registry::TextValue("20000"));
    registry::Values expected = TakeSnapshot();
    SimProcess sim(SimExe(c.version));
    HWND main = sim.MainWindow();
    ASSERT_NE(main, nullptr) << SimExe(c.version);
    EXPECT_EQ(sim.ComboExTexts(1035), c.actions);
    PostMessageA(main, RegisterWindowMessageA("Vesperon.Simulation.DescribeMenus"), 0, 0);
    ASSERT_TRUE(WaitFor([&] { return sim.JournalLines().size() >= 3; }, 5000));
    EXPECT_EQ(sim.JournalLines(), (std::vector<std::string>{"TrayMenu " + c.trayMenu, "SettingsMenu " + c.settingsMenu,
                                                            "HelpMenu 32773,0,32777,32776,0,32774"}));

    HWND sheet = sim.OpenActionSheet("Turn off");
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(SimProcess::Send(GetDlgItem(sheet, 0x3020), TCM_GETITEMCOUNT), c.actionTabs);
    HWND page = sim.ShowPage(0);
    for (int id : {1018, 1120}) EXPECT_EQ(IsWindowVisible(GetDlgItem(page, id)) != FALSE, c.actionTabs == 6) << id;
    // "Force hung applications" on the NT line.
    EXPECT_EQ(IsWindowVisible(GetDlgItem(page, 1017)) != FALSE, c.profileColumns == 3);
    ASSERT_TRUE(sim.CloseSheet(IDCANCEL));

    // Profiles: nothing selected, every button that needs a row says so.
    page = sim.OpenGlobalOptions(3, 1054);
    ASSERT_NE(page, nullptr);
    HWND list = GetDlgItem(page, 1054);
    HWND header = reinterpret_cast<HWND>(SimProcess::Send(list, LVM_GETHEADER));
    EXPECT_EQ(SimProcess::Send(header, HDM_GETITEMCOUNT), c.profileColumns);
    SimProcess::Send(list, LVM_SETSELECTIONMARK, 0, -1);
    for (int button : {1055, 1061}) {
      Press(page, button);
      EXPECT_EQ(sim.TakeMessageBox("Vesperon", 10000), "Please select a profile from the list.") << button;
    }
    ASSERT_TRUE(sim.CloseSheet(IDCANCEL));

    HWND dialog = sim.OpenByCommand(kSystemTweaksCommand, "System Tweaks");
    ASSERT_NE(dialog, nullptr);
    for (int id : kAllControls) {
      HWND control = GetDlgItem(dialog, id);
      ASSERT_NE(control, nullptr) << id;
      const bool shown = c.shown.count(id) != 0;
      EXPECT_EQ(IsWindowVisible(control) != FALSE, shown) << id;
      EXPECT_EQ(IsWindowEnabled(control) != FALSE, shown) << id;
    }
    // Filling the fields is no edit: OK on the untouched dialog writes nothing.
    EXPECT_TRUE(CloseDialog(dialog, IDOK));
    EXPECT_EQ(TakeSnapshot(), expected);
    if (!c.timeoutText) continue;
    // Entered seconds are stored as milliseconds, and nothing else. (Cancel
    // writing nothing: the Trigger / Startup page's case.)
    dialog = sim.OpenByCommand(kSystemTweaksCommand, "System Tweaks");
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(sim.Text(GetDlgItem(dialog, kTimeoutEdit)), c.timeoutText);
    TypeText(GetDlgItem(dialog, kTimeoutEdit), "7");
    EXPECT_TRUE(CloseDialog(dialog, IDOK));
    expected[std::string(kDesktop) + "|WaitToKillAppTimeout"] = registry::TextValue("7000");
    EXPECT_EQ(TakeSnapshot(), expected);
  }
}

}  // namespace
