// Later starts with a command line: each is handed to the one running copy,
// which applies it and stays the only one; bad input shows the usage and
// changes nothing.
#include "tests/e2e/SimProcess.h"

namespace {

using namespace e2e;

constexpr char kMainForm[] = "Profiles\\Default\\MainForm";

// A later start of the program with `arguments`, left to end by itself: its
// exit code, -1 when it did not end.
int StartAgain(const std::string& arguments) {
  SimProcess later(SimExe(), JournalPath("vesperon-e2e-later.txt"), arguments);
  return later.ExitCode(15000);
}

class CommandLineE2e : public SimTest {};

// Without a command a second start shows the running copy's window and
// ends; each command it brings is applied by the running copy.
TEST_F(CommandLineE2e, CommandsHandedToTheRunningCopyAreApplied) {
  SimProcess sim;
  ASSERT_NE(sim.Shown(), nullptr);
  PostMessageA(sim.MainWindow(), WM_CLOSE, 0, 0);  // back to the tray
  ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(sim.MainWindow()); }, 5000));
  EXPECT_EQ(StartAgain(""), 0);
  EXPECT_NE(sim.Shown(), nullptr);
  EXPECT_EQ(MainWindows().size(), 1u);

  // A countdown handed over is taken as typed. (That it fires: MainWindowE2e's
  // countdowns and the core's engine.)
  EXPECT_EQ(StartAgain("-ACTION reminder -countdown 01:00:00"), 0);
  ASSERT_TRUE(WaitFor([&] { return sim.IsChecked(kActivate); }, 3000));
  EXPECT_EQ(registry::Dword(kMainForm, "TriggerActive"), 1u);
  // Executing an action now leaves the active trigger running.
  EXPECT_EQ(StartAgain("/action Reminder /execute"), 0);
  HWND reminder = sim.WaitForBox("Reminder", 8000);
  ASSERT_NE(reminder, nullptr);
  EXPECT_TRUE(CloseDialog(reminder, IDOK));
  EXPECT_TRUE(sim.IsChecked(kActivate));
  EXPECT_EQ(StartAgain("/cancel"), 0);
  EXPECT_TRUE(WaitFor([&] {
    return !sim.IsChecked(kActivate) && registry::Dword(kMainForm, "TriggerActive") == 0u;
  }, 3000));

  // A profile named without regard to case becomes active as it is stored.
  registry::SetDword("Profiles\\Other\\MainForm", "TriggerActive", 0);
  EXPECT_EQ(StartAgain("/profile OTHER"), 0);
  EXPECT_TRUE(WaitFor([] { return registry::String("Profiles", "DefaultList") == "Other"; }, 3000));

  EXPECT_EQ(StartAgain("/exit"), 0);
  EXPECT_EQ(sim.ExitCode(), 0);
  EXPECT_TRUE(sim.JournalHas("Reminder", 0));
}

// Whether a copy runs or not: the problem above the usage, exit code 2,
// nothing stored (a missing profile makes no key either). (Every other
// problem a command line can have: the core's CommandLineTest.)
TEST_F(CommandLineE2e, BadInputShowsTheUsageAndChangesNothing) {
  for (const bool running : {false, true}) {
    SCOPED_TRACE(running ? "a copy runs" : "none runs");
    std::optional<SimProcess> first;
    if (running) {
      ASSERT_NE(first.emplace().MainWindow(), nullptr);
    }
    const registry::Values before = registry::Snapshot(HKEY_CURRENT_USER, registry::kRoot);
    SimProcess later(SimExe(), JournalPath("vesperon-e2e-later.txt"), "/profile Nowhere /show");
    const std::string text = later.TakeMessageBox("Vesperon", 10000);
    EXPECT_EQ(text.rfind("There is no profile \"Nowhere\".", 0), 0u) << text;
    EXPECT_NE(text.find("/countdown"), std::string::npos);  // the usage
    EXPECT_EQ(later.ExitCode(), 2);
    EXPECT_EQ(registry::Snapshot(HKEY_CURRENT_USER, registry::kRoot), before);
    EXPECT_EQ(MainWindows().size(), running ? 1u : 0u);
  }
  // Nothing runs that /exit could end: nothing starts either; /? only shows the usage.
  EXPECT_EQ(StartAgain("/exit"), 0);
  SimProcess usage(SimExe(), JournalPath("vesperon-e2e-later.txt"), "/? /show");
  EXPECT_NE(usage.TakeMessageBox("Vesperon", 10000).find("/countdown"), std::string::npos);
  EXPECT_EQ(usage.ExitCode(), 0);
  EXPECT_TRUE(MainWindows().empty());
}

}  // namespace
