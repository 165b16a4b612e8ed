// Which call each way of starting an action ends in, and in which order.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <tuple>
#include <vector>

#include "actions/ActionCatalog.h"
#include "actions/ActionDispatcher.h"
#include "settings/InternetExplorerVersion.h"
#include "platform/Services.h"
#include "platform/memory/MemoryRegistry.h"
#include "settings/SettingsStore.h"
#include "tests/support/FakeOsVersion.h"
#include "tests/support/RecordingActions.h"
#include "tests/support/RegistryTestSupport.h"

using namespace Vesperon;
using namespace testing_support;

namespace {

const std::string kMouseKey = testsupport::SettingsPath("Global\\xzCute");
constexpr char kBrowserKey[] = "SOFTWARE\\Microsoft\\Internet Explorer";

class ActionDispatcherTest : public ::testing::Test {
 protected:
  ActionDispatcherTest() { ResetInternetExplorerVersionCacheForTesting(); }
  ~ActionDispatcherTest() override { ResetInternetExplorerVersionCacheForTesting(); }

  // The calls one entry point makes.
  template <typename Fn>
  CallLog Run(Fn entry) {
    log.clear();
    entry();
    return log;
  }
  static void SetMouseNumber(const std::string& name, std::uint32_t value) {
    testsupport::WriteNumber(kMouseKey, name, value);
  }
  static void SetBrowserText(const char* name, const std::string& text) {
    testsupport::WriteText(kBrowserKey, name, text, platform::kLocalMachine);
  }

  platform::MemoryRegistry registry;
  platform::ScopedRegistry registryGuard{registry};
  FakeOsVersion os{kWin2000};
  CallLog log;
  RecordingSystemActions system{log};
  ScopedSystemActions systemGuard{system};
  RecordingActionHost host{log};
  ActionDispatcher dispatcher{host};
};

// What each id ends in, on each line of Windows (id 0 differs; 9 runs nothing).
CallLog Expected(ActionId id, bool ntLine) {
  static const char* const calls[] = {
      "ExitWindows(1)", "ExitWindows(2)", "ExitWindows(0)", "Suspend(stand by)", "ShowReminder()",
      "HangUpConnections()", "Suspend(hibernate)", "LockWorkStation()",
      "Message(Shutdown Network Computer(s))", nullptr, "MonitorOff()", "MonitorOn()",
      "RunScreenSaver()", "KillProcesses()", "WakeOnLan()", "RebootShell()",
      "ShowWindowRestored()", "PostTrayMenuMessage(0, 0x1E00280)"};  // cursor at (640, 480)
  if (id == 0 && ntLine) return {"ExitWindows(8)"};
  return calls[id] ? CallLog{calls[id]} : CallLog{};
}

TEST_F(ActionDispatcherTest, EveryIdRunsExactlyItsOperationOnBothLines) {
  host.cursorX = 640;
  host.cursorY = 480;
  for (const auto& [record, ntLine] : {std::pair{kWinMe, false}, std::pair{kNT351, true}}) {
    os.Set(record);
    for (ActionId id = 0; id <= kLastActionId; ++id) {
      SCOPED_TRACE(testing::Message() << record.major << "." << record.minor << " id " << id);
      EXPECT_EQ(Run([&] { dispatcher.ExecuteAction(id); }), Expected(id, ntLine));
      EXPECT_EQ(Run([&] { dispatcher.RunHotKeyAction(id); }), Expected(id, ntLine));
    }
  }
}

TEST_F(ActionDispatcherTest, IdsOutsideTheCatalogueRunNothing) {
  testsupport::WriteBrowserVersion("6.0.2900.2180");
  for (ActionId id : {18, -1, INT_MIN, INT_MAX}) {
    SCOPED_TRACE(id);
    EXPECT_EQ(Run([&] { dispatcher.ExecuteAction(id); }), CallLog{});

    EXPECT_EQ(Run([&] { dispatcher.RunHotKeyAction(id); }), CallLog{"Message(Unknow action)"});

    // The balloon goes out before the id is checked, with no name in it.
    host.selected = id;
    EXPECT_EQ(Run([&] { dispatcher.ExecuteSelectedAction(); }),
              (CallLog{"Balloon(Vesperon: Notification | Initiating \"\" action execution | 10000 | icon 1)",
                       "Message(Unknow action)"}));
  }
}

TEST_F(ActionDispatcherTest, BalloonNeedsBrowserFiveAndTrayIconAndPrecedesTheAction) {
  host.selected = kActionMonitorOff;
  dispatcher.ExecuteSelectedAction();  // no browser key: no balloon, but the action runs
  EXPECT_EQ(log, CallLog{"MonitorOff()"});
  // The browser version, a tray icon, the balloon shown, the balloon refused.
  const std::tuple<const char*, bool, bool, bool> rows[] = {
      {"4.99", true, false, false}, {"5", true, true, false}, {"5.0.2314.1003", false, false, false},
      {"6.0", true, true, true}};  // a refused balloon still lets the action run
  for (const auto& [version, trayIcon, balloon, refused] : rows) {
    SCOPED_TRACE(version);
    testsupport::WriteBrowserVersion(version);
    host.trayIcon = trayIcon;
    host.balloonRefused = refused;
    CallLog expected{"MonitorOff()"};
    if (balloon) {
      expected.insert(expected.begin(), "Balloon(Vesperon: Notification | Initiating \"Turn off monitor\" "
                                        "action execution | 10000 | icon 1)");
    }
    EXPECT_EQ(Run([&] { dispatcher.ExecuteSelectedAction(); }), expected);
  }
}

TEST_F(ActionDispatcherTest, TrayClickRunsTheBoundActionOnlyForItsClickKind) {
  // Each of the nine messages against each stored kind: messages run L, R, M
  // by button, each pressed, released, double click.
  const char* const buttons = "LRM";
  for (std::uint32_t kind = 0; kind <= 2; ++kind) {
    for (int b = 0; b < 3; ++b) {
      SetMouseNumber(buttons[b] + std::string("BClickC"), kind);
      SetMouseNumber(buttons[b] + std::string("BAction"), 10u + b);
    }
    for (std::uint32_t m = kMouseLeftDown; m <= kMouseMiddleDouble; ++m) {
      const ActionId expected = m % 3 == kind ? ActionId(10 + m / 3) : -1;
      EXPECT_EQ(LookupTrayClickAction(static_cast<MouseMessage>(m)), expected) << m << " kind " << kind;
    }
  }
  SetMouseNumber("LBClickC", 3);  // a kind no message has
  EXPECT_EQ(LookupTrayClickAction(kMouseLeftDouble), -1);
  // Stored actions pass unchanged; the click handler judges them (-5: TrayIconMessageChecksIconThenAction).
  SetMouseNumber("RBClickC", 1);
  SetMouseNumber("RBAction", 0x80000000u);
  EXPECT_EQ(LookupTrayClickAction(kMouseRightUp), INT_MIN);
}

// Damaged values are repaired to their default where the key is writable: StoreContract.
TEST_F(ActionDispatcherTest, TrayClickSettingsThatCannotBeReadBindNothing) {
  // Read-only (a locked-down account): the repair of a number of the wrong
  // size cannot be written, so the read fails and the click does nothing.
  testsupport::WriteRaw(kMouseKey, "LBClickC", platform::kRegBinary, {2, 0});
  SetMouseNumber("LBAction", kActionMonitorOff);
  SetMouseNumber("MBClickC", kClickPressed);
  SetMouseNumber("MBAction", kActionScreenSaver);
  testsupport::ReadOnlyKey locked(kMouseKey);
  EXPECT_EQ(Run([&] { dispatcher.OnTrayIconMessage(kTrayIconId, kMouseLeftDouble); }), CallLog{});
  // Intact values on the same read-only key still read.
  EXPECT_EQ(LookupTrayClickAction(kMouseMiddleDown), kActionScreenSaver);
}

// The menu's point: each half of the cursor's position in 16 bits, not sign-extended.
TEST_F(ActionDispatcherTest, TrayIconMessageChecksIconThenAction) {
  host.cursorX = -5;
  host.cursorY = -10;
  const std::tuple<std::uintptr_t, std::uint32_t, CallLog> rows[] = {  // wParam, stored action, calls
      {kTrayIconId, 17, {"PostTrayMenuMessage(0, 0xFFF6FFFB)"}},
      {kTrayIconId, 0, {"ExitWindows(8)"}},
      {kTrayIconId, 18, {"Message(Unknow action)"}},
      {kTrayIconId, 0xFFFFFFFBu, {}},  // -5: bound to nothing, silently
      {kTrayIconId + 0x10000, 0, {}},
  };
  for (const auto& [wParam, rbAction, expected] : rows) {
    SCOPED_TRACE(std::to_string(wParam) + " action " + std::to_string(rbAction));
    SetMouseNumber("RBAction", rbAction);
    EXPECT_EQ(Run([&] { dispatcher.OnTrayIconMessage(wParam, kMouseRightUp); }), expected);
  }
  host.cursorReadable = false;  // without the cursor there is nowhere to show the menu
  EXPECT_EQ(Run([&] { dispatcher.RunHotKeyAction(kActionTrayMenu); }), CallLog{});
}

// What the menu offers on 98, 2000 and XP: SystemTweaksE2eTest.
TEST_F(ActionDispatcherTest, TrayMenuCommandsRunTheirActionsAndLoseWhatTheSystemCannotDo) {
  os.Set(kWin98);
  for (const auto& [command, expected] :
       {std::pair{kTrayMenuShowWindow, "ShowWindowRestored()"}, {kTrayMenuLogOff, "ExitWindows(0)"},
        {kTrayMenuReboot, "ExitWindows(2)"}, {kTrayMenuTurnOff, "ExitWindows(1)"},
        {kTrayMenuHibernate, "Suspend(hibernate)"}}) {
    EXPECT_EQ(Run([&] { dispatcher.OnTrayMenuCommand(command); }), CallLog{expected}) << command;
  }
  const std::pair<platform::OsVersionRecord, std::vector<TrayMenuCommand>> rows[] = {
      {kWinMe, {kTrayMenuLock, kTrayMenuShutdownNetwork}},
      {kNT4, {kTrayMenuStandBy, kTrayMenuHibernate, kTrayMenuLock, kTrayMenuShutdownNetwork}},
  };
  for (const auto& [record, removed] : rows) {
    os.Set(record);
    EXPECT_EQ(TrayMenuCommandsToRemove(), removed) << record.major << "." << record.minor;
  }
}

// On NT 3.51 only the actions no version gates (98, 2000 and XP: SystemTweaksE2eTest).
TEST_F(ActionDispatcherTest, CatalogueOffersTheUngatedActionsAndNamesTheLock) {
  os.Set(kNT351);
  const std::vector<ActionId> ungated = {10, 14, 13, 4, 11, 12, 15, 9};
  EXPECT_EQ(GetAvailableActions(), ungated);
  std::vector<ActionId> shortcuts = ungated;
  shortcuts.insert(shortcuts.end(), {16, 17});
  EXPECT_EQ(GetShortcutActions(), shortcuts);
  for (ActionId never : {8, 16, 17, -1, 18, 0}) EXPECT_FALSE(IsActionAvailable(never)) << never;
  for (ActionId id : ungated) EXPECT_TRUE(IsActionAvailable(id)) << id;
  // The lock's name follows fast user switching.
  for (const auto& [record, name] :
       {std::pair{kWinXP, "Lock / Switch user"}, {kServer2003, "Lock"}, {kVista, "Lock / Switch user"}}) {
    os.Set(record);
    EXPECT_STREQ(GetActionName(kActionLock), name) << record.major << "." << record.minor;
  }
}

// The browser version, which decides whether the balloon is shown.
TEST(InternetExplorerVersionTest, ParsesWholePartAndFirstFractionNeverTheNextWholeNumber) {
  const std::pair<const char*, double> rows[] = {
      {"5.50.4807.2300", 5.5}, {"11.0.9600.16428", 11.0}, {"", 0.0}, {".5", 0.5},
      // The run after the point is one number: its leading zeros vanish.
      {"5.05", 5.5}, {"7.0000000000000000000000000001", 7.1},
      // Only leading digits make the whole part; nothing makes it negative
      // ("not cached yet").
      {"-1.0", 0.0}, {" 6.0", 0.0}, {"6b.25", 6.25}, {"5.x7", 5.0},
  };
  for (const auto& [text, version] : rows) {
    EXPECT_DOUBLE_EQ(ParseInternetExplorerVersion(text), version) << text;
  }
  // A long fraction never reaches the next whole number: read whole, such
  // runs round up (4.99... passing for 5) or overflow to infinity, which no
  // division brings below 1.
  for (std::size_t nines : {9u, 19u, 400u}) {
    const double version = ParseInternetExplorerVersion("4." + std::string(nines, '9'));
    EXPECT_GT(version, 4.99) << nines;
    EXPECT_LT(version, 5.0) << nines;
  }
}

using InternetExplorerRegistryTest = ActionDispatcherTest;

// A read-only key (a limited account) is enough. (The missing key: the
// dispatcher's balloon tests.)
TEST_F(InternetExplorerRegistryTest, MissingVersionFallsBackToIVer) {
  // "Version" and "IVer" (null: no such value), and the version read.
  const std::tuple<const char*, const char*, double> rows[] = {
      {nullptr, "100", 1.0}, {nullptr, "103", 3.0}, {nullptr, "104", 0.0}, {nullptr, "101", 0.0},
      {nullptr, nullptr, 0.0},
      // An empty Version is a version (0), not a missing one.
      {"", "103", 0.0},
      {"6.0.2900.2180", "103", 6.0},
  };
  for (const auto& [version, iver, expected] : rows) {
    SCOPED_TRACE(std::string(version ? version : "(none)") + " / " + (iver ? iver : "(none)"));
    SetBrowserText("Other", "");  // the key exists
    if (version) SetBrowserText("Version", version);
    if (iver) SetBrowserText("IVer", iver);
    ASSERT_EQ(registry.SetKeyReadOnly(platform::kLocalMachine, kBrowserKey, true), platform::kOk);
    ResetInternetExplorerVersionCacheForTesting();
    EXPECT_DOUBLE_EQ(GetInternetExplorerVersion(), expected);
    ASSERT_EQ(registry.SetKeyReadOnly(platform::kLocalMachine, kBrowserKey, false), platform::kOk);
    ASSERT_EQ(registry.DeleteTree(platform::kLocalMachine, kBrowserKey), platform::kOk);
  }
}

}  // namespace
